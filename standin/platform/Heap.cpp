#include "standin/platform/Heap.h"

#include <malloc.h>

namespace zem {

void ReturnFreeHeapToSystem() { malloc_trim(0); }

}  // namespace zem
