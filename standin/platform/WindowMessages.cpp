#include "standin/platform/WindowMessages.h"

#include <algorithm>
#include <cwchar>
#include <map>

#include "standin/platform/Controls.h"
#include "standin/platform/SystemMenu.h"

namespace {

struct ExtraState {
  zem::WindowProcedure procedure;
  zem::PaintRecord paint;
  HWND buddy = nullptr;  // up-down controls
  LRESULT font = 0;
  LRESULT smallIcon = 0;
  LRESULT bigIcon = 0;
};

// Lives for the whole process, as the window registry does.
std::map<HWND, ExtraState>& Extras() {
  static auto* extras = new std::map<HWND, ExtraState>;
  return *extras;
}

ExtraState* Extra(HWND window) {
  if (!IsWindow(window)) return nullptr;
  return &Extras()[window];
}

bool IsClass(HWND window, const wchar_t* name) {
  wchar_t className[64];
  GetClassNameW(window, className, 64);
  return std::wstring_view(className) == name;
}

// Up-down controls place themselves beside their buddy when they are
// aligned, taking their width from it, as the common control does.
LRESULT UpDownMessage(HWND upDown, UINT message, WPARAM wParam, ExtraState& state) {
  if (message == UDM_GETBUDDY) return reinterpret_cast<LRESULT>(state.buddy);
  HWND previous = state.buddy;
  HWND buddy = reinterpret_cast<HWND>(wParam);
  state.buddy = IsWindow(buddy) ? buddy : nullptr;
  const DWORD style = static_cast<DWORD>(GetWindowLongW(upDown, GWL_STYLE));
  if (state.buddy && (style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT))) {
    RECT own, other;
    GetWindowRect(upDown, &own);
    GetWindowRect(state.buddy, &other);
    const int width = own.right - own.left;
    const int height = other.bottom - other.top;
    if (style & UDS_ALIGNRIGHT) {
      MoveWindow(state.buddy, other.left, other.top, other.right - other.left - width, height, TRUE);
      MoveWindow(upDown, other.right - width, other.top, width, height, TRUE);
    } else {
      MoveWindow(state.buddy, other.left + width, other.top, other.right - other.left - width, height, TRUE);
      MoveWindow(upDown, other.left, other.top, width, height, TRUE);
    }
  }
  return reinterpret_cast<LRESULT>(previous);
}

bool EnumDescendants(HWND parent, WNDENUMPROC callback, LPARAM data) {
  for (HWND child : zem::ChildWindows(parent)) {
    if (!callback(child, data)) return false;
    if (!EnumDescendants(child, callback, data)) return false;
  }
  return true;
}

}  // namespace

BOOL GetClientRect(HWND window, RECT* rect) {
  RECT r;
  if (!rect || !GetWindowRect(window, &r)) return FALSE;
  *rect = RECT{0, 0, r.right - r.left, r.bottom - r.top};
  return TRUE;
}

