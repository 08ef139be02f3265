#include "toolkit/canvas.h"
