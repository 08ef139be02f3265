#include "toolkit/splitter.h"
