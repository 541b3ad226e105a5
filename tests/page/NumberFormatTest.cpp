#include "page/NumberFormat.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

std::string G(double v) {
  char buffer[zem::kMaxNumberChars];
  return std::string(buffer, zem::FormatNumberG(buffer, v));
}

std::string Printf(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%g", v);
  return buffer;
}

// Every float bit pattern (normal, subnormal, huge, tiny, NaN, infinity),
// doubles of model scale, and floats of every decade around the fixed range.
TEST(NumberFormatTest, FormatNumberGEqualsPrintfOnRandomNumbers) {
  std::mt19937 random(2024);
  for (int i = 0; i < 1'000'000; ++i) {
    std::uint32_t bits = random();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    ASSERT_EQ(G(f), Printf(f)) << "bits " << bits;
  }
  std::mt19937_64 random64(99);
  std::uniform_real_distribution<double> exponent(-12, 12), mantissa(-10, 10), decade(-6, 8);
  for (int i = 0; i < 500'000; ++i) {
    const double v = mantissa(random64) * std::pow(10.0, exponent(random64));
    ASSERT_EQ(G(v), Printf(v)) << v;
    const double w = static_cast<float>(std::pow(10.0, decade(random64)) * (i % 2 ? -1 : 1));
    ASSERT_EQ(G(w), Printf(w)) << w;
  }
}

TEST(NumberFormatTest, FormatNumberGWritesEverySixDigitNumberInEveryDecade) {
  // Every digit sequence the fixed-point path can produce, with the point in
  // each place and the trailing zeros of each count.
  for (int digits = 100000; digits < 1000000; ++digits) {
    for (double scale : {1.0, 1e-3, 1e-9}) {
      const double v = static_cast<float>(digits * scale);
      ASSERT_EQ(G(v), Printf(v)) << v;
    }
  }
}

// Exact ties round to even and carry into the next decade; the limits of
// rounding, exponent form and the float range.
TEST(NumberFormatTest, FormatNumberGEqualsPrintfAtTiesAndBoundaries) {
  const std::vector<double> ties{100000.5, 100001.5, 999999.5, 999998.5, 0.5, 2.5, 123456.5, 12345.65};
  const std::vector<double> carries{0.0999995, 9.999995, 99999.95, 0.000999995, 0.00999999, 1.0000005};
  const std::vector<double> rounding{0.000100000005,       999999.4999,     0.00012345650000000001,
                                     3.0517578125e-05 * 4, 0.0001220703125, 0.003921568859368563};
  const std::vector<double> exponentForm{0.0,  1.0,        0.1f,        999999.0,  999999.4, 1e6,
                                         1e-4, 0.99999e-4, 9.999995e-5, 1234567.0, 0.00001};
  const std::vector<double> range{FLT_MAX, FLT_MIN, FLT_TRUE_MIN, 3.4028235e38, 1e100, 1e-100};
  const std::vector<double> notFinite{std::numeric_limits<double>::infinity(), std::nan("")};
  for (const auto& values : {ties, carries, rounding, exponentForm, range, notFinite})
    for (double v : values) {
      EXPECT_EQ(G(v), Printf(v)) << v;
      EXPECT_EQ(G(-v), Printf(-v)) << -v;
    }
}

TEST(NumberFormatTest, FormatIntegerEqualsPrintfD) {
  for (long long v : {0LL, 1LL, -1LL, 42LL, 3555LL, -2147483648LL, 2147483647LL, std::numeric_limits<long long>::min(),
                      std::numeric_limits<long long>::max()}) {
    char buffer[zem::kMaxNumberChars];
    char expected[64];
    std::snprintf(expected, sizeof expected, "%lld", v);
    EXPECT_EQ(std::string(buffer, zem::FormatInteger(buffer, v)), expected);
  }
}

}  // namespace
