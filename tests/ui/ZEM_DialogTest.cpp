// The framework dialog: its button column, its size, the routing of control
// events, Ok and Cancel with their hooks, timers, the document's closing
// and the close box.
#include "ui/ZEM_Dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "standin/host/CRhinoApp.h"
#include "standin/platform/Resources.h"
#include "standin/platform/SystemMenu.h"
#include "standin/platform/WindowPainter.h"
#include "tests/support/UiTestSupport.h"
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

// Hooks write what happened; the content is a label, an edit (of a given
// minimum width), a combo box and a check box.
class RecordingDialog : public ZEM_Rhino_Dialog {
 public:
  explicit RecordingDialog(CWnd* parent, int editWidth = 0) : ZEM_Rhino_Dialog(parent), m_editWidth(editWidth) {}

  void CreateContent(const Mgr::CPaneBase& content) override {
    label.Create(this, L"HTML Title");
    edit.Create(this);
    combo.Create(this);
    box.log = &log;
    box.Create(this, L"Send ZIP file");
    Mgr& layout = DialogLayout();
    for (ZEM_2DUIComponent* c : std::initializer_list<ZEM_2DUIComponent*>{&label, &edit, &combo, &box})
      layout.Add(content, layout.MakeItem(static_cast<int>(c->Id()), Mgr::LayFillWidth | Mgr::LayFixedHeight,
                                          c == &edit ? m_editWidth : 0, c == &edit && m_editWidth ? m_editWidth : -1));
  }
  void OnClosing() override {
    log.push_back("closing");
    ZEM_Dialog::OnClosing();
  }
  void CommitComponents() override {
    log.push_back("commit");
    ZEM_Dialog::CommitComponents();
  }
  void OnOkHook() override { log.push_back("ok-hook"); }
  void OnCancelHook() override { log.push_back("cancel-hook"); }
  void OnApply() override { log.push_back("apply"); }
  void OnIdleTimer() override { log.push_back("idle"); }
  void OnDocumentOpened() override { log.push_back("document-opened"); }
  void UpdateControlStates() override { ++updates; }
  void OnControlEvent(int code, unsigned id, std::intptr_t extra) override { events.push_back({code, id, extra}); }

  struct Event {
    int code;
    unsigned id;
    std::intptr_t extra;
    bool operator==(const Event&) const = default;
  };
  Log log;
  std::vector<Event> events;
  int updates = 0;
  ZEM_Static label;
  ZEM_Edit edit;
  ZEM_ComboBox combo;
  RecordingCheckBox box;
  int m_editWidth;
};

class ZEM_DialogTest : public zem::testing::FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    m_owner.Attach(zem::CreateWindowObject(L"HostMain", L"Host", WS_VISIBLE, RECT{0, 0, 800, 600}));
  }
  void TearDown() override { m_owner.DestroyWindow(), FrameworkTest::TearDown(); }
  // Created once and shown as the command shows it.
  static void Show(ZEM_Dialog& dialog) {
    if (!IsWindow(dialog.m_hWnd)) {
      ASSERT_TRUE(dialog.CreateDialogWindow());
    }
    dialog.SetClosed(false);
    dialog.ShowWindow(SW_SHOW);
  }
  static void Press(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
  // The column's pictures, top to bottom.
  static std::vector<std::pair<RECT, const zem::Picture*>> Pictures(HWND dialog) {
    std::vector<std::pair<RECT, const zem::Picture*>> found;
    for (HWND child : zem::ChildWindows(dialog))
      if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
        found.push_back(
            {Rect(child), zem::PictureOf(reinterpret_cast<void*>(SendMessageW(child, STM_GETIMAGE, 0, 0)))});
    std::sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.first.top < b.first.top; });
    return found;
  }

  CWnd m_owner;
};

