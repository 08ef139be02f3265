#include "toolkit/image_list.h"
