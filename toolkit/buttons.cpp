#include "toolkit/buttons.h"
