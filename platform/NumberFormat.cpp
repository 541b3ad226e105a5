#include "platform/NumberFormat.h"

#include <array>
#include <bit>
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

// "00" .. "99".
constexpr auto kPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) pairs[2 * i] = static_cast<char>('0' + i / 10), pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  return pairs;
}();

// The six significant digits of |value| * 10^shift (shift 0 .. 9), rounded
// half to even exactly as printf rounds the binary value. The value is a
// normal double, mantissa * 2^-scale.
std::uint64_t ScaledDigits(std::uint64_t mantissa, int scale, int shift) {
  if ((mantissa & ((std::uint64_t{1} << 29) - 1)) == 0 && scale > 29 && scale - 29 < 64) {
    // A float's value (mesh data): its 24-bit mantissa times 10^9 fits in
    // 64 bits, so the exact rounding needs no wider arithmetic.
    const std::uint64_t numerator = (mantissa >> 29) * kPow10[shift];
    const int s = scale - 29;
    const std::uint64_t whole = numerator >> s;
    const std::uint64_t rest = numerator & ((std::uint64_t{1} << s) - 1);
    const std::uint64_t half = std::uint64_t{1} << (s - 1);
    return whole + (rest > half || (rest == half && (whole & 1)));
  }
  const u128 numerator = static_cast<u128>(mantissa) * kPow10[shift];
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
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  const bool negative = bits >> 63;
  const double magnitude = std::bit_cast<double>(bits & ~(std::uint64_t{1} << 63));
  // Normal in this range: magnitude = mantissa * 2^(exponent - 1075).
  const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
  const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int scale = 1075 - exponent;
  // floor(log10(magnitude)), from -4 to 5: first guessed from the binary
  // exponent (log10(2) ~ 77/256), then set right by comparison.
  int decade = ((exponent - 1023) * 77) >> 8;
  decade = decade < -4 ? -4 : decade > 5 ? 5 : decade;
  while (decade < 5 && magnitude >= kDecades[decade + 5]) ++decade;
  while (decade > -4 && magnitude < kDecades[decade + 4]) --decade;
  std::uint64_t digits = ScaledDigits(mantissa, scale, 5 - decade);
  if (digits >= 1000000) {
    // Rounding carried into the next decade (999999.5 -> 1e+06, 0.0999995 -> 0.1).
    if (++decade > 5) return nullptr;
    digits = ScaledDigits(mantissa, scale, 5 - decade);
  }
  char six[6];
  const auto d = static_cast<std::uint32_t>(digits);
  std::memcpy(six, &kPairs[2 * (d / 10000)], 2);
  std::memcpy(six + 2, &kPairs[2 * (d / 100 % 100)], 2);
  std::memcpy(six + 4, &kPairs[2 * (d % 100)], 2);
  int significant = 6;
  while (significant > 1 && six[significant - 1] == '0') --significant;

  if (negative) *out++ = '-';
  if (decade >= 0) {
    const int whole = decade + 1;
    std::memcpy(out, six, 6);  // room for all six; the length decides what counts
    if (significant > whole) {
      out[whole] = '.';
      std::memcpy(out + whole + 1, six + whole, 6 - whole);
      return out + significant + 1;
    }
    return out + whole;
  }
  // 0.000ddd: the zeros after the point, then the digits.
  std::memcpy(out, "0.0000", 6);
  out += 1 - decade;
  std::memcpy(out, six, 6);
  return out + significant;
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
