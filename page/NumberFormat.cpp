#include "page/NumberFormat.h"

#include <charconv>

namespace zem {

char* FormatNumberG(char* out, double value) {
  // std::to_chars with the general format and a precision gives exactly the
  // text of printf's "%.6g" in the C locale, without locale or format parsing.
  return std::to_chars(out, out + kMaxNumberChars, value, std::chars_format::general, 6).ptr;
}

char* FormatInteger(char* out, long long value) {
  return std::to_chars(out, out + kMaxNumberChars, value).ptr;
}

}  // namespace zem
