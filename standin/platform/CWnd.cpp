#include "standin/platform/CWnd.h"

#include <map>

#include "standin/platform/Controls.h"
#include "standin/platform/Fonts.h"
#include "standin/platform/Resources.h"
#include "standin/platform/ScriptedPerson.h"

namespace {

// Both live for the whole process: objects destroyed at exit may still ask.
std::map<UINT, POINT>& PixelTemplates() {
  static auto* templates = new std::map<UINT, POINT>;
  return *templates;
}

std::map<HWND, CWnd*>& Attached() {
  static auto* attached = new std::map<HWND, CWnd*>;
  return *attached;
}

// The window library's PreTranslateMessage chain: the message's window, then
// its parents up to the top-level window.
bool PreTranslateChain(MSG& message) {
  for (HWND window = message.hwnd; window;) {
    if (CWnd* object = CWnd::FromHandlePermanent(window); object && object->PreTranslateMessage(&message)) return true;
    if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) break;
    window = GetParent(window);
  }
  return false;
}

HWND TopLevelOf(HWND window) {
  while (window && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) window = GetParent(window);
  return window;
}

}  // namespace

CWnd::~CWnd() { Detach(); }

CWnd* CWnd::FromHandlePermanent(HWND window) {
  auto it = Attached().find(window);
  return it != Attached().end() && IsWindow(window) ? it->second : nullptr;
}

BOOL CWnd::Attach(HWND window) {
  if (!IsWindow(window) || FromHandlePermanent(window)) return FALSE;
  static const bool filterInstalled = [] {
    zem::SetMessageFilter(PreTranslateChain);
    return true;
  }();
  (void)filterInstalled;
  m_hWnd = window;
  Attached()[window] = this;
  zem::SetWindowProcedure(window, [this](UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    const MSG previous = m_current;
    m_current = MSG{m_hWnd, message, wParam, lParam, 0};
    const LRESULT result = WindowProc(message, wParam, lParam);
    m_current = previous;
    return result;
  });
  return TRUE;
}

HWND CWnd::Detach() {
  HWND window = m_hWnd;
  if (auto it = Attached().find(window); it != Attached().end() && it->second == this) {
    Attached().erase(it);
    zem::SetWindowProcedure(window, nullptr);
  }
  m_hWnd = nullptr;
  return window;
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
  RECT before{};
  ::GetWindowRect(m_hWnd, &before);
  if (!::MoveWindow(m_hWnd, x, y, width, height, repaint)) return;
  if (before.right - before.left != width || before.bottom - before.top != height) OnSize(0, width, height);
}

BOOL CWnd::DestroyWindow() {
  if (!::IsWindow(m_hWnd)) return FALSE;
  OnDestroy();
  HWND window = Detach();
  return ::DestroyWindow(window);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      return OnCommand(wParam, lParam) ? 0 : DefWindowProc(message, wParam, lParam);
    case WM_NOTIFY: {
      LRESULT result = 0;
      return OnNotify(wParam, lParam, &result) ? result : DefWindowProc(message, wParam, lParam);
    }
    case WM_TIMER:
      OnTimer(static_cast<UINT_PTR>(wParam));
      return 0;
    case WM_HELP:
      return OnHelp(reinterpret_cast<HELPINFO*>(lParam));
    case WM_SHOWWINDOW:
      OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
      return 0;
    case WM_SETCURSOR:
      return OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
                         HIWORD(static_cast<std::uintptr_t>(lParam)));
    case WM_SIZE:
      OnSize(static_cast<UINT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
             HIWORD(static_cast<std::uintptr_t>(lParam)));
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return DefWindowProc(message, wParam, lParam);
  }
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() { return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam); }

void CDialog::RegisterTemplate(UINT templateId, int width, int height) {
  PixelTemplates()[templateId] = POINT{width, height};
}

