#include "toolkit/window.h"
