#include "toolkit/graphics.h"
