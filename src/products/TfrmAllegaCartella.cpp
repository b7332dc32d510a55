#include "products/TfrmAllegaCartella.h"
