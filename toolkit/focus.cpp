#include "toolkit/focus.h"
