#include "delivery/GetTempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "standin/platform/TempPath.h"
#include "tests/support/ScopedEnv.h"

namespace {

// TMPDIR as it was before each test, afterwards.
class GetTempFolderTest : public ::testing::Test {
  zem::testing::ScopedEnv m_saved{"TMPDIR", std::getenv("TMPDIR")};
};

TEST_F(GetTempFolderTest, HonoursTmpdirAndEndsInASeparator) {
  for (const auto& [tmpdir, folder] : {std::pair<const char*, const wchar_t*>{"/var/tmp/zem", L"/var/tmp/zem/"},
                                       {"/var/tmp/zem/", L"/var/tmp/zem/"},
                                       {nullptr, L"/tmp/"},
                                       {"", L"/tmp/"}}) {
    zem::testing::ScopedEnv set{"TMPDIR", tmpdir};
    EXPECT_EQ(zem::GetTempFolder(), folder) << (tmpdir ? tmpdir : "unset");
  }
}

TEST_F(GetTempFolderTest, APathOf259CharactersFitsAndOneOf260DoesNot) {
  // 258 characters plus the separator the query adds: 259 in all.
  std::string folder = "/" + std::string(257, 'a');
  setenv("TMPDIR", folder.c_str(), 1);
  std::wstring result = zem::GetTempFolder();
  EXPECT_EQ(result.size(), 259u);
  EXPECT_EQ(result.back(), L'/');
  folder += 'a';
  setenv("TMPDIR", folder.c_str(), 1);
  EXPECT_EQ(zem::GetTempFolder(), L"C:\\temp\\");
}

}  // namespace
