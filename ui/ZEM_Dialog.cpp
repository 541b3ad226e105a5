#include "ui/ZEM_Dialog.h"

#include <algorithm>

#include "standin/platform/HtmlHelp.h"
#include "standin/platform/Resources.h"
#include "standin/platform/SystemMenu.h"
#include "ui/FrameworkResources.h"
#include "ui/ZEM_CheckBox.h"

namespace {

constexpr wchar_t kStoreName[] = L"ZEM WebGL";
// Private messages of the framework's own controls (sliders, spinners, ...).
constexpr UINT kPrivateMessages[] = {3005, 3008, 3009, 3010, 3011};
constexpr int kStandardBorder = 3;
constexpr int kDecorationWidth = 55;
constexpr int kIconButtonWidth = 30;

using Mgr = FLXLayoutMgr;
constexpr unsigned kButtonItemMode = Mgr::LayFillWidth | Mgr::LayFixedHeight;  // 0x104
constexpr unsigned kColumnMode = Mgr::LayFixedWidth | Mgr::LayFillHeight;      // 0x201
constexpr unsigned kTopBitmapMode = Mgr::LayFixedWidth | Mgr::LayFixedHeight;  // 5
constexpr unsigned kSideBitmapMode = Mgr::LayFillWidth | Mgr::LayFillHeight;   // 0x300

std::vector<HWND>& OpenDialogList() {
  static auto* list = new std::vector<HWND>;
  return *list;
}

struct DecorationSize {
  UINT bitmap;
  int width;
  int height;
};
constexpr DecorationSize kTop{zem::kTopBitmap, 54, 43};
constexpr DecorationSize kShortSide{zem::kShortSideBitmap, 34, 48};
constexpr DecorationSize kTallSide{zem::kTallSideBitmap, 23, 96};

}  // namespace

ZEM_Dialog::ZEM_Dialog(CWnd* parent) : FLXLayoutDialog(zem::kFixedDialogTemplate, parent, kStoreName) {}

ZEM_Dialog::~ZEM_Dialog() {
  Unsubscribe();
  ForgetWindow();
  if (::IsWindow(m_toolTip.m_hWnd)) m_toolTip.DestroyWindow();
}

const std::vector<HWND>& ZEM_Dialog::OpenDialogs() { return OpenDialogList(); }

BOOL ZEM_Dialog::CreateDialogWindow(bool resizable) {
  const UINT templateId =
      (m_buttonFlags & kResizable) || resizable ? zem::kSizingDialogTemplate : zem::kFixedDialogTemplate;
  return Create(templateId, Parent());
}

BOOL ZEM_Dialog::OnInitDialog() {
  // 1. The layout dialog's initialisation restores the stored placement. A
  // fixed frame takes only its position from it.
  RECT templateRect;
  GetWindowRect(&templateRect);
  FLXLayoutDialog::OnInitDialog();
  const bool resizable = (GetWindowLongW(m_hWnd, GWL_STYLE) & WS_THICKFRAME) != 0;
  if (!resizable) {
    RECT placed;
    GetWindowRect(&placed);
    ::MoveWindow(m_hWnd, placed.left, placed.top, templateRect.right - templateRect.left,
                 templateRect.bottom - templateRect.top, FALSE);
  }
  SetParentDialog(m_hWnd);
  SetWindow(m_hWnd);
  // 2. The dialog icon, small and big.
  HINSTANCE module = AfxGetResourceHandle();
  SendMessageW(WM_SETICON, 0,
               reinterpret_cast<LPARAM>(LoadImageW(module, MAKEINTRESOURCEW(zem::kDialogIcon), 1, 16, 16, 0)));
  SendMessageW(WM_SETICON, 1,
               reinterpret_cast<LPARAM>(LoadImageW(module, MAKEINTRESOURCEW(zem::kDialogIcon), 1, 32, 32, 0)));
  // 3. Tooltips.
  m_toolTip.Create(this);
  // 4. The stored title.
  if (!m_title.empty()) ::SetWindowTextW(m_hWnd, m_title.c_str());
  // 5.
  Subscribe();
  // 6. Root: content | separator | button column.
  const Mgr::CPaneBase root = Layout().CreateRoot(Mgr::Horizontal);
  const Mgr::CPaneBase content = Layout().MakePane(Mgr::Vertical, 0, kStandardBorder);
  Layout().Add(root, content);
  // 7.
  if (m_buttonFlags & kButtonColumn) BuildButtonColumn(root);
  // 8.
  CreateContent(content);
  // 9. Laid out, then grown where the content needs more than the template.
  Layout().UpdateLayout();
  GrowToContent();
  UpdateControlStates();
  // 10.
  if (std::find(OpenDialogList().begin(), OpenDialogList().end(), m_hWnd) == OpenDialogList().end())
    OpenDialogList().push_back(m_hWnd);
  return TRUE;
}

