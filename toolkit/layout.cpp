#include "toolkit/layout.h"