HWND GetWindow(HWND window, UINT command) {
  if (!IsWindow(window)) return nullptr;
  if (command == GW_OWNER) return GetWindowLongW(window, GWL_STYLE) & WS_CHILD ? nullptr : GetParent(window);
  if (command == GW_CHILD) {
    auto children = zem::ChildWindows(window);
    return children.empty() ? nullptr : children.front();
  }
  if (command == GW_HWNDNEXT) {
    HWND parent = GetParent(window);
    if (!parent) return nullptr;
    auto siblings = zem::ChildWindows(parent);
    auto it = std::find(siblings.begin(), siblings.end(), window);
    return it == siblings.end() || ++it == siblings.end() ? nullptr : *it;
  }
  return nullptr;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM data) {
  if (!callback || !IsWindow(parent)) return FALSE;
  EnumDescendants(parent, callback, data);
  return TRUE;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ExtraState* state = Extra(window);
  if (!state) return 0;
  if (state->procedure) {
    // A copy: the procedure may replace itself.
    zem::WindowProcedure procedure = state->procedure;
    bool handled = false;
    const LRESULT result = procedure(message, wParam, lParam, handled);
    if (handled) return result;
    if (!IsWindow(window)) return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ExtraState* state = Extra(window);
  if (!state) return 0;
  bool handled = false;
  const LRESULT result = zem::ControlClassMessage(window, message, wParam, lParam, handled);
  if (handled) return result;
  switch (message) {
    case UDM_SETBUDDY:
    case UDM_GETBUDDY:
      return IsClass(window, L"msctls_updown32") ? UpDownMessage(window, message, wParam, *state) : 0;
    case WM_SETTEXT:
      return SetWindowTextW(window, reinterpret_cast<LPCWSTR>(lParam));
    case WM_GETTEXT:
      return GetWindowTextW(window, reinterpret_cast<LPWSTR>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH:
      return GetWindowTextLengthW(window);
    case WM_SETFONT:
      state->font = static_cast<LRESULT>(wParam);
      return 0;
    case WM_GETFONT:
      return state->font;
    case WM_SETICON: {
      LRESULT& slot = wParam == 0 ? state->smallIcon : state->bigIcon;
      std::swap(slot, lParam);
      return lParam;
    }
    case WM_GETICON:
      return wParam == 0 ? state->smallIcon : state->bigIcon;
    case WM_SYSCOMMAND:
      // The close box does nothing while the system menu's Close is greyed.
      if ((wParam & 0xFFF0) == SC_CLOSE && !zem::IsCloseGreyed(window)) SendMessageW(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_CLOSE:
      if (IsClass(window, L"#32770")) {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      } else {
        DestroyWindow(window);
      }
      return 0;
    case WM_SHOWWINDOW:
      // A popup hides while its owner is minimised and comes back with it.
      if (lParam == SW_PARENTCLOSING && !wParam && IsWindowVisible(window)) {
        zem::SetHiddenByOwner(window, true);
        ShowWindow(window, SW_HIDE);
      } else if (lParam == SW_PARENTOPENING && wParam && zem::HiddenByOwner(window)) {
        zem::SetHiddenByOwner(window, false);
        ShowWindow(window, SW_SHOWNOACTIVATE);
      }
      return 0;
    default:
      return 0;
  }
}

BOOL InvalidateRect(HWND window, const RECT*, BOOL erase) {
  ExtraState* state = Extra(window);
  if (!state) return FALSE;
  ++state->paint.invalidations;
  if (erase) ++state->paint.erasingInvalidations;
  return TRUE;
}

BOOL UpdateWindow(HWND window) {
  ExtraState* state = Extra(window);
  if (!state) return FALSE;
  ++state->paint.updates;
  return TRUE;
}

BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
  RECT r;
  if (!placement || !GetWindowRect(window, &r)) return FALSE;
  *placement = WINDOWPLACEMENT{};
  placement->showCmd = SW_SHOWNORMAL;
  placement->ptMinPosition = POINT{-1, -1};
  placement->ptMaxPosition = POINT{-1, -1};
  placement->rcNormalPosition = r;
  return TRUE;
}

BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement) {
  if (!placement || placement->length != sizeof(WINDOWPLACEMENT) || !IsWindow(window)) return FALSE;
  const RECT& r = placement->rcNormalPosition;
  MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  // Visibility stays as it is, except for a record that says hidden.
  if (placement->showCmd == SW_HIDE) ShowWindow(window, SW_HIDE);
  return TRUE;
}

void zem::SetWindowProcedure(HWND window, WindowProcedure procedure) {
  if (ExtraState* state = Extra(window)) state->procedure = std::move(procedure);
}

zem::PaintRecord zem::PaintState(HWND window) {
  auto it = Extras().find(window);
  return it == Extras().end() ? PaintRecord{} : it->second.paint;
}

void zem::ForgetDestroyedWindows() {
  for (auto it = Extras().begin(); it != Extras().end();) it = IsWindow(it->first) ? std::next(it) : Extras().erase(it);
}