void ZEM_Dialog::BuildButtonColumn(const Mgr::CPaneBase& root) {
  const Mgr::CPaneBase column = Layout().MakePane(Mgr::Vertical, kColumnMode, kStandardBorder);
  if (m_buttonFlags & kUndoRedoButtons) {
    const Mgr::CPaneBase row = Layout().MakePane(Mgr::Horizontal, 0, kStandardBorder);
    m_undo.CreateIcon(this, zem::kUndoIcon);
    m_redo.CreateIcon(this, zem::kRedoIcon);
    m_undo.SetToolTip(L"Undo");
    m_redo.SetToolTip(L"Redo");
    Layout().Add(row, Layout().MakeItem(static_cast<int>(m_undo.Id()), kButtonItemMode, kIconButtonWidth));
    Layout().Add(row, Layout().MakeItem(static_cast<int>(m_redo.Id()), kButtonItemMode, kIconButtonWidth));
    Layout().Add(column, row);
  }
  // The spacer: an item without a control, greedy, that takes the free height.
  if (!(m_buttonFlags & kShortSideBitmap)) Layout().Add(column, Layout().MakeItem(-1));
  m_topBitmap.Create(this, kTop.bitmap, kTop.width, kTop.height);
  Layout().Add(column, Layout().MakeItem(static_cast<int>(m_topBitmap.Id()), kTopBitmapMode, kDecorationWidth));
  const DecorationSize& side = (m_buttonFlags & kShortSideBitmap) ? kShortSide : kTallSide;
  m_sideBitmap.Create(this, side.bitmap, side.width, side.height);
  Layout().Add(column, Layout().MakeItem(static_cast<int>(m_sideBitmap.Id()), kSideBitmapMode, kDecorationWidth));
  if (!m_statusTextString.empty()) {
    m_statusText.Create(this, m_statusTextString);
    Layout().Add(column, Layout().MakeItem(static_cast<int>(m_statusText.Id()), kButtonItemMode));
  }
  const auto addButton = [&](std::uint32_t flag, ZEM_Button& button, const wchar_t* text, int id) {
    if (!(m_buttonFlags & flag)) return;
    button.Create(this, text, id);
    Layout().Add(column, Layout().MakeItem(static_cast<int>(button.Id()), kButtonItemMode));
  };
  addButton(kApplyButton, m_apply, L"Apply", -1);
  addButton(kCancelButton, m_cancel, L"Cancel", IDCANCEL);
  addButton(kOkButton, m_ok, L"Ok", IDOK);
  m_separator.Create(this);
  Layout().Add(root, Layout().MakeItem(static_cast<int>(m_separator.Id()), kColumnMode));
  Layout().Add(root, column);
}

void ZEM_Dialog::GrowToContent() {
  const Mgr::CPaneBase& root = Layout().Root();
  if (!root) return;
  RECT client, window;
  GetClientRect(&client);
  GetWindowRect(&window);
  const int width = std::max<int>(client.right, root->MinWidth());
  const int height = std::max<int>(client.bottom, root->MinHeight());
  if (width == client.right && height == client.bottom) return;
  // Headless windows have no frame: the window is the client area.
  MoveWindow(window.left, window.top, width, height, TRUE);
}

void ZEM_Dialog::SetTitle(const std::wstring& title) {
  m_title = title;
  if (::IsWindow(m_hWnd)) ::SetWindowTextW(m_hWnd, title.c_str());
}

