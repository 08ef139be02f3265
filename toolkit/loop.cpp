#include "toolkit/loop.h"
