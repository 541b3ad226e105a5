#include "page/PageStream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/Golden.h"
#include "tests/support/TestFolder.h"

namespace {

std::filesystem::path TempFile(const char* name) {
  return std::filesystem::path(zem::testing::TestFolder("zem-stream").string() + name);
}

TEST(PageStream, WritesOneLatin1BytePerCharacterAndCrLfLineEnds) {
  auto path = TempFile(".txt");
  zem::PageStream stream;
  ASSERT_TRUE(stream.Open(path.wstring()));
  stream.Put(L"a\nb\u00e9\u00ff\u20ac\n");
  stream.PutNarrow("x\ny");
  ASSERT_TRUE(stream.Close());
  EXPECT_EQ(zem::testing::ReadFileBytes(path), std::string("a\r\nb\xe9\xff?\r\nx\r\ny"));
  std::filesystem::remove(path);
}

TEST(PageStream, WritesLargeOutputsCompletely) {
  auto path = TempFile(".txt");
  zem::PageStream stream;
  ASSERT_TRUE(stream.Open(path.wstring()));
  std::string block(100000, 'z');
  for (int i = 0; i < 10; ++i) stream.PutNarrow(block);
  ASSERT_TRUE(stream.Close());
  EXPECT_EQ(std::filesystem::file_size(path), 1000000u);
  std::filesystem::remove(path);
}

TEST(PageStream, ReportsAFailedWrite) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  zem::PageStream stream;
  ASSERT_TRUE(stream.Open(L"/dev/full"));
  stream.PutNarrow(std::string(200000, 'z'));
  EXPECT_TRUE(stream.Failed());
  EXPECT_FALSE(stream.Close());
}

}  // namespace
