// The framework dialog: its button column, its size, the routing of control
// events, Ok and Cancel with their hooks, timers, the owner's minimising,
// the document's closing, the close box and help.
#include "ui/ZEM_Dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/CRhinoApp.h"
#include "platform/Resources.h"
#include "platform/SystemMenu.h"
#include "platform/WindowPainter.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/ZEM_CheckBox.h"
#include "ui/ZEM_ComboBox.h"
#include "ui/ZEM_Edit.h"
#include "ui/ZEM_Rhino_Dialog.h"

namespace {

using Mgr = FLXLayoutMgr;
using Log = std::vector<std::string>;

class RecordingControl : public ZEM_CommandControl {
 public:
  explicit RecordingControl(Log& log) : m_log(log) {}
  void Apply() override { m_log.push_back("control-apply"); }
  void Accepted() override { m_log.push_back("control-accepted"); }
  void Cancelled() override { m_log.push_back("control-cancelled"); }
  Log& m_log;
};

class RecordingCheckBox : public ZEM_CheckBox {
 public:
  void OnEvent(int code, std::intptr_t) override { events.push_back(code); }
  bool WriteToSettings() override {
    if (log) log->push_back("checkbox-written");
    return ZEM_CheckBox::WriteToSettings();
  }
  std::vector<int> events;
  Log* log = nullptr;
};

// A framework dialog whose hooks write what happened, with a content of a
// label, an edit, a combo box and a check box (the export dialog's kinds),
// optionally wider than the template.
class RecordingDialog : public ZEM_Rhino_Dialog {
 public:
  explicit RecordingDialog(CWnd* parent = nullptr, int contentWidth = 0)
      : ZEM_Rhino_Dialog(parent), m_contentWidth(contentWidth) {}

  void CreateContent(const Mgr::CPaneBase& content) override {
    m_log.push_back("content");
    label.Create(this, L"HTML Title");
    edit.Create(this);
    combo.Create(this);
    box.log = &m_log;
    box.Create(this, L"Send ZIP file");
    Mgr& layout = DialogLayout();
    const unsigned row = Mgr::LayFillWidth | Mgr::LayFixedHeight;
    layout.Add(content, layout.MakeItem(static_cast<int>(label.Id()), row));
    layout.Add(content, layout.MakeItem(static_cast<int>(edit.Id()), Mgr::LayFixedHeight, m_contentWidth,
                                        m_contentWidth ? m_contentWidth : -1));
    layout.Add(content, layout.MakeItem(static_cast<int>(combo.Id()), row));
    layout.Add(content, layout.MakeItem(static_cast<int>(box.Id()), row));
  }
  void OnClosing() override {
    m_log.push_back("closing");
    ZEM_Dialog::OnClosing();
  }
  void CommitComponents() override {
    m_log.push_back("commit");
    ZEM_Dialog::CommitComponents();
  }
  void OnOkHook() override { m_log.push_back("ok-hook"); }
  void OnCancelHook() override { m_log.push_back("cancel-hook"); }
  void OnApply() override { m_log.push_back("apply"); }
  void OnIdleTimer() override { m_log.push_back("idle"); }
  void UpdateControlStates() override { ++updates; }
  void OnControlEvent(int code, unsigned id, std::intptr_t extra) override {
    controlEvents.push_back({code, id, extra});
  }
  void OnDocumentOpened() override { m_log.push_back("document-opened"); }
  void OnMaterialTableEvent(material_event, const CRhinoMaterialTable&, int, const ON_Material*) override {
    m_log.push_back("material");
  }

