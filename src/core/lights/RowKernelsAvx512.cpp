#define GLIMMERAGE_ROW_KERNELS kRowKernelsAvx512
#define GLIMMERAGE_ROW_KERNELS_NAME "AVX-512"
#include "core/lights/RowKernelsBody.h"
