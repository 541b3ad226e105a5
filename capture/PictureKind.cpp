#include "capture/PictureKind.h"

#include <algorithm>
#include <cwctype>

namespace zem {

namespace {

bool EndsWithNoCase(std::wstring_view name, std::wstring_view ending) {
  if (name.size() < ending.size()) return false;
  return std::equal(ending.begin(), ending.end(), name.end() - static_cast<std::ptrdiff_t>(ending.size()),
                    [](wchar_t a, wchar_t b) { return a == static_cast<wchar_t>(std::towlower(b)); });
}

}  // namespace

PictureKind PictureKindOf(std::wstring_view fileName) {
  if (EndsWithNoCase(fileName, L".hdr") || EndsWithNoCase(fileName, L".rgbe")) return PictureKind::Rgbe;
  if (EndsWithNoCase(fileName, L".png")) return PictureKind::Png;
  return PictureKind::Other;
}

}  // namespace zem
