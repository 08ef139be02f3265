#include "toolkit/surface.h"
