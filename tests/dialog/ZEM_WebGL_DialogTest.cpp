// The export options dialog as a person meets it: its first showing, the
// delivery modes, the link mode's edit, the estimate's ticks, the stored
// title and author, closing, help, and its pictures.
#include "dialog/ZEM_WebGL_Dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "capture/ExportListener.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/platform/AnswerQueue.h"
#include "standin/platform/Clock.h"
#include "standin/platform/HtmlHelp.h"
#include "standin/platform/MailClient.h"
#include "standin/platform/MessageLoop.h"
#include "standin/platform/Window.h"
#include "standin/platform/WindowPainter.h"
#include "tests/support/UiTestSupport.h"

namespace {

class ZEM_WebGL_DialogTest : public zem::testing::FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    doc = &RhinoApp().NewDocument();
    doc->SetTitle(L"Bridge");
    doc->Properties().RevisionHistory().m_sCreatedBy = L"Ana";
    dialog = new ZEM_WebGL_Dialog(RhinoApp().MainWnd(),
                                  [this] { return L"help.chm::/topic" + std::to_wstring(++helpAsked); });
  }
  void TearDown() override {
    if (IsWindow(dialog->m_hWnd)) dialog->DestroyWindow();
    dialog->Discard();
    RhinoApp().CloseDocument();
    FrameworkTest::TearDown();
  }

  // Shown as the command shows it.
  void Show(bool mail) {
    if (!IsWindow(dialog->m_hWnd)) {
      ASSERT_TRUE(dialog->CreateExportWindow());
    }
    dialog->ShowForExport();
    dialog->PrepareForShow(mail);
  }
  // Children of a window class, top to bottom.
  std::vector<HWND> Children(const wchar_t* className) const {
    std::vector<HWND> found;
    for (HWND child : zem::ChildWindows(dialog->m_hWnd))
      if (ClassOf(child) == className) found.push_back(child);
    std::sort(found.begin(), found.end(), [](HWND a, HWND b) { return Rect(a).top < Rect(b).top; });
    return found;
  }
  HWND Child(const std::wstring& text) const { return FrameworkTest::Child(dialog->m_hWnd, text); }
  HWND TitleEdit() const { return Children(L"Edit").at(0); }
  HWND AuthorEdit() const { return Children(L"Edit").at(1); }
  HWND LinkEdit() const { return Children(L"Edit").at(2); }
  HWND Combo() const { return Children(L"ComboBox").at(0); }
  // The size text: the lowest static with text.
  std::wstring SizeText() const {
    HWND lowest = nullptr;
    for (HWND s : Children(L"Static"))
      if (!zem::WindowText(s).empty() && Rect(s).left < Rect(Combo()).right) lowest = s;
    return lowest ? zem::WindowText(lowest) : L"";
  }
  void SelectLinkMode(const std::wstring& text) {
    const HWND combo = Combo();
    const int index = static_cast<int>(
        SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())));
    ASSERT_GE(index, 0) << "no item";
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog->m_hWnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
  }
  void Press(int id) { SendMessageW(GetDlgItem(dialog->m_hWnd, id), BM_CLICK, 0, 0); }
  // The preview's counts, as a frame of the active viewport leaves them
  // (the document has no views, so no redraw overwrites them).
  void Counts(long long meshes, long long triangles) { dialog->Preview().SetCounts({meshes, triangles, 0, 0}); }
  // Runs the loop until the size text changes; the clock time it took.
  DWORD UntilSizeTextChanges(DWORD limit = 2000) {
    const std::wstring before = SizeText();
    const DWORD start = GetTickCount();
    EXPECT_TRUE(zem::RunMessageLoop([&] { return SizeText() != before; }, limit)) << "still " << zem::ToUtf8(before);
    return GetTickCount() - start;
  }

  CRhinoDoc* doc = nullptr;
  ZEM_WebGL_Dialog* dialog = nullptr;
  int helpAsked = 0;
};