// The export dialog's column (Ok, Cancel, short side picture) and the full one
// with Apply, Undo and Redo.
TEST_F(ZEM_DialogTest, ButtonFlagsChooseTheColumn) {
  for (const std::uint32_t flags : {0x26u, 0x3Eu}) {
    SCOPED_TRACE(flags);
    const bool full = flags == 0x3E;
    RecordingDialog dialog(&m_owner);
    dialog.SetButtonFlags(flags);
    Show(dialog);
    const HWND d = dialog.m_hWnd, ok = GetDlgItem(d, IDOK), cancel = GetDlgItem(d, IDCANCEL);
    ASSERT_TRUE(ok && cancel);
    EXPECT_EQ(zem::WindowText(ok), L"Ok");
    EXPECT_EQ(zem::WindowText(cancel), L"Cancel");
    EXPECT_LT(Rect(cancel).top, Rect(ok).top);
    EXPECT_EQ(Child(d, L"Apply") != nullptr, full);
    const HWND undo = Child(d, L"", BS_ICON);
    EXPECT_EQ(undo != nullptr, full);
    const auto tips = zem::ToolTips(dialog.ToolTipWindow());
    EXPECT_EQ(tips.size(), full ? 2u : 0u);
    if (full && tips.size() == 2) {
      EXPECT_EQ(tips[0].text + tips[1].text, L"UndoRedo");
      EXPECT_EQ(Rect(undo).right - Rect(undo).left, 30);
    }
    const auto pictures = Pictures(d);
    ASSERT_EQ(pictures.size(), 2u);
    ASSERT_TRUE(pictures[0].second && pictures[1].second);
    EXPECT_EQ(pictures[0].second->width, 54) << "the top picture first";
    EXPECT_EQ(pictures[1].second->width, 34);
    EXPECT_GT(Rect(cancel).left, Rect(dialog.edit.Window()).right) << "the column right of the content";
    ExpectTidy(d, 8);
    // The picture a person would see, under the build's test-artifacts.
    dialog.SetTitle(L"Export to WebGL");
    dialog.edit.SetText(L"My model");
    char name[32];
    std::snprintf(name, sizeof name, "dialog-0x%02x.png", flags);
    EXPECT_TRUE(zem::RenderWindowToPng(d, (zem::testing::ArtifactFolder("ui/dialog-pictures") / name).string()));
  }
}

TEST_F(ZEM_DialogTest, ContentWiderThanTheTemplateGrowsTheWindowWhateverTheStoredPlacement) {
  WINDOWPLACEMENT small;
  small.rcNormalPosition = RECT{40, 50, 140, 110};
  ASSERT_TRUE(m_app.WriteProfileBinary(L"ZEM WebGL", L"WindowPlacement", reinterpret_cast<BYTE*>(&small), 44));
  for (bool resizable : {false, true}) {
    RecordingDialog dialog(&m_owner, 400);
    ASSERT_TRUE(dialog.CreateDialogWindow(resizable));
    const RECT r = Rect(dialog.m_hWnd);
    EXPECT_EQ(r.left, 40) << "the stored position is kept";
    EXPECT_GE(r.right - r.left, 400 + 55 + 1) << "content, separator and column fit";
    ExpectTidy(dialog.m_hWnd, 8);
  }
  WINDOWPLACEMENT large;
  large.rcNormalPosition = RECT{10, 20, 910, 720};
  ASSERT_TRUE(m_app.WriteProfileBinary(L"ZEM WebGL", L"WindowPlacement", reinterpret_cast<BYTE*>(&large), 44));
  RecordingDialog fixed(&m_owner), sizing(&m_owner);
  ASSERT_TRUE(fixed.CreateDialogWindow(false) && sizing.CreateDialogWindow(true));
  EXPECT_LT(Rect(fixed.m_hWnd).right - 10, 900) << "a fixed frame takes only the position";
  EXPECT_EQ(Rect(sizing.m_hWnd).right - 10, 900) << "a sizing frame also the size";
}

TEST_F(ZEM_DialogTest, OkAndCancelRunTheirStepsInOrderOnEveryShowing) {
  RecordingDialog dialog(&m_owner);
  for (int showing = 0; showing < 2; ++showing) {
    for (int id : {IDOK, IDCANCEL}) {
      Show(dialog);
      dialog.log.clear();
      dialog.SetCommandControl(ZEM_CommandControl_ptr::Adopt(new RecordingControl(dialog.log)));
      Press(dialog.m_hWnd, id);
      const Log expected = id == IDOK ? Log{"closing", "control-accepted", "commit", "ok-hook", "checkbox-written"}
                                      : Log{"closing", "control-cancelled", "commit", "cancel-hook"};
      EXPECT_EQ(dialog.log, expected);
      EXPECT_FALSE(dialog.IsWindowVisible());
      EXPECT_TRUE(dialog.IsClosed());
    }
  }
}