CDialog::~CDialog() {
  HWND window = Detach();
  if (::IsWindow(window)) ::DestroyWindow(window);
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  if (::IsWindow(m_hWnd)) return FALSE;
  m_templateId = templateId;
  if (parent) m_parent = parent;
  m_ended = false;
  HWND owner = m_parent && ::IsWindow(m_parent->m_hWnd) ? TopLevelOf(m_parent->m_hWnd) : zem::MainWindow();
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  DWORD exStyle = WS_EX_DLGMODALFRAME;
  std::wstring caption;
  HFONT font = nullptr;
  RECT size{0, 0, 200, 150};
  int baseX = 0, baseY = 0;
  const zem::DialogTemplate* found = zem::FindDialogTemplate(templateId);
  if (found) {
    font = zem::CreateDialogFont(found->fontFace.c_str(), found->pointSize);
    if (!font || !zem::DialogBaseUnits(font, baseX, baseY)) return FALSE;
    size = zem::DialogUnitsToPixels(RECT{0, 0, found->cx, found->cy}, baseX, baseY);
    style = found->style;
    exStyle = found->exStyle;
    caption = found->caption;
  } else if (auto it = PixelTemplates().find(templateId); it != PixelTemplates().end()) {
    size = RECT{0, 0, it->second.x, it->second.y};
  }
  // A dialog is a top-level window owned by its parent's window, unless its
  // template makes it a child panel.
  const bool child = (style & WS_CHILD) && m_parent && ::IsWindow(m_parent->m_hWnd);
  HWND window = ::CreateWindowExW(exStyle, L"#32770", caption.c_str(),
                                  child ? (style & ~WS_VISIBLE) : (style & ~WS_CHILD & ~WS_VISIBLE), 0, 0, size.right,
                                  size.bottom, child ? m_parent->m_hWnd : owner, nullptr, nullptr, nullptr);
  if (!window) return FALSE;
  Attach(window);
  if (font) ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (const zem::DialogItem& item : found ? found->items : std::vector<zem::DialogItem>{}) {
    const RECT r = zem::DialogUnitsToPixels(item.rect, baseX, baseY);
    HWND control = ::CreateWindowExW(0, item.className.c_str(), item.text.c_str(), item.style | WS_CHILD, r.left, r.top,
                                     r.right - r.left, r.bottom - r.top, window,
                                     reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(item.id)), nullptr, nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  OnInitDialog();
  if (style & WS_VISIBLE) ::ShowWindow(window, SW_SHOW);
  return TRUE;
}

INT_PTR CDialog::DoModal() {
  if (!Create(m_templateId, m_parent)) return -1;
  HWND window = m_hWnd;
  HWND owner = ::GetParent(window);
  const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
  if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
  zem::SetModalWindow(window, true);
  ::ShowWindow(window, SW_SHOW);
  constexpr DWORD kOneDay = 24u * 60u * 60u * 1000u;
  const bool ended = zem::RunMessageLoop([&] { return m_ended || !::IsWindow(window); }, kOneDay);
  zem::SetModalWindow(window, false);
  if (ownerWasEnabled && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
  if (::IsWindow(window)) DestroyWindow();
  return ended ? m_result : -1;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM) {
  if (HIWORD(wParam) != BN_CLICKED) return FALSE;
  if (LOWORD(wParam) == IDOK) {
    OnOK();
    return TRUE;
  }
  if (LOWORD(wParam) == IDCANCEL) {
    OnCancel();
    return TRUE;
  }
  return FALSE;
}

BOOL CDialog::PreTranslateMessage(MSG* message) { return IsDialogMessageW(m_hWnd, message); }

void CDialog::EndDialog(int result) {
  m_result = result;
  m_ended = true;
  ::ShowWindow(m_hWnd, SW_HIDE);
}

BOOL IsDialogMessageW(HWND dialog, MSG* message) {
  if (!message || message->message != WM_KEYDOWN || !IsWindow(dialog)) return FALSE;
  if (message->hwnd != dialog && TopLevelOf(message->hwnd) != dialog) return FALSE;
  const auto click = [dialog](int id, HWND button) {
    if (button && !IsWindowEnabled(button)) return;  // a greyed button cannot be pressed
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
  };
  switch (message->wParam) {
    case VK_RETURN: {
      for (HWND child : zem::ChildWindows(dialog)) {
        wchar_t name[16];
        GetClassNameW(child, name, 16);
        const DWORD style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
        if (std::wstring_view(name) == L"Button" && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && (style & WS_VISIBLE)) {
          click(GetDlgCtrlID(child), child);
          return TRUE;
        }
      }
      click(IDOK, GetDlgItem(dialog, IDOK));
      return TRUE;
    }
    case VK_ESCAPE:
      click(IDCANCEL, GetDlgItem(dialog, IDCANCEL));
      return TRUE;
    case VK_F1: {
      HELPINFO info;
      info.iCtrlId = GetDlgCtrlID(message->hwnd);
      info.hItemHandle = message->hwnd;
      SendMessageW(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
      return TRUE;
    }
    default:
      return FALSE;
  }
}
