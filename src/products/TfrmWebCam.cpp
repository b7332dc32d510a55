#include "products/TfrmWebCam.h"