  struct Event {
    int code;
    unsigned id;
    std::intptr_t extra;
    bool operator==(const Event&) const = default;
  };
  Log m_log;
  std::vector<Event> controlEvents;
  int updates = 0;
  ZEM_Static label;
  ZEM_Edit edit;
  ZEM_ComboBox combo;
  RecordingCheckBox box;
  int m_contentWidth;
};

class DialogTest : public zem::test::FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    m_owner.Attach(zem::CreateWindowObject(L"HostMain", L"Host", WS_VISIBLE | WS_OVERLAPPEDWINDOW, RECT{0, 0, 800, 600}));
  }
  void TearDown() override {
    m_owner.DestroyWindow();
    FrameworkTest::TearDown();
  }
  // Created and shown as the command shows it.
  static void Show(ZEM_Dialog& dialog) {
    if (!IsWindow(dialog.m_hWnd)) ASSERT_TRUE(dialog.CreateDialogWindow());
    dialog.SetClosed(false);
    dialog.ShowWindow(SW_SHOW);
  }
  static void Press(ZEM_Dialog& dialog, int id) {
    SendMessageW(GetDlgItem(dialog.m_hWnd, id), BM_CLICK, 0, 0);
  }
  static std::vector<HWND> Buttons(HWND dialog, const wchar_t* text) {
    std::vector<HWND> found;
    for (HWND child : zem::ChildWindows(dialog)) {
      wchar_t name[32];
      GetClassNameW(child, name, 32);
      if (std::wstring(name) == L"Button" && zem::WindowText(child) == text) found.push_back(child);
    }
    return found;
  }
  static std::vector<HWND> IconButtons(HWND dialog) {
    std::vector<HWND> found;
    for (HWND child : zem::ChildWindows(dialog))
      if (GetWindowLongW(child, GWL_STYLE) & BS_ICON) found.push_back(child);
    return found;
  }
  // The picture statics of the column, top to bottom, with their pictures.
  static std::vector<const zem::Picture*> Pictures(HWND dialog, std::vector<RECT>* rects = nullptr) {
    std::vector<std::pair<RECT, const zem::Picture*>> found;
    for (HWND child : zem::ChildWindows(dialog))
      if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
        found.push_back({Rect(child), zem::PictureOf(reinterpret_cast<void*>(SendMessageW(child, STM_GETIMAGE, 0, 0)))});
    std::sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.first.top < b.first.top; });
    std::vector<const zem::Picture*> pictures;
    for (auto& [r, p] : found) {
      pictures.push_back(p);
      if (rects) rects->push_back(r);
    }
    return pictures;
  }
  static bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
  }
  // Every visible control lies inside the client area and over no other.
  static void ExpectTidy(HWND dialog) {
    RECT client;
    GetClientRect(dialog, &client);
    std::vector<HWND> shown;
    for (HWND child : zem::ChildWindows(dialog))
      if (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) shown.push_back(child);
    ASSERT_GE(shown.size(), 5u);
    for (std::size_t i = 0; i < shown.size(); ++i) {
      const RECT r = Rect(shown[i]);
      EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
          << zem::ToUtf8(zem::WindowText(shown[i])) << " lies outside the client area";
      EXPECT_GT(r.right - r.left, 0);
      for (std::size_t j = i + 1; j < shown.size(); ++j)
        EXPECT_FALSE(Overlap(r, Rect(shown[j]))) << zem::ToUtf8(zem::WindowText(shown[i])) << " over "
                                                  << zem::ToUtf8(zem::WindowText(shown[j]));
    }
  }

  CWnd m_owner;
};

TEST_F(DialogTest, DefaultFlagsGiveTheShortColumnWithCancelAndOkOnly) {
  RecordingDialog dialog(&m_owner);
  ASSERT_EQ(dialog.ButtonFlags(), 0x26u);
  Show(dialog);
  EXPECT_EQ(Buttons(dialog.m_hWnd, L"Ok").size(), 1u);
  EXPECT_EQ(Buttons(dialog.m_hWnd, L"Cancel").size(), 1u);
  EXPECT_EQ(GetDlgItem(dialog.m_hWnd, IDOK), Buttons(dialog.m_hWnd, L"Ok")[0]);
  EXPECT_EQ(GetDlgItem(dialog.m_hWnd, IDCANCEL), Buttons(dialog.m_hWnd, L"Cancel")[0]);
  EXPECT_TRUE(Buttons(dialog.m_hWnd, L"Apply").empty());
  EXPECT_TRUE(IconButtons(dialog.m_hWnd).empty()) << "no Undo or Redo";
  std::vector<RECT> rects;
  const auto pictures = Pictures(dialog.m_hWnd, &rects);
  ASSERT_EQ(pictures.size(), 2u);
  ASSERT_TRUE(pictures[0] && pictures[1]);
  EXPECT_EQ(pictures[0]->width, 54) << "the top picture first";
  EXPECT_EQ(pictures[1]->width, 34) << "then the short side picture";
  EXPECT_EQ(pictures[1]->height, 48);
  EXPECT_EQ(rects[0].top, 0) << "no spacer above the pictures";
  // Cancel above Ok, both below the pictures, right of the content.
  const RECT cancel = Rect(GetDlgItem(dialog.m_hWnd, IDCANCEL)), ok = Rect(GetDlgItem(dialog.m_hWnd, IDOK));
  EXPECT_LT(cancel.top, ok.top);
  EXPECT_GE(cancel.top, rects[1].bottom);
  EXPECT_GT(cancel.left, Rect(dialog.edit.Window()).right);
  EXPECT_EQ(dialog.m_log.front(), "content");
  EXPECT_EQ(dialog.updates, 1) << "after the first layout";
}