void ZEM_Dialog::SetClosed(bool closed) {
  const bool reopening = m_closed && !closed;
  m_closed = closed;
  // A dialog shown again after Ok or Cancel listens again; its window was
  // initialised only once.
  if (reopening && ::IsWindow(m_hWnd)) Subscribe();
}

void ZEM_Dialog::Subscribe() {
  if (m_subscribed) return;
  if (!m_subscriber) m_subscriber = ZEM_DialogEvent_ptr::Adopt(new ZEM_DialogEvent(this));
  m_subscriber->Subscribe();
  m_subscribed = true;
}

void ZEM_Dialog::Unsubscribe() {
  if (m_subscriber) m_subscriber->DetachFromAll();
  m_subscribed = false;
}

void ZEM_Dialog::OnClosing() {
  m_closed = true;
  Unsubscribe();
}

void ZEM_Dialog::CommitComponents() {
  m_commandControl.Reset();
  for (HWND child : zem::ChildWindows(m_hWnd))
    if (auto* component = dynamic_cast<ZEM_UIComponent*>(CWnd::FromHandlePermanent(child)))
      component->CommitParameter();
}

void ZEM_Dialog::OnOK() {
  OnClosing();
  if (m_applyDone == 0) {
    if (m_commandControl) m_commandControl->Accepted();
    CommitComponents();
  }
  OnOkHook();
  for (HWND child : zem::ChildWindows(m_hWnd))
    if (auto* box = dynamic_cast<ZEM_CheckBox*>(CWnd::FromHandlePermanent(child))) box->WriteToSettings();
  for (ZEM_Dialog* sub : m_subDialogs) {
    sub->CommitComponents();
    sub->OnCancel();
  }
  m_subscriber.Reset();
  CDialog::OnOK();
}

void ZEM_Dialog::OnCancel() {
  OnClosing();
  if (m_applyDone == 0) {
    if (m_commandControl) m_commandControl->Cancelled();
    CommitComponents();
  }
  OnCancelHook();
  for (ZEM_Dialog* sub : m_subDialogs) {
    sub->CommitComponents();
    sub->OnCancel();
  }
  // Stores the placement, then ends.
  FLXLayoutDialog::OnCancel();
}

bool ZEM_Dialog::CloseByCommandControl() {
  if (!m_commandControl) return false;
  switch (m_commandControl->CloseRequest()) {
    case ZEM_CommandControl::Closing::Accept:
      OnOK();
      return true;
    case ZEM_CommandControl::Closing::Cancel:
      OnCancel();
      return true;
    default:
      return false;
  }
}

void ZEM_Dialog::CopyHelpPath() {
  if (m_commandControl) m_helpPath = m_commandControl->HelpPath();
}

ZEM_UIComponent* ZEM_Dialog::FindComponent(unsigned id) const {
  HWND control = ::GetDlgItem(m_hWnd, static_cast<int>(id));
  return control ? dynamic_cast<ZEM_UIComponent*>(CWnd::FromHandlePermanent(control)) : nullptr;
}

bool ZEM_Dialog::AddToolTip(HWND control, const std::wstring& text) {
  return ::IsWindow(m_toolTip.m_hWnd) && m_toolTip.AddTool(control, text);
}

void ZEM_Dialog::RouteControlEvent(int code, unsigned id, std::intptr_t extra) {
  const bool clicked = code == 0;
  if (clicked && ::IsWindow(m_apply.Window()) && id == m_apply.Id()) {
    if (m_commandControl) m_commandControl->Apply();
    OnApply();
  } else if (clicked && ::IsWindow(m_undo.Window()) && id == m_undo.Id()) {
    if (m_commandControl) m_commandControl->Undo();
    OnUndo();
  } else if (clicked && ::IsWindow(m_redo.Window()) && id == m_redo.Id()) {
    if (m_commandControl) m_commandControl->Redo();
    OnRedo();
  } else if (ZEM_UIComponent* component = FindComponent(id);
             component && !component->IsLocked() && !component->IsBusy()) {
    int kind = code;
    if (code == kChangeBegins || code == kChanging || code == kChangeEnds) {
      kind = code - kChangeBegins + 2;
      if (code != kChanging && m_commandControl) m_commandControl->ComponentChanged(id, kind);
    }
    component->OnEvent(kind, extra);
  }
  if (!m_suppressHooks) OnControlEvent(code, id, extra);
}