TEST_F(ZEM_WebGL_DialogTest, FirstShowingInFileModeOffersTheDefaultsAndTheDocumentsNames) {
  Counts(1, 1000000);
  const DWORD shownAt = GetTickCount();
  Show(false);
  const HWND d = dialog->m_hWnd;
  EXPECT_TRUE(dialog->IsWindowVisible());
  EXPECT_FALSE(dialog->IsClosed());
  EXPECT_EQ(zem::WindowText(d), L"Export ZEM WebGL HTML file...");
  const LRESULT noLink =
      SendMessageW(Combo(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"No Link"));
  EXPECT_GE(noLink, 0);
  EXPECT_EQ(SendMessageW(Combo(), CB_GETCURSEL, 0, 0), noLink);
  EXPECT_FALSE(IsWindowEnabled(LinkEdit())) << "no link: nothing to type";
  const HWND zip = Child(L"Send ZIP file"), notes = Child(L"Show Notes"), dots = Child(L"Show Dots");
  ASSERT_TRUE(zip && notes && dots);
  EXPECT_EQ((std::vector{IsWindowEnabled(zip) != 0, Checked(zip), Checked(notes), Checked(dots)}),
            (std::vector{false, false, false, true}))
      << "zip greyed and unticked, notes off, dots on";
  EXPECT_EQ(zem::WindowText(TitleEdit()), L"Bridge");
  EXPECT_EQ(zem::WindowText(AuthorEdit()), L"Ana");
  EXPECT_TRUE(zem::WindowText(LinkEdit()).empty());
  // The placeholder stays until the first tick, 50 ms on; then the
  // estimate of a million weighted triangles in one mesh.
  EXPECT_EQ(SizeText(), L"Approximate file size: 0.1 MB");
  // The clock also follows real time, so a tick may come a few milliseconds
  // late (and the next one then seems that much early): the first is timed
  // from before the showing that armed it, the later ones by their periods.
  UntilSizeTextChanges();
  const DWORD first = GetTickCount() - shownAt;
  EXPECT_GE(first, 50u);
  EXPECT_LT(first, 450u);
  EXPECT_EQ(SizeText(), L"Approximate file size: 129.8 MB");
  // Later ticks every 500 ms.
  Counts(2, 2000000);
  const DWORD later = UntilSizeTextChanges();
  EXPECT_GT(later, 450u);
  EXPECT_LT(later, 1000u);
  EXPECT_EQ(SizeText(), L"Approximate file size: 259.5 MB");
  SelectLinkMode(L"Web Link");
  EXPECT_TRUE(IsWindowEnabled(LinkEdit()));
  SelectLinkMode(L"No Link");
  EXPECT_FALSE(IsWindowEnabled(LinkEdit()));
}

// That a ticked box counts when mailing is the program's estimate test,
// which ticks it through the dialog.
TEST_F(ZEM_WebGL_DialogTest, ZipBoxIsOfferedAndCountedOnlyWhenSendingByMail) {
  Counts(1, 1000000);
  Show(true);
  EXPECT_EQ(zem::WindowText(dialog->m_hWnd), L"Send ZEM WebGL HTML file via email...");
  const HWND zip = Child(L"Send ZIP file");
  ASSERT_TRUE(zip);
  EXPECT_TRUE(IsWindowEnabled(zip));
  SendMessageW(zip, BM_CLICK, 0, 0);
  ASSERT_TRUE(Checked(zip));
  Press(IDCANCEL);

  // Saved to a file the box is greyed but keeps its tick, and counts for nothing.
  Show(false);
  EXPECT_FALSE(IsWindowEnabled(zip));
  EXPECT_TRUE(Checked(zip));
  UntilSizeTextChanges();
  EXPECT_EQ(SizeText(), L"Approximate file size: 129.8 MB");
}

TEST_F(ZEM_WebGL_DialogTest, EqualEstimateLeavesTheLabelAlone) {
  Counts(3, 5000);
  Show(false);
  UntilSizeTextChanges();
  const HWND label = Child(SizeText());
  ASSERT_TRUE(label);
  SetWindowTextW(label, L"marker");
  // Two more ticks with the same counts write nothing.
  zem::RunMessageLoop([] { return false; }, 1100);
  EXPECT_EQ(zem::WindowText(label), L"marker");
  // A new showing starts from nothing again, so the same estimate is shown.
  Press(IDCANCEL);
  Show(false);
  EXPECT_NE(zem::WindowText(label), L"marker");
  zem::RunMessageLoop([] { return false; }, 100);
  EXPECT_EQ(zem::WindowText(label), L"Approximate file size: 0.8 MB");
}

