#pragma once
// Number text (the page's hot path). Every scene number is written as printf's "%g"
// writes it (six significant digits, trailing zeros removed, exponent form
// below 1e-4 and from 1e6 on) and every count as "%d". These run on the hot
// path of mesh and curve data, so they avoid the printf family.
#include <cstddef>

namespace zem {

// Room that one formatted number needs at most.
inline constexpr std::size_t kMaxNumberChars = 32;

// Writes value as "%g" at out (which has kMaxNumberChars of room) and
// returns the end of the text. No terminator is written.
char* FormatNumberG(char* out, double value);

// Writes value as "%d" at out (kMaxNumberChars of room), returns the end.
char* FormatInteger(char* out, long long value);

}  // namespace zem
