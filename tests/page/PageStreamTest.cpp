#include "page/PageStream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/TestFolder.h"

namespace {

std::filesystem::path TempFile(const char* name) {
  return std::filesystem::path(zem::testing::TestFolder("zem-stream").string() + name);
}

TEST(PageStreamTest, WritesOneLatin1BytePerCharacterAndCrLfLineEnds) {
  auto path = TempFile(".txt");
  zem::PageStream stream;
  ASSERT_TRUE(stream.Open(path.wstring()));
  stream.Put(L"a\nb\u00e9\u00ff\u20ac\n");
  stream.PutNarrow("x\ny");
  ASSERT_TRUE(stream.Close());
  EXPECT_EQ(zem::testing::ReadFileBytes(path), std::string("a\r\nb\xe9\xff?\r\nx\r\ny"));
  std::filesystem::remove(path);
}

}  // namespace
