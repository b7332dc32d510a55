#include "products/TfrmZoom.h"
