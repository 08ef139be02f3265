#include "toolkit/control.h"
