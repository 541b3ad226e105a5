// The framework's file dialog: joining the selection to its folder, the
// file-name buffer's limit, and the preview loader's hand-over.
#include "ui/ZEM_FileDialog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "standin/platform/AnswerQueue.h"

namespace {

// A loader that waits at a gate the test opens, and notes what it loaded.
class GatedLoader {
 public:
  ZEM_FileDialogPreviewThread::Loader Function() {
    return [this](const std::wstring& path) {
      std::unique_lock lock(m_mutex);
      m_started.push_back(path);
      m_changed.notify_all();
      m_changed.wait(lock, [this] { return m_open; });
      auto picture = std::make_unique<CRhinoDib>();
      picture->CreateDib(static_cast<int>(path.size()), 3, 24);
      return picture;
    };
  }
  void WaitForStart(std::size_t count) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_started.size() >= count; });
  }
  void Open() {
    std::lock_guard lock(m_mutex);
    m_open = true;
    m_changed.notify_all();
  }
  std::vector<std::wstring> Started() {
    std::lock_guard lock(m_mutex);
    return m_started;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_open = false;
  std::vector<std::wstring> m_started;
};

void WaitUntilIdle(ZEM_FileDialogPreviewThread& loader) {
  while (loader.IsLoading()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST(ZEM_FileDialogTest, SelectionJoinsItsFolderWithExactlyOneSeparator) {
  struct Case {
    const wchar_t* folder;
    const wchar_t* name;
    const wchar_t* path;
  };
  for (const Case& c :
       {Case{L"C:\\Models", L"bike.png", L"C:\\Models\\bike.png"},
        Case{L"C:\\Models\\", L"bike.png", L"C:\\Models\\bike.png"}, Case{L"/home/a/", L"b.jpg", L"/home/a\\b.jpg"},
        Case{L"C:\\", L"x.png", L"C:\\x.png"}, Case{L"", L"x.png", L"x.png"}, Case{L"\\", L"x.png", L"\\x.png"}}) {
    EXPECT_EQ(ZEM_FileDialog::JoinFolderAndName(c.folder, c.name), c.path) << c.folder;
  }
}

TEST(ZEM_FileDialogTest, BufferStartsWithTheInitialNameAndRefusesNamesAndPathsThatDoNotFit) {
  ZEM_FileDialog save(FALSE, L"html", L"model.html", L"WebGL HTML Files (*.html)|*.html||");
  EXPECT_EQ(std::wstring(save.FileNameBuffer()), L"model.html");

  const std::wstring longName(5000, L'n');
  ZEM_FileDialog tooLong(FALSE, L"html", longName.c_str(), nullptr);
  zem::AnswerQueue::Instance().Push(zem::kSaveFileQuestion, L"/tmp/never.html");
  EXPECT_EQ(tooLong.DoModal(), IDCANCEL);
  EXPECT_FALSE(tooLong.RefusalReason().empty());
  EXPECT_EQ(std::wstring(tooLong.FileNameBuffer()), L"") << "nothing copied past the buffer";
  EXPECT_EQ(zem::AnswerQueue::Instance().Take(zem::kSaveFileQuestion), L"/tmp/never.html") << "no dialog was shown";

  const std::wstring fits(4095, L'f');
  EXPECT_EQ(std::wstring(ZEM_FileDialog(FALSE, nullptr, fits.c_str(), nullptr).FileNameBuffer()), fits);
  // A chosen path that would not fit is refused too.
  zem::AnswerQueue::Instance().Push(zem::kSaveFileQuestion, L"/tmp/" + std::wstring(4200, L'd') + L".html");
  EXPECT_EQ(save.DoModal(), IDCANCEL);
  EXPECT_NE(save.RefusalReason().find(L"4095"), std::wstring::npos);
}

TEST(ZEM_FileDialogTest, PreviewOneLoadAtATimeAndTheLatestSelectionWins) {
  GatedLoader gate;
  ZEM_FileDialog dialog(TRUE, nullptr, nullptr, nullptr);
  dialog.UsePreviewLoader(gate.Function());
  dialog.OnSelectionChanged(L"C:\\p", L"a.png");
  gate.WaitForStart(1);
  dialog.OnSelectionChanged(L"C:\\p", L"bb.png");
  dialog.OnSelectionChanged(L"C:\\p", L"ccc.png");
  dialog.DeliverPreview();
  EXPECT_EQ(dialog.Preview().Picture(), nullptr) << "nothing loaded yet";
  gate.Open();
  WaitUntilIdle(dialog.Loader());
  EXPECT_EQ(gate.Started(), (std::vector<std::wstring>{L"C:\\p\\a.png", L"C:\\p\\ccc.png"}))
      << "the selection replaced while waiting is never loaded";
  dialog.DeliverPreview();
  ASSERT_NE(dialog.Preview().Picture(), nullptr);
  EXPECT_EQ(dialog.Preview().Path(), L"C:\\p\\ccc.png");
  EXPECT_EQ(dialog.Preview().Info(), L"12 x 3") << "the size of the picture of the path last chosen";
}

TEST(ZEM_FileDialogTest, PreviewALoadStillRunningWhenTheDialogEndsTouchesNothing) {
  GatedLoader gate;
  auto dialog = std::make_unique<ZEM_FileDialog>(TRUE, nullptr, nullptr, nullptr);
  dialog->UsePreviewLoader(gate.Function());
  dialog->OnSelectionChanged(L"/tmp", L"slow.png");
  gate.WaitForStart(1);
  zem::AnswerQueue::Instance().Push(zem::kOpenFileQuestion, L"");
  EXPECT_EQ(dialog->DoModal(), IDCANCEL);
  gate.Open();
  WaitUntilIdle(dialog->Loader());
  dialog->DeliverPreview();
  EXPECT_EQ(dialog->Preview().Picture(), nullptr) << "dropped after the end";
  EXPECT_TRUE(dialog->Preview().Path().empty());

  // Destroyed while the loader still works: the loader is joined first.
  GatedLoader second;
  dialog->UsePreviewLoader(second.Function());
  dialog->OnSelectionChanged(L"/tmp", L"slower.png");
  second.WaitForStart(1);
  std::thread opener([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    second.Open();
  });
  dialog.reset();
  opener.join();
}

}  // namespace
