#include "page/NumberFormat.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace zem {

namespace {

using u128 = unsigned __int128;

// The digit text is handled as one machine word, its first character in the
// lowest byte.
static_assert(std::endian::native == std::endian::little);

constexpr std::uint64_t kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

// Binary exponents (unbiased) of the doubles that can lie in the fixed-point
// range 1e-4 <= |value| < 1e6.
constexpr int kLowestExponent = -14;
constexpr int kHighestExponent = 19;

// For each such binary exponent e: floor(log10(2^e)), and the next power of
// ten. A value in [2^e, 2^(e+1)) has decade floor(log10(2^e)), plus one when
// it reaches that power, so one comparison finds it. The negative powers are
// rounded doubles, which cannot matter: no double lies between 10^d and its
// rounded value.
struct DecadeStep {
  int decade;
  double next;
};
constexpr auto kDecadeSteps = [] {
  constexpr double powers[] = {1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};
  std::array<DecadeStep, kHighestExponent - kLowestExponent + 1> steps{};
  for (int e = kLowestExponent; e <= kHighestExponent; ++e) {
    double power = 1;
    for (int i = 0; i < e; ++i) power *= 2;
    for (int i = 0; i > e; --i) power /= 2;
    int d = 0;
    while (d + 1 < 13 && powers[d + 1] <= power) ++d;
    steps[e - kLowestExponent] = {d - 5, powers[d + 1]};
  }
  return steps;
}();

// "00" .. "99".
constexpr auto kPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i)
    pairs[2 * i] = static_cast<char>('0' + i / 10), pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  return pairs;
}();

// Digit pairs of a number below 1e6 without dividing: d * ceil(2^32 / 10^4)
// holds d / 10^4 above bit 32 and the rest as a fraction below it, close
// enough that multiplying the fraction by 100 twice brings up the next two
// pairs exactly (for every such number; the tests write each six-digit one).
constexpr std::uint64_t kPairFraction = 429497;
constexpr std::uint64_t kLow32 = 0xFFFFFFFF;

// The six significant digits of mantissa * 2^-scale * 10^shift (shift
// 0 .. 9), rounded half to even exactly as printf rounds the binary value,
// for a normal double in the fixed-point range. When the value is a float's
// (mesh data), its 24-bit mantissa times 10^9 fits in 64 bits, so the exact
// rounding needs no wider arithmetic; adding just under a half, plus one
// when the whole part is odd, rounds half to even without a branch.
template <bool IsFloat>
std::uint64_t ScaledDigits(std::uint64_t mantissa, int scale, int shift) {
  if constexpr (IsFloat) {
    const std::uint64_t numerator = (mantissa >> 29) * kPow10[shift];
    const int s = scale - 29;
    const std::uint64_t odd = (numerator >> s) & 1;
    return (numerator + (std::uint64_t{1} << (s - 1)) - 1 + odd) >> s;
  } else {
    const u128 numerator = static_cast<u128>(mantissa) * kPow10[shift];
    const u128 whole = numerator >> scale;
    const u128 rest = numerator - (whole << scale);
    const u128 half = static_cast<u128>(1) << (scale - 1);
    std::uint64_t digits = static_cast<std::uint64_t>(whole);
    if (rest > half || (rest == half && (digits & 1))) ++digits;
    return digits;
  }
}