TEST_F(DialogTest, OtherFlagsGiveTheirColumns) {
  struct Case {
    std::uint32_t flags;
    const wchar_t* status;
    bool apply, undoRedo, spacer;
    int sideWidth;
  };
  for (const Case& c : {Case{0x3E, L"", true, true, false, 34}, Case{0x1E, L"Ready", true, true, true, 23},
                        Case{0x0A, L"", true, false, true, 23}}) {
    SCOPED_TRACE(c.flags);
    RecordingDialog dialog(&m_owner);
    dialog.SetButtonFlags(c.flags);
    dialog.SetStatusText(c.status);
    Show(dialog);
    EXPECT_EQ(Buttons(dialog.m_hWnd, L"Apply").size(), c.apply ? 1u : 0u);
    EXPECT_EQ(Buttons(dialog.m_hWnd, L"Cancel").size(), (c.flags & 4) ? 1u : 0u);
    const auto icons = IconButtons(dialog.m_hWnd);
    ASSERT_EQ(icons.size(), c.undoRedo ? 2u : 0u);
    if (c.undoRedo) {
      EXPECT_EQ(Rect(icons[0]).top, Rect(icons[1]).top) << "side by side";
      EXPECT_EQ(Rect(icons[0]).right - Rect(icons[0]).left, 30);
      const auto tips = zem::ToolTips(dialog.ToolTipWindow());
      ASSERT_EQ(tips.size(), 2u);
      EXPECT_EQ(tips[0].text, L"Undo");
      EXPECT_EQ(tips[1].text, L"Redo");
    }
    std::vector<RECT> rects;
    const auto pictures = Pictures(dialog.m_hWnd, &rects);
    ASSERT_EQ(pictures.size(), 2u);
    ASSERT_TRUE(pictures[1]);
    EXPECT_EQ(pictures[1]->width, c.sideWidth);
    const int above = c.undoRedo ? Rect(icons[0]).bottom : 0;
    EXPECT_EQ(rects[0].top > above + 3, c.spacer) << "a spacer pushes the pictures down";
    if (*c.status) {
      HWND status = nullptr;
      for (HWND child : zem::ChildWindows(dialog.m_hWnd))
        if (zem::WindowText(child) == c.status) status = child;
      ASSERT_NE(status, nullptr);
      EXPECT_GE(Rect(status).top, rects[1].bottom);
      EXPECT_LE(Rect(status).bottom, Rect(Buttons(dialog.m_hWnd, L"Apply")[0]).top);
    }
    ExpectTidy(dialog.m_hWnd);
  }
}

