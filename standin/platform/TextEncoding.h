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

// Names the system gives (file names, paths, arguments) are bytes, most
// often UTF-8 but not always. FromSystemBytes decodes them as UTF-8 and
// keeps every byte that is not part of valid UTF-8 as the wide character
// U+DC80 + byte (a lone surrogate, which no valid text holds);
// ToSystemBytes turns those back into their bytes, so a name goes to the
// system exactly as it came. ToUtf8 shows them as U+FFFD.
std::wstring FromSystemBytes(std::string_view bytes);
std::string ToSystemBytes(std::wstring_view text);

}  // namespace zem
