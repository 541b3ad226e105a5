#include "platform/NativePath.h"

#include "platform/TextEncoding.h"

namespace zem {

std::string NativePath(std::wstring_view path) {
  std::string native = ToUtf8(path);
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

}  // namespace zem
