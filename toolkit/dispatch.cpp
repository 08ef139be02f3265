#include "toolkit/dispatch.h"