TEST_F(ZEM_DialogTest, ControlEventsReachTheirComponentUnlessLockedAndAlwaysTheHook) {
  RecordingDialog dialog(&m_owner);
  dialog.SetButtonFlags(0x2E);
  Show(dialog);
  const unsigned box = dialog.box.Id();
  const int updates = dialog.updates;
  Press(dialog.m_hWnd, static_cast<int>(box));
  dialog.box.SetLocked(true);
  Press(dialog.m_hWnd, static_cast<int>(box));
  EXPECT_EQ(dialog.box.events, std::vector<int>{BN_CLICKED}) << "a locked component hears nothing";
  EXPECT_EQ(dialog.events.size(), 2u) << "the hook hears both";
  EXPECT_EQ(dialog.updates, updates + 2);
  dialog.box.SetLocked(false);
  NMHDR header;
  header.idFrom = box;
  header.code = 847;
  SendMessageW(dialog.m_hWnd, WM_NOTIFY, box, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(dialog.box.events.back(), 3) << "the framework's change codes translate";
  SendMessageW(dialog.m_hWnd, 3009, box, 1234);
  EXPECT_EQ(dialog.events.back(), (RecordingDialog::Event{3009, box, 1234}));
  dialog.log.clear();
  dialog.SetCommandControl(ZEM_CommandControl_ptr::Adopt(new RecordingControl(dialog.log)));
  SendMessageW(Child(dialog.m_hWnd, L"Apply"), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog.log, (Log{"control-apply", "apply"}));
}

TEST_F(ZEM_DialogTest, DestroyedControlsAndWindowsLeaveTheLookups) {
  HWND window = nullptr;
  {
    RecordingDialog dialog(&m_owner);
    Show(dialog);
    window = dialog.m_hWnd;
    EXPECT_EQ(std::count(ZEM_Dialog::OpenDialogs().begin(), ZEM_Dialog::OpenDialogs().end(), window), 1);
    auto extra = std::make_unique<RecordingCheckBox>();
    ASSERT_TRUE(extra->Create(&dialog, L"Temporary"));
    const unsigned id = extra->Id();
    EXPECT_EQ(dialog.FindComponent(id), static_cast<ZEM_UIComponent*>(extra.get()));
    extra.reset();
    EXPECT_EQ(dialog.FindComponent(id), nullptr);
    SendMessageW(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    EXPECT_EQ(dialog.events.back().id, id) << "only the hook hears it";
  }
  EXPECT_EQ(std::count(ZEM_Dialog::OpenDialogs().begin(), ZEM_Dialog::OpenDialogs().end(), window), 0);
}

TEST_F(ZEM_DialogTest, TimersFireOnceAndTheIdleTimerCallsItsHook) {
  RecordingDialog dialog(&m_owner);
  Show(dialog);
  const int before = zem::TimerCount();
  dialog.SetTimer(ZEM_Dialog::kIdleTimer, 100);
  dialog.SetTimer(ZEM_Dialog::kPlainTimer, 50);
  dialog.SetTimer(ZEM_Dialog::kBusyTimer, 150);
  zem::RunMessageLoop([] { return false; }, 2000);
  EXPECT_EQ(dialog.log, Log{"idle"}) << "once in two seconds";
  EXPECT_EQ(zem::TimerCount(), before) << "all three killed when they fired";
  EXPECT_TRUE(SendMessageW(dialog.m_hWnd, WM_SETCURSOR, 0, 0)) << "handled while busy";
}

TEST_F(ZEM_DialogTest, ClosingTheDocumentCancelsAndHidesAnOpenDialogOnEveryShowing) {
  RecordingDialog dialog(&m_owner);
  RhinoApp().NewDocument();
  for (int showing = 0; showing < 3; ++showing) {
    SCOPED_TRACE(showing);
    Show(dialog);
    dialog.SetClosed(false);  // cleared twice: still one subscription
    dialog.log.clear();
    RhinoApp().NewDocument();  // closes the open one
    EXPECT_EQ(dialog.log, (Log{"closing", "commit", "cancel-hook"}));
    EXPECT_FALSE(dialog.IsWindowVisible());
    dialog.log.clear();
    RhinoApp().NewDocument();
    EXPECT_TRUE(dialog.log.empty()) << "a closed dialog hears nothing";
  }
  Show(dialog);
  Press(dialog.m_hWnd, IDOK);
  dialog.log.clear();
  RhinoApp().OpenDocument(L"model.json", [](CRhinoDoc&) { return true; });
  EXPECT_EQ(dialog.log, Log{"document-opened"}) << "closed with Ok: only the host watcher hears";
}

TEST_F(ZEM_DialogTest, TheCloseBoxCancelsUnlessCancelIsDisabled) {
  RecordingDialog dialog(&m_owner);
  Show(dialog);
  dialog.EnableCancel(false);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog.m_hWnd, IDCANCEL)));
  SendMessageW(dialog.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(dialog.log.empty());
  EXPECT_TRUE(dialog.IsWindowVisible());
  dialog.EnableCancel(true);
  SendMessageW(dialog.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(dialog.log.back(), "cancel-hook");
  EXPECT_FALSE(dialog.IsWindowVisible());
}

}  // namespace
