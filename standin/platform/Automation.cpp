#include "standin/platform/Automation.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>

namespace {

// The block holds the length in bytes, then the text and its zero; a BSTR
// points at the text.
struct Header {
  std::size_t byteLength;
};

std::atomic<int> live{0};

Header* HeaderOf(BSTR text) { return reinterpret_cast<Header*>(reinterpret_cast<char*>(text) - sizeof(Header)); }

}  // namespace

BSTR SysAllocString(const OLECHAR* text) {
  if (text == nullptr) return nullptr;
  const std::size_t length = std::wcslen(text);
  void* block = std::malloc(sizeof(Header) + (length + 1) * sizeof(OLECHAR));
  if (block == nullptr) return nullptr;
  auto* header = static_cast<Header*>(block);
  header->byteLength = length * sizeof(OLECHAR);
  auto* chars = reinterpret_cast<OLECHAR*>(header + 1);
  std::wmemcpy(chars, text, length + 1);
  ++live;
  return chars;
}

void SysFreeString(BSTR text) {
  if (text == nullptr) return;
  --live;
  std::free(HeaderOf(text));
}

UINT SysStringLen(BSTR text) {
  return text == nullptr ? 0 : static_cast<UINT>(HeaderOf(text)->byteLength / sizeof(OLECHAR));
}

void VariantInit(VARIANT* variant) {
  if (variant == nullptr) return;
  std::memset(variant, 0, sizeof *variant);
  variant->vt = VT_EMPTY;
}

std::int32_t VariantClear(VARIANT* variant) {
  if (variant == nullptr) return static_cast<std::int32_t>(0x80070057u);
  if (variant->vt == VT_BSTR) SysFreeString(variant->bstrVal);
  VariantInit(variant);
  return 0;
}

int zem::LiveSystemStrings() { return live.load(); }
