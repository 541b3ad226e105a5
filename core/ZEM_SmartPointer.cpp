#include "core/ZEM_SmartPointer.h"

ZEM_BaseUnknown* ZEM_KindOrNull(ZEM_BaseUnknown* object, const char* className) {
  return object != nullptr && object->IsKindOf(className) ? object : nullptr;
}
