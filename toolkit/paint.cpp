#include "toolkit/paint.h"
