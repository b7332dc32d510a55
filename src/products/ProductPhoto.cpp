#include "products/ProductPhoto.h"
