#include "standin/platform/NativePath.h"

#include <cwctype>

#include "standin/platform/TextEncoding.h"

namespace zem {

std::string NativePath(std::wstring_view path) {
  std::string native = ToUtf8(path);
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

std::wstring FoldedPath(std::wstring_view path) {
  std::wstring folded(path);
  for (auto& c : folded) c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(c));
  return folded;
}

std::wstring_view FileNamePart(std::wstring_view path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

}  // namespace zem