// What an export through Ok sees of the dialog while it runs, and how it ends.
struct ExportWatch : zem::ExportListener {
  std::function<void()> look;
  std::vector<zem::ExportStatus> outcomes;
  std::vector<zem::ExportResult> results;
  void OnExportFinished(const zem::ExportResult& result) override {
    outcomes.push_back(result.status);
    results.push_back(result);
    if (look) look();
  }
};

TEST_F(ZEM_WebGL_DialogTest, AnExportStoresTheNamesACancelledSaveKeepsThemAndANewDocumentForgetsThem) {
  RhinoApp().SetActiveView(doc->CreateView(L"Perspective"));
  ExportWatch watch;
  zem::ScopedExportListener listening(watch);
  // Ok with the save dialog answered by `path`; empty: cancelled.
  const auto exportAs = [&](const std::wstring& title, const std::wstring& author, const std::wstring& path) {
    SetWindowTextW(TitleEdit(), title.c_str());
    SetWindowTextW(AuthorEdit(), author.c_str());
    zem::AnswerQueue::Instance().Push(zem::kSaveFileQuestion, path);
    zem::AnswerQueue::Instance().Push(zem::kMessageBoxQuestion, L"yes");  // replace the earlier page
    Press(IDOK);
    zem::AnswerQueue::Instance().Clear();
    EXPECT_FALSE(dialog->IsWindowVisible());
  };
  const std::wstring page = zem::FromUtf8((m_folder / "page.html").string());
  std::vector<std::wstring> seen;
  watch.look = [&] {
    for (HWND child : zem::ChildWindows(dialog->m_hWnd))
      if (IsWindowEnabled(child)) seen.push_back(zem::WindowText(child));
  };

  Show(false);
  SetWindowTextW(TitleEdit(), L"typed, then cancelled");
  Press(IDCANCEL);
  Show(false);
  EXPECT_EQ(zem::WindowText(TitleEdit()), L"Bridge") << "typed text does not survive a cancel";
  exportAs(L"Exported title", L"Exported author", page);
  ASSERT_EQ(watch.outcomes, std::vector<zem::ExportStatus>{zem::ExportStatus::Written});
  EXPECT_EQ(seen, std::vector<std::wstring>{L"Creating WebGL file..."}) << "all else greyed while exporting";
  Show(false);
  EXPECT_TRUE(IsWindowEnabled(TitleEdit()));
  EXPECT_EQ(zem::WindowText(TitleEdit()), L"Exported title");
  EXPECT_EQ(zem::WindowText(AuthorEdit()), L"Exported author");
  exportAs(L"Not exported", L"Nobody", L"");
  EXPECT_EQ(watch.outcomes.back(), zem::ExportStatus::Cancelled);
  Show(false);
  EXPECT_EQ(zem::WindowText(TitleEdit()), L"Exported title") << "a cancelled save stores nothing";
  Press(IDCANCEL);

  ASSERT_TRUE(RhinoApp().OpenDocument(L"other.json", [](CRhinoDoc& opened) {
    opened.SetTitle(L"Tower");
    return true;
  }));
  Show(false);
  EXPECT_EQ(zem::WindowText(TitleEdit()), L"Tower");
  EXPECT_TRUE(zem::WindowText(AuthorEdit()).empty()) << "the new document names no author";
  RhinoApp().SetActiveView(RhinoApp().ActiveDoc()->CreateView(L"Perspective"));
  exportAs(L"Tower, exported", L"Ana", page);
  EXPECT_EQ(watch.outcomes.back(), zem::ExportStatus::Written);

  RhinoApp().NewDocument().SetTitle(L"Untitled");
  Show(false);
  EXPECT_EQ(zem::WindowText(TitleEdit()), L"Untitled");
  EXPECT_TRUE(zem::WindowText(AuthorEdit()).empty());
}

