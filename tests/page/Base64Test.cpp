#include "page/Base64.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// An independent encoder: the bytes as one bit string, cut into sextets.
std::string ReferenceBase64(const std::vector<unsigned char>& bytes) {
  static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bits;
  for (unsigned char b : bytes)
    for (int i = 7; i >= 0; --i) bits += ((b >> i) & 1) ? '1' : '0';
  while (bits.size() % 6) bits += '0';
  std::string out;
  for (std::size_t i = 0; i < bits.size(); i += 6) out += alphabet[std::stoi(bits.substr(i, 6), nullptr, 2)];
  while (out.size() % 4) out += '=';
  return out;
}

TEST(Base64Test, EncodeBase64MatchesReferenceForEveryLengthUpTo100) {
  std::mt19937 random(7);
  for (std::size_t n = 0; n <= 100; ++n) {
    for (int round = 0; round < 5; ++round) {
      std::vector<unsigned char> bytes(n);
      for (auto& b : bytes) b = static_cast<unsigned char>(random());
      std::vector<char> out(zem::Base64EncodedLength(n) + 1, '\x7f');
      zem::Base64Encode(out.data(), bytes.data(), n);
      EXPECT_EQ(std::string(out.data()), ReferenceBase64(bytes)) << "length " << n;
      EXPECT_EQ(out.back(), '\0') << "terminator at the end of the room, length " << n;
      EXPECT_EQ(zem::Base64Encode(bytes.data(), n), ReferenceBase64(bytes));
    }
  }
}

}  // namespace
