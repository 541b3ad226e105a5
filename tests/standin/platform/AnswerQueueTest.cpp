#include "standin/platform/AnswerQueue.h"
#include "standin/platform/CFileDialog.h"
#include "standin/platform/MessageBox.h"

#include <gtest/gtest.h>

#include "tests/support/TempFolderTest.h"

#include <fstream>
#include <string>

namespace {

class AnswerQueueTest : public zem::testing::TempFolderTest {
 protected:
  zem::AnswerQueue& queue = zem::AnswerQueue::Instance();
  void SetUp() override {
    TempFolderTest::SetUp();
    queue.Clear();
  }
  void TearDown() override {
    queue.Clear();
    zem::SetMessageBoxObserver(nullptr);
    TempFolderTest::TearDown();
  }
  std::wstring Path(const char* name) const { return (folder / name).wstring(); }
};

TEST_F(AnswerQueueTest, OverwritingAnExistingFileNeedsAYes) {
  std::ofstream(folder / "old.html") << "x";
  std::vector<std::wstring> shown;
  zem::SetMessageBoxObserver([&](const std::wstring&, const std::wstring& text, int) { shown.push_back(text); });

  queue.Push(zem::kSaveFileQuestion, L"");
  EXPECT_EQ(CFileDialog(FALSE, L"html").DoModal(), IDCANCEL) << "an empty name is no choice";

  queue.Push(zem::kSaveFileQuestion, Path("old.html"));
  CFileDialog declined(FALSE, L"html");
  EXPECT_EQ(declined.DoModal(), IDCANCEL) << "no answer to the prompt: the default button, No";
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].find(L"old.html already exists"), std::wstring::npos);

  queue.Push(zem::kSaveFileQuestion, Path("old.html"));
  queue.Push(zem::kMessageBoxQuestion, L"no");
  queue.Push(zem::kSaveFileQuestion, Path("new.html"));
  CFileDialog second(FALSE, L"html");
  ASSERT_EQ(second.DoModal(), IDOK) << "declining lets the person pick another name";
  EXPECT_EQ(std::wstring(second.GetPathName()), Path("new.html"));

  queue.Push(zem::kSaveFileQuestion, Path("old.html"));
  queue.Push(zem::kMessageBoxQuestion, L"Yes");
  CFileDialog accepted(FALSE, L"html");
  ASSERT_EQ(accepted.DoModal(), IDOK);
  EXPECT_EQ(std::wstring(accepted.GetPathName()), Path("old.html"));
}

}  // namespace