TEST_F(DialogTest, ContentLargerThanTheTemplateGrowsTheWindowWhateverTheStoredPlacement) {
  WINDOWPLACEMENT small;
  small.rcNormalPosition = RECT{40, 50, 140, 110};
  ASSERT_TRUE(m_app.WriteProfileBinary(L"ZEM WebGL", L"WindowPlacement", reinterpret_cast<BYTE*>(&small), 44));
  for (bool resizable : {false, true}) {
    RecordingDialog dialog(&m_owner, 400);
    ASSERT_TRUE(dialog.CreateDialogWindow(resizable));
    const RECT r = Rect(dialog.m_hWnd);
    EXPECT_EQ(r.left, 40) << "the stored position is kept";
    EXPECT_EQ(r.top, 50);
    EXPECT_GE(r.right - r.left, 400 + 55 + 1) << "content, separator and column fit";
    EXPECT_GT(r.bottom - r.top, 60);
    ExpectTidy(dialog.m_hWnd);
  }
  WINDOWPLACEMENT large;
  large.rcNormalPosition = RECT{10, 20, 910, 720};
  ASSERT_TRUE(m_app.WriteProfileBinary(L"ZEM WebGL", L"WindowPlacement", reinterpret_cast<BYTE*>(&large), 44));
  RecordingDialog fixed(&m_owner), sizing(&m_owner);
  ASSERT_TRUE(fixed.CreateDialogWindow(false));
  ASSERT_TRUE(sizing.CreateDialogWindow(true));
  EXPECT_LT(Rect(fixed.m_hWnd).right - 10, 900) << "a fixed frame takes only the position";
  EXPECT_EQ(Rect(sizing.m_hWnd).right - 10, 900) << "a sizing frame also the size";
}

TEST_F(DialogTest, OkAndCancelRunTheirStepsInOrderEachTimeTheDialogIsShown) {
  RecordingDialog dialog(&m_owner);
  for (int showing = 0; showing < 2; ++showing) {
    Show(dialog);
    dialog.m_log.clear();
    dialog.SetCommandControl(new RecordingControl(dialog.m_log));
    Press(dialog, IDOK);
    EXPECT_EQ(dialog.m_log, (Log{"closing", "control-accepted", "commit", "ok-hook", "checkbox-written"}));
    EXPECT_FALSE(dialog.IsWindowVisible());
    EXPECT_TRUE(dialog.IsClosed());

    Show(dialog);
    dialog.m_log.clear();
    dialog.SetCommandControl(new RecordingControl(dialog.m_log));
    Press(dialog, IDCANCEL);
    EXPECT_EQ(dialog.m_log, (Log{"closing", "control-cancelled", "commit", "cancel-hook"}));
    EXPECT_FALSE(dialog.IsWindowVisible());
  }
  Show(dialog);
  dialog.SetApplyDone(1);
  dialog.m_log.clear();
  Press(dialog, IDOK);
  EXPECT_EQ(dialog.m_log, (Log{"closing", "ok-hook", "checkbox-written"})) << "apply done: no bookkeeping";
  BYTE* data = nullptr;
  UINT bytes = 0;
  EXPECT_TRUE(m_app.GetProfileBinary(L"ZEM WebGL", L"WindowPlacement", &data, &bytes)) << "Cancel stored it";
  delete[] data;
}

