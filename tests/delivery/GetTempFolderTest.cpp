#include "delivery/GetTempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/TempPath.h"

namespace {

// Sets TMPDIR for one test and restores it afterwards.
class TmpDir : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("TMPDIR")) saved = old;
  }
  void TearDown() override {
    if (saved)
      setenv("TMPDIR", saved->c_str(), 1);
    else
      unsetenv("TMPDIR");
  }
  std::optional<std::string> saved;
};

TEST_F(TmpDir, HonoursTmpdirAndEndsInASeparator) {
  setenv("TMPDIR", "/var/tmp/zem", 1);
  EXPECT_EQ(GetTempFolder(), L"/var/tmp/zem/");
  setenv("TMPDIR", "/var/tmp/zem/", 1);
  EXPECT_EQ(GetTempFolder(), L"/var/tmp/zem/");
  unsetenv("TMPDIR");
  EXPECT_EQ(GetTempFolder(), L"/tmp/");
  setenv("TMPDIR", "", 1);
  EXPECT_EQ(GetTempFolder(), L"/tmp/");
}

TEST_F(TmpDir, APathOf259CharactersFitsAndOneOf260DoesNot) {
  // 258 characters plus the separator the query adds: 259 in all.
  std::string folder = "/" + std::string(257, 'a');
  setenv("TMPDIR", folder.c_str(), 1);
  std::wstring result = GetTempFolder();
  EXPECT_EQ(result.size(), 259u);
  EXPECT_EQ(result.back(), L'/');
  folder += 'a';
  setenv("TMPDIR", folder.c_str(), 1);
  EXPECT_EQ(GetTempFolder(), L"C:\\temp\\");
}

}  // namespace
