#include "platform/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace zem {

namespace {

using u128 = unsigned __int128;

constexpr std::uint64_t kPow10[] = {1,          10,          100,          1000,          10000,
                                    100000,     1000000,     10000000,     100000000,     1000000000};

// 10^e for e = -4 .. 6 as doubles (the negative ones rounded, which cannot
// matter: no double lies between 10^e and its rounded value).
constexpr double kDecades[] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};

// The six significant digits of |value| * 10^shift, rounded half to even
// exactly as printf rounds the binary value.
std::uint64_t ScaledDigits(double magnitude, int shift) {
  int binaryExponent = 0;
  const double fraction = std::frexp(magnitude, &binaryExponent);  // magnitude = fraction * 2^e, fraction in [0.5, 1)
  const std::uint64_t mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));  // exact
  const int scale = 53 - binaryExponent;  // magnitude = mantissa / 2^scale
  u128 numerator = static_cast<u128>(mantissa) * kPow10[shift];
  if (scale <= 0) return static_cast<std::uint64_t>(numerator << -scale);
  const u128 whole = numerator >> scale;
  const u128 rest = numerator - (whole << scale);
  const u128 half = static_cast<u128>(1) << (scale - 1);
  std::uint64_t digits = static_cast<std::uint64_t>(whole);
  if (rest > half || (rest == half && (digits & 1))) ++digits;
  return digits;
}

// The fixed-point form of "%g" for 1e-4 <= |value| < 1e6 when the rounded
// value stays below 1e6. Answers nullptr when the value needs the exponent
// form, so the caller takes the general path.
char* FormatFixed(char* out, double value) {
  const double magnitude = std::fabs(value);
  int decade = 0;  // floor(log10(magnitude)), from -4 to 5
  while (decade < 5 && magnitude >= kDecades[decade + 5]) ++decade;
  while (decade > -4 && magnitude < kDecades[decade + 4]) --decade;
  std::uint64_t digits = ScaledDigits(magnitude, 5 - decade);
  if (digits >= 1000000) {
    // Rounding carried into the next decade (999999.5 -> 1e+06, 0.0999995 -> 0.1).
    if (++decade > 5) return nullptr;
    digits = ScaledDigits(magnitude, 5 - decade);
  }
  char six[6];
  for (int i = 5; i >= 0; --i, digits /= 10) six[i] = static_cast<char>('0' + digits % 10);
  int significant = 6;
  while (significant > 1 && six[significant - 1] == '0') --significant;

  if (std::signbit(value)) *out++ = '-';
  if (decade >= 0) {
    const int whole = decade + 1;
    std::memcpy(out, six, whole);
    out += whole;
    if (significant > whole) {
      *out++ = '.';
      std::memcpy(out, six + whole, significant - whole);
      out += significant - whole;
    }
  } else {
    *out++ = '0';
    *out++ = '.';
    for (int i = -1; i > decade; --i) *out++ = '0';
    std::memcpy(out, six, significant);
    out += significant;
  }
  return out;
}

}  // namespace

char* FormatNumberG(char* out, double value) {
  // The values of model data mostly lie where "%g" writes fixed-point
  // digits; those are made here with exact integer arithmetic, which is
  // several times faster than the general conversion. Everything else (zero,
  // exponent form, infinities, NaN) takes std::to_chars, whose general
  // format with a precision gives exactly printf's "%.6g" text.
  const double magnitude = std::fabs(value);
  if (magnitude >= 1e-4 && magnitude < 1e6) {
    if (char* end = FormatFixed(out, value)) return end;
  }
  return std::to_chars(out, out + kMaxNumberChars, value, std::chars_format::general, 6).ptr;
}

char* FormatInteger(char* out, long long value) {
  return std::to_chars(out, out + kMaxNumberChars, value).ptr;
}

}  // namespace zem