// The fixed-point form of "%g" for 1e-4 <= |value| < 1e6 when the rounded
// value stays below 1e6. Answers nullptr when the value needs the exponent
// form, so the caller takes the general path. Random model data would make
// any branch on the sign, the decade or the digit count a guess the
// processor often loses, so the text is put together without them.
template <bool IsFloat>
char* FormatFixed(char* out, double value) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  const auto negative = static_cast<int>(bits >> 63);
  const double magnitude = std::bit_cast<double>(bits & ~(std::uint64_t{1} << 63));
  // Normal in this range: magnitude = mantissa * 2^(exponent - 1075).
  const int exponent = static_cast<int>((bits >> 52) & 0x7FF);
  const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int scale = 1075 - exponent;
  // floor(log10(magnitude)), from -4 to 5.
  const DecadeStep& step = kDecadeSteps[exponent - 1023 - kLowestExponent];
  int decade = step.decade + (magnitude >= step.next);
  std::uint64_t digits;
  // Rounding may carry into the next decade (999999.5 -> 1e+06, 0.0999995 -> 0.1);
  // then the digits are taken again one place further left.
  while ((digits = ScaledDigits<IsFloat>(mantissa, scale, 5 - decade)) >= 1000000) {
    if (++decade > 5) return nullptr;
  }
  std::uint64_t six = 0;  // the six digit characters, zero above
  std::uint64_t y = digits * kPairFraction;
  std::memcpy(reinterpret_cast<char*>(&six), &kPairs[2 * (y >> 32)], 2);
  y = (y & kLow32) * 100;
  std::memcpy(reinterpret_cast<char*>(&six) + 2, &kPairs[2 * (y >> 32)], 2);
  y = (y & kLow32) * 100;
  std::memcpy(reinterpret_cast<char*>(&six) + 4, &kPairs[2 * (y >> 32)], 2);
  // Significant digits: six less the trailing zeros, which are the zero
  // bytes at the top once '0' is taken from each digit (the first is not 0).
  const int significant =
      6 - static_cast<int>(static_cast<unsigned>(std::countl_zero((six - 0x303030303030) << 16)) / 8);

  *out = '-';
  out += negative;
  // 0.000ddd: "0." and the zeros after the point, then the digits. Written
  // whole and then overwritten by the digits, which start after it.
  std::memcpy(out, "0.000000", 8);
  // ddd.ddd: the digits with the point after the whole part.
  const int whole = decade + 1;
  const int cut = 8 * (whole > 0 ? whole : 0);
  const std::uint64_t below = (std::uint64_t{1} << cut) - 1;
  const std::uint64_t pointed = (six & below) | (std::uint64_t{'.'} << cut) | ((six & ~below) << 8);
  const int lead = whole > 0 ? 0 : 1 - decade;
  const std::uint64_t text = whole > 0 ? pointed : six;
  std::memcpy(out + lead, &text, 8);
  const int length = whole > 0 ? (significant > whole ? significant + 1 : whole) : lead + significant;
  return out + length;
}

// FormatFixed for values that are not a float's, out of line like the
// general path.
[[gnu::noinline]] char* FormatWideFixed(char* out, double value) { return FormatFixed<false>(out, value); }

// Zero, the exponent form, infinities and NaN: std::to_chars, whose general
// format with a precision gives exactly printf's "%.6g" text. Out of line so
// the fixed-point path saves no registers for a call it does not make.
[[gnu::noinline]] char* FormatGeneral(char* out, double value) {
  return std::to_chars(out, out + kMaxNumberChars, value, std::chars_format::general, 6).ptr;
}

}  // namespace

char* FormatNumberG(char* out, double value) {
  // The values of model data mostly lie where "%g" writes fixed-point
  // digits; those are made here with exact integer arithmetic, which is
  // several times faster than the general conversion.
  const double magnitude = std::fabs(value);
  if (magnitude >= 1e-4 && magnitude < 1e6) {
    // A float's value leaves the low 29 bits of a double's mantissa zero.
    const bool isFloat = (std::bit_cast<std::uint64_t>(value) & ((std::uint64_t{1} << 29) - 1)) == 0;
    if (char* end = isFloat ? FormatFixed<true>(out, value) : FormatWideFixed(out, value)) return end;
  }
  return FormatGeneral(out, value);
}

char* FormatInteger(char* out, long long value) { return std::to_chars(out, out + kMaxNumberChars, value).ptr; }

}  // namespace zem
