#pragma once
// Conversions between the system's wide text and UTF-8, the narrow encoding
// of this platform (file names, terminal, command line).
#include <string>
#include <string_view>

namespace zem {

// Encodes wide text as UTF-8. Values that are not Unicode scalar values
// (surrogates, values above U+10FFFF) become U+FFFD.
std::string ToUtf8(std::wstring_view text);

// Decodes UTF-8. Malformed sequences become U+FFFD, one per bad byte.
std::wstring FromUtf8(std::string_view text);

}  // namespace zem