TEST_F(DialogTest, ControlEventsReachTheirComponentUnlessItIsLockedAndAlwaysTheHook) {
  RecordingDialog dialog(&m_owner);
  dialog.SetButtonFlags(0x2E);
  Show(dialog);
  const unsigned box = dialog.box.Id();
  const int updates = dialog.updates;
  Press(dialog, static_cast<int>(box));
  EXPECT_EQ(dialog.box.events, std::vector<int>{BN_CLICKED});
  dialog.box.SetLocked(true);
  Press(dialog, static_cast<int>(box));
  EXPECT_EQ(dialog.box.events.size(), 1u) << "a locked component hears nothing";
  EXPECT_EQ(dialog.controlEvents.size(), 2u) << "the hook hears both";
  EXPECT_EQ(dialog.updates, updates + 2);
  // Notifications translate the framework's change codes.
  dialog.box.SetLocked(false);
  NMHDR header;
  header.idFrom = box;
  header.code = 847;
  SendMessageW(dialog.m_hWnd, WM_NOTIFY, box, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(dialog.box.events.back(), 3);
  // The framework's private messages: id in wParam, the extra value in lParam.
  SendMessageW(dialog.m_hWnd, 3009, box, 1234);
  EXPECT_EQ(dialog.controlEvents.back(), (RecordingDialog::Event{3009, box, 1234}));
  // Apply goes to the command-control object, then the hook.
  dialog.m_log.clear();
  dialog.SetCommandControl(new RecordingControl(dialog.m_log));
  SendMessageW(Buttons(dialog.m_hWnd, L"Apply")[0], BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.m_log, (Log{"control-apply", "apply"}));
  dialog.SetSuppressHooks(true);
  const std::size_t heard = dialog.controlEvents.size();
  Press(dialog, static_cast<int>(box));
  EXPECT_EQ(dialog.controlEvents.size(), heard) << "suppressed";
}

TEST_F(DialogTest, AControlDestroyedBeforeItsDialogLeavesTheLookup) {
  RecordingDialog dialog(&m_owner);
  Show(dialog);
  auto extra = std::make_unique<RecordingCheckBox>();
  ASSERT_TRUE(extra->Create(&dialog, L"Temporary"));
  const unsigned id = extra->Id();
  EXPECT_EQ(dialog.FindComponent(id), static_cast<ZEM_UIComponent*>(extra.get()));
  extra.reset();
  EXPECT_EQ(dialog.FindComponent(id), nullptr);
  SendMessageW(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  EXPECT_EQ(dialog.controlEvents.back().id, id) << "only the hook hears it";
}

TEST_F(DialogTest, TimersFireOnceAndTheIdleTimerCallsItsHook) {
  RecordingDialog dialog(&m_owner);
  Show(dialog);
  const int before = zem::TimerCount();
  dialog.SetTimer(ZEM_Dialog::kIdleTimer, 100);
  dialog.SetTimer(ZEM_Dialog::kPlainTimer, 50);
  dialog.SetTimer(ZEM_Dialog::kBusyTimer, 150);
  dialog.m_log.clear();
  EXPECT_FALSE(dialog.IsBusyCursor());
  EXPECT_FALSE(SendMessageW(dialog.m_hWnd, WM_SETCURSOR, 0, 0));
  zem::RunMessageLoop([] { return false; }, 2000);
  EXPECT_EQ(dialog.m_log, Log{"idle"}) << "once in two seconds";
  EXPECT_EQ(zem::TimerCount(), before) << "all three killed when they fired";
  EXPECT_TRUE(dialog.IsBusyCursor());
  EXPECT_TRUE(SendMessageW(dialog.m_hWnd, WM_SETCURSOR, 0, 0)) << "handled while busy";
}

TEST_F(DialogTest, RestoringTheOwnerShowsAnOpenDialogButNotAClosedOne) {
  RecordingDialog open(&m_owner), closedBefore(&m_owner), closedWhileMinimised(&m_owner);
  for (ZEM_Dialog* d : {&open, &closedBefore, &closedWhileMinimised}) Show(*d);
  Press(closedBefore, IDOK);
  ShowWindow(m_owner.m_hWnd, SW_MINIMIZE);
  EXPECT_FALSE(open.IsWindowVisible());
  EXPECT_FALSE(closedWhileMinimised.IsWindowVisible());
  closedWhileMinimised.OnCancel();
  ShowWindow(m_owner.m_hWnd, SW_RESTORE);
  EXPECT_TRUE(open.IsWindowVisible());
  EXPECT_FALSE(closedBefore.IsWindowVisible());
  EXPECT_FALSE(closedWhileMinimised.IsWindowVisible());
}

TEST_F(DialogTest, ClosingTheDocumentCancelsAndHidesAnOpenDialogOnEveryShowing) {
  RecordingDialog dialog(&m_owner);
  RhinoApp().NewDocument();
  for (int showing = 0; showing < 3; ++showing) {
    SCOPED_TRACE(showing);
    Show(dialog);
    EXPECT_TRUE(dialog.IsSubscribed());
    dialog.m_log.clear();
    RhinoApp().NewDocument();  // closes the open one
    EXPECT_EQ(dialog.m_log, (Log{"closing", "commit", "cancel-hook"}));
    EXPECT_FALSE(dialog.IsWindowVisible());
    EXPECT_TRUE(dialog.IsClosed());
    // A closed dialog hears nothing.
    dialog.m_log.clear();
    RhinoApp().NewDocument();
    EXPECT_TRUE(dialog.m_log.empty());
  }
  Show(dialog);
  Press(dialog, IDOK);
  dialog.m_log.clear();
  RhinoApp().NewDocument();
  EXPECT_TRUE(dialog.m_log.empty()) << "closed with Ok";
  Show(dialog);
  dialog.SetClosed(false);  // cleared twice: still one subscription
  dialog.m_log.clear();
  RhinoApp().CloseDocument();
  EXPECT_EQ(std::count(dialog.m_log.begin(), dialog.m_log.end(), "cancel-hook"), 1);
}

TEST_F(DialogTest, HostWatcherPassesOpeningAndMaterialEventsWhileTheObjectLives) {
  auto dialog = std::make_unique<RecordingDialog>(&m_owner);
  RhinoApp().OpenDocument(L"model.json", [](CRhinoDoc&) { return true; });
  EXPECT_EQ(dialog->m_log, Log{"document-opened"});
  dialog.reset();
  RhinoApp().OpenDocument(L"model.json", [](CRhinoDoc&) { return true; });  // no watcher left to call
}

TEST_F(DialogTest, TheCloseBoxCancelsUnlessCancelIsDisabled) {
  RecordingDialog dialog(&m_owner);
  Show(dialog);
  dialog.EnableCancel(false);
  EXPECT_TRUE(zem::IsCloseGreyed(dialog.m_hWnd));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog.m_hWnd, IDCANCEL)));
  dialog.m_log.clear();
  SendMessageW(dialog.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(dialog.m_log.empty());
  EXPECT_TRUE(dialog.IsWindowVisible());
  dialog.EnableCancel(true);
  SendMessageW(dialog.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(dialog.m_log.back(), "cancel-hook");
  EXPECT_FALSE(dialog.IsWindowVisible());
}

std::wstring g_helpOpened;

TEST_F(DialogTest, F1OpensTheHelpPath) {
  ZEM_Dialog::SetHelpViewer([](const std::wstring& path) { g_helpOpened = path; });
  RecordingDialog dialog(&m_owner);
  Show(dialog);
  dialog.SetHelpPath(L"C:\\Doc\\help.chm::/writewebgl.htm");
  MSG key{dialog.edit.Window(), WM_KEYDOWN, VK_F1, 0, 0};
  zem::DispatchThroughFilter(key);
  EXPECT_EQ(g_helpOpened, L"C:\\Doc\\help.chm::/writewebgl.htm");
  ZEM_Dialog::SetHelpViewer(nullptr);
}

TEST_F(DialogTest, OpenDialogListLosesADialogWhenItsWindowGoes) {
  HWND window = nullptr;
  {
    RecordingDialog dialog(&m_owner);
    Show(dialog);
    window = dialog.m_hWnd;
    EXPECT_NE(std::find(ZEM_Dialog::OpenDialogs().begin(), ZEM_Dialog::OpenDialogs().end(), window),
              ZEM_Dialog::OpenDialogs().end());
    RecordingDialog other(&m_owner);
    Show(other);
    HWND otherWindow = other.m_hWnd;
    other.DestroyWindow();
    EXPECT_EQ(std::count(ZEM_Dialog::OpenDialogs().begin(), ZEM_Dialog::OpenDialogs().end(), otherWindow), 0);
  }
  EXPECT_EQ(std::count(ZEM_Dialog::OpenDialogs().begin(), ZEM_Dialog::OpenDialogs().end(), window), 0);
}

TEST_F(DialogTest, PicturesOfTwoColumnsShowEveryControlInside) {
  for (std::uint32_t flags : {0x26u, 0x3Eu}) {
    RecordingDialog dialog(&m_owner, 150);
    dialog.SetButtonFlags(flags);
    Show(dialog);
    dialog.SetTitle(L"Export to WebGL");
    dialog.edit.SetText(L"My model");
    dialog.combo.AddItem(L"Web link", 1);
    dialog.combo.SelectData(1);
    ExpectTidy(dialog.m_hWnd);
    char name[32];
    std::snprintf(name, sizeof name, "dialog-%02x.png", flags);
    std::wstring error;
    EXPECT_TRUE(zem::RenderWindowToPng(dialog.m_hWnd, (Artifacts("ui") / name).string(), &error)) << zem::ToUtf8(error);
  }
}

}  // namespace
