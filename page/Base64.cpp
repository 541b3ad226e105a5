#include "page/Base64.h"

namespace zem {

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}

void Base64Encode(char* out, const unsigned char* in, std::size_t n) {
  std::size_t i = 0;
  for (; i + 3 <= n; i += 3) {
    unsigned v = (unsigned(in[i]) << 16) | (unsigned(in[i + 1]) << 8) | in[i + 2];
    *out++ = kAlphabet[(v >> 18) & 63];
    *out++ = kAlphabet[(v >> 12) & 63];
    *out++ = kAlphabet[(v >> 6) & 63];
    *out++ = kAlphabet[v & 63];
  }
  std::size_t left = n - i;
  if (left > 0) {
    unsigned v = unsigned(in[i]) << 16;
    if (left == 2) v |= unsigned(in[i + 1]) << 8;
    *out++ = kAlphabet[(v >> 18) & 63];
    *out++ = kAlphabet[(v >> 12) & 63];
    *out++ = left == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    *out++ = '=';
  }
  *out = '\0';
}

std::string Base64Encode(const unsigned char* in, std::size_t n) {
  std::string text(Base64EncodedLength(n), '\0');
  // The terminator lands on the string's own trailing NUL.
  Base64Encode(text.data(), in, n);
  return text;
}

}  // namespace zem
