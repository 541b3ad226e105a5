#pragma once
// Automation strings and variants: what the shell's scripting objects take
// as arguments. A BSTR points at the text of a length-prefixed, zero-ended
// block that only SysAllocString makes and SysFreeString frees.
#include <cstdint>

#include "standin/platform/WinTypes.h"

using OLECHAR = wchar_t;
using BSTR = OLECHAR*;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;

constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_BOOL = 11;

struct VARIANT {
  VARTYPE vt;
  std::uint16_t wReserved1;
  std::uint16_t wReserved2;
  std::uint16_t wReserved3;
  union {
    LONG lVal;
    BSTR bstrVal;
    VARIANT_BOOL boolVal;
  };
};

// A copy of the zero-ended text; null for a null text or when out of memory.
BSTR SysAllocString(const OLECHAR* text);
// Frees a string from SysAllocString; a null string is ignored.
void SysFreeString(BSTR text);
// Characters of the string, without the terminating zero; 0 for null.
UINT SysStringLen(BSTR text);

// Makes the variant empty without looking at what it held.
void VariantInit(VARIANT* variant);
// Frees what the variant owns (its string) and makes it empty.
std::int32_t VariantClear(VARIANT* variant);

namespace zem {
// Strings made by SysAllocString and not yet freed, for leak checks.
int LiveSystemStrings();
}  // namespace zem
