#include "toolkit/geometry.h"
