#define GLIMMERAGE_ROW_KERNELS kRowKernelsBaseline
#define GLIMMERAGE_ROW_KERNELS_NAME "baseline"
#include "core/lights/RowKernelsBody.h"
