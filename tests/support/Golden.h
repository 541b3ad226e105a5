#pragma once
// Files read whole, and comparison against a golden copy under tests/data:
// ZEM_UPDATE_GOLDEN=1 rewrites the copy after a deliberate change.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "tests/support/TestFolder.h"

namespace zem::testing {

// Embedded pictures' base64 texts masked: they are checked as pictures
// elsewhere and would bury the page's structure.
inline std::string MaskPictures(const std::string& text) {
  static const std::regex picture("base64,[A-Za-z0-9+/=]{64,}");
  return std::regex_replace(text, picture, "base64,(picture)");
}

inline void ExpectSameAsGolden(const std::string& text, const char* name) {
  const auto golden = std::filesystem::path(ZEM_TEST_DATA_DIR) / name;
  if (const char* update = std::getenv("ZEM_UPDATE_GOLDEN"); update && *update == '1')
    std::ofstream(golden, std::ios::binary) << text;
  const std::string expected = ReadFileBytes(golden);
  ASSERT_FALSE(expected.empty()) << golden;
  std::size_t at = 0;
  while (at < text.size() && at < expected.size() && text[at] == expected[at]) ++at;
  EXPECT_TRUE(text == expected) << "differs from " << golden << " at byte " << at << ": ..."
                                << text.substr(at < 60 ? 0 : at - 60, 160) << "...";
}

}  // namespace zem::testing
