#pragma once
// Standard base64 (RFC 4648 alphabet, "=" padding, no line breaks), the
// encoding of every picture the page carries as a data URI.
#include <cstddef>
#include <string>

namespace zem {

// Characters of the base64 text of n bytes, without terminator.
constexpr std::size_t Base64EncodedLength(std::size_t n) { return (n + 2) / 3 * 4; }

// Writes the base64 text of in[0..n) followed by a NUL to out, which must
// hold Base64EncodedLength(n) + 1 characters.
void Base64Encode(char* out, const unsigned char* in, std::size_t n);

// The base64 text of in[0..n) as a string.
std::string Base64Encode(const unsigned char* in, std::size_t n);

}  // namespace zem
