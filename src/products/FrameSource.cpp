#include "products/FrameSource.h"