BOOL ZEM_Dialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  RouteControlEvent(HIWORD(wParam), LOWORD(wParam), lParam);
  UpdateControlStates();
  // Ok and Cancel still reach OnOK and OnCancel.
  CDialog::OnCommand(wParam, lParam);
  return TRUE;
}

BOOL ZEM_Dialog::OnNotify(WPARAM, LPARAM lParam, LRESULT*) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header) return FALSE;
  RouteControlEvent(static_cast<int>(header->code), static_cast<unsigned>(header->idFrom), lParam);
  UpdateControlStates();
  return FALSE;
}

LRESULT ZEM_Dialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HSCROLL || message == WM_VSCROLL) {
    const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
    RouteControlEvent(LOWORD(wParam), static_cast<unsigned>(id), 0);
    UpdateControlStates();
    return 0;
  }
  if (std::find(std::begin(kPrivateMessages), std::end(kPrivateMessages), message) != std::end(kPrivateMessages)) {
    RouteControlEvent(static_cast<int>(message), static_cast<unsigned>(wParam), lParam);
    UpdateControlStates();
    return 0;
  }
  return FLXLayoutDialog::DefWindowProc(message, wParam, lParam);
}

BOOL ZEM_Dialog::PreTranslateMessage(MSG* message) {
  if (::IsWindow(m_toolTip.m_hWnd)) m_toolTip.RelayEvent(message);
  return FLXLayoutDialog::PreTranslateMessage(message);
}

void ZEM_Dialog::OnTimer(UINT_PTR id) {
  switch (id) {
    case kPlainTimer:
      KillTimer(id);
      return;
    case kBusyTimer:
      KillTimer(id);
      m_busyCursor = true;
      return;
    case kIdleTimer:
      KillTimer(id);
      OnIdleTimer();
      return;
    default:
      FLXLayoutDialog::OnTimer(id);
  }
}

BOOL ZEM_Dialog::OnHelp(HELPINFO*) {
  HtmlHelpW(nullptr, m_helpPath.c_str(), HH_DISPLAY_TOPIC, 0);
  return TRUE;
}

void ZEM_Dialog::OnShowWindow(BOOL show, UINT status) {
  if (status == SW_PARENTOPENING) {
    // A dialog hidden with its minimised owner comes back only while open.
    zem::SetHiddenByOwner(m_hWnd, false);
    if (!m_closed) {
      ShowWindow(SW_SHOWNORMAL);
      m_suppressHooks = false;
    }
    return;
  }
  FLXLayoutDialog::OnShowWindow(show, status);
}

BOOL ZEM_Dialog::OnSetCursor(HWND window, UINT hitTest, UINT message) {
  // While busy the wait cursor stays.
  if (m_busyCursor) return TRUE;
  return FLXLayoutDialog::OnSetCursor(window, hitTest, message);
}

void ZEM_Dialog::OnDestroy() {
  Unsubscribe();
  ForgetWindow();
  FLXLayoutDialog::OnDestroy();
}

void ZEM_Dialog::ForgetWindow() {
  auto& list = OpenDialogList();
  list.erase(std::remove(list.begin(), list.end(), m_hWnd), list.end());
}

void ZEM_Dialog::EnableOk(bool enable) { m_ok.Enable(enable); }
void ZEM_Dialog::EnableApply(bool enable) { m_apply.Enable(enable); }
void ZEM_Dialog::EnableUndo(bool enable) { m_undo.Enable(enable); }
void ZEM_Dialog::EnableRedo(bool enable) { m_redo.Enable(enable); }

void ZEM_Dialog::EnableCancel(bool enable) {
  m_cancel.Enable(enable);
  if (HMENU menu = GetSystemMenu(m_hWnd, FALSE))
    EnableMenuItem(menu, static_cast<UINT>(SC_CLOSE), MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}
