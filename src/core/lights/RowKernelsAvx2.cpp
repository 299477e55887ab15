#define GLIMMERAGE_ROW_KERNELS kRowKernelsAvx2
#define GLIMMERAGE_ROW_KERNELS_NAME "AVX2"
#include "core/lights/RowKernelsBody.h"
