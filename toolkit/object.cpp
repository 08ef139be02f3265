#include "toolkit/object.h"
