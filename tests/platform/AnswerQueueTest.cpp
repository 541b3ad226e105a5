#include "platform/AnswerQueue.h"
#include "platform/CFileDialog.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include "tests/support/TestFolder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class AnswerQueueTest : public ::testing::Test {
 protected:
  zem::AnswerQueue& queue = zem::AnswerQueue::Instance();
  fs::path dir;
  void SetUp() override {
    queue.Clear();
    dir = zem::testing::TestFolder("zem-answers");
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::remove_all(dir);
    queue.Clear();
    zem::SetMessageBoxObserver(nullptr);
  }
  std::wstring Path(const char* name) const { return (dir / name).wstring(); }
};

TEST_F(AnswerQueueTest, EachQuestionTakesItsOwnAnswersInOrder) {
  queue.Push(L"mode", L"Email");
  queue.Push(L"title", L"First");
  queue.Push(L"mode", L"File");
  EXPECT_EQ(queue.Take(L"mode"), L"Email");
  EXPECT_EQ(queue.Take(L"mode"), L"File");
  EXPECT_EQ(queue.Take(L"mode"), std::nullopt);
  EXPECT_EQ(queue.Pending(), 1u);
  EXPECT_EQ(queue.Unanswered(), std::vector<std::wstring>{L"mode"});
}

TEST_F(AnswerQueueTest, SaveDialogWithoutAnAnswerOrWithAnEmptyOneIsCancelled) {
  CFileDialog dialog(FALSE, L"html");
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(dialog.GetPathName().IsEmpty());
  queue.Push(zem::kSaveFileQuestion, L"");
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(AnswerQueueTest, OverwritingAnExistingFileNeedsAYes) {
  std::ofstream(dir / "old.html") << "x";
  std::vector<std::wstring> shown;
  zem::SetMessageBoxObserver([&](const std::wstring&, const std::wstring& text, int) { shown.push_back(text); });

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
