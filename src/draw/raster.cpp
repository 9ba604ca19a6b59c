#include "draw/raster.h"