// What the mail holds, zipped or not as the box says, is the program's test,
// which works this dialog through a scripted person; what only the dialog
// shows is that it steps aside for the mail client.
TEST_F(ZEM_WebGL_DialogTest, OkInMailModeMailsThePageWithTheDialogHidden) {
  RhinoApp().SetActiveView(doc->CreateView(L"Perspective"));
  const auto outbox = m_folder / "outbox";
  std::filesystem::create_directories(outbox);
  zem::SetMailOutbox(zem::FromUtf8(outbox.string()));
  ExportWatch watch;
  zem::ScopedExportListener listening(watch);
  bool hiddenWhenMailed = false;
  watch.look = [&] { hiddenWhenMailed = !dialog->IsWindowVisible(); };
  Show(true);
  Press(IDOK);
  zem::SetMailOutbox(L"");
  ASSERT_EQ(watch.results.size(), 1u);
  EXPECT_EQ(watch.outcomes[0], zem::ExportStatus::Written);
  EXPECT_TRUE(watch.results[0].mailed);
  EXPECT_TRUE(hiddenWhenMailed) << "the mail client's window comes on top";
}

TEST_F(ZEM_WebGL_DialogTest, ClosingStopsTicksAndVeilAndClosingTheDocumentHidesTheSecondShowing) {
  for (const wchar_t* name : {L"Top", L"Perspective"}) doc->CreateView(name);
  RhinoApp().SetActiveView(doc->FindView(L"Perspective"));
  const auto veiled = [&] {
    doc->RefreshViews(true);
    doc->DeferredRedraw();
    RhinoApp().Idle();
    int count = 0;
    for (int i = 0; i < doc->ViewCount(); ++i) {
      const auto& frames = doc->View(i)->DisplayPipeline()->LastFrames();
      EXPECT_FALSE(frames.empty()) << "view " << i << " not drawn";
      if (!frames.empty()) count += static_cast<int>(frames.front().fills.size());
    }
    return count;
  };
  const int timers = zem::TimerCount();
  Show(false);
  EXPECT_EQ(zem::TimerCount(), timers + 1);
  EXPECT_EQ(veiled(), 1) << "every view but the active one";
  Press(IDOK);
  EXPECT_FALSE(dialog->IsWindowVisible());
  EXPECT_EQ(zem::TimerCount(), timers);
  EXPECT_EQ(veiled(), 0);

  // Second showing: the document closes while the host window is minimised;
  // restoring the host window must not bring back the cancelled dialog.
  Show(false);
  ASSERT_EQ(veiled(), 1);
  ShowWindow(RhinoApp().MainWnd(), SW_MINIMIZE);
  RhinoApp().NewDocument();
  ShowWindow(RhinoApp().MainWnd(), SW_RESTORE);
  EXPECT_FALSE(dialog->IsWindowVisible());
  EXPECT_TRUE(dialog->IsClosed());
  EXPECT_EQ(zem::TimerCount(), timers);
  // The next document's inactive view stays clear: the preview is off.
  doc = RhinoApp().ActiveDoc();
  for (const wchar_t* name : {L"Top", L"Perspective"}) doc->CreateView(name);
  RhinoApp().SetActiveView(doc->FindView(L"Perspective"));
  EXPECT_EQ(veiled(), 0);
}

TEST_F(ZEM_WebGL_DialogTest, F1AsksForTheHelpAddressAtEachRequest) {
  zem::ClearHelpRequests();
  Show(false);
  for (int i = 0; i < 2; ++i) {
    MSG key{TitleEdit(), WM_KEYDOWN, VK_F1, 0, 0};
    zem::DispatchThroughFilter(key);
  }
  ASSERT_EQ(zem::HelpRequests().size(), 2u);
  EXPECT_EQ(zem::HelpRequests()[0].address, L"help.chm::/topic1");
  EXPECT_EQ(zem::HelpRequests()[1].address, L"help.chm::/topic2");
}

TEST_F(ZEM_WebGL_DialogTest, PicturesInBothModesShowEveryControlWhole) {
  for (bool mail : {false, true}) {
    SCOPED_TRACE(mail);
    Show(mail);
    SelectLinkMode(mail ? L"Mail Link" : L"No Link");
    ExpectTidy(dialog->m_hWnd, 12);
    const auto picture = zem::testing::ArtifactFolder("dialog") / (mail ? "export-email.png" : "export-file.png");
    EXPECT_TRUE(zem::RenderWindowToPng(dialog->m_hWnd, picture.string()));
    Press(IDCANCEL);
  }
}

}  // namespace
