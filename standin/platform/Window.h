#pragma once
// Window objects of the headless window library. A window lives in memory
// with its handle, class name, text, styles, rectangle, parent and control
// id; nothing is drawn. Handles are never reused, so a stale handle stays
// invalid. Everything runs on the one user-interface thread.
#include "standin/platform/WinTypes.h"

#include <string>
#include <vector>

namespace zem {

// Creates a window object. WS_VISIBLE and WS_DISABLED in the style give its
// first states. Answers null when the parent is given but is no window.
HWND CreateWindowObject(const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect,
                        HWND parent = nullptr, int controlId = 0);

// The window's text as a string (empty for a handle that is no window).
std::wstring WindowText(HWND window);

// Number of live window objects, for tests and leak checks.
int WindowCount();

// The window's direct children, in the order they were created.
std::vector<HWND> ChildWindows(HWND parent);

// A top-level window's owner: it is hidden while its owner is minimised and
// shown again when the owner is restored. Null clears it.
void SetWindowOwner(HWND window, HWND owner);
// The top-level windows the window owns, in the order they were created.
std::vector<HWND> OwnedWindows(HWND owner);
// Whether the popup was hidden because its owner was minimised (the default
// handling of WM_SHOWWINDOW keeps this).
void SetHiddenByOwner(HWND window, bool hidden);
bool HiddenByOwner(HWND window);
// The host's main window, owner of dialogs that have no parent.
void SetMainWindow(HWND window);
HWND MainWindow();
// Among the visible top-level windows of the class, the one shown last; null
// when none is visible.
HWND LastShownWindow(const wchar_t* className);

}  // namespace zem

namespace zem {}  // namespace zem

constexpr int GWL_STYLE = -16;
constexpr int GWL_ID = -12;
constexpr int GWL_EXSTYLE = -20;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

// The window library's creation call; `menu` carries a child's control id.
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR text, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU menu, void* instance, void* param);

BOOL IsWindow(HWND window);
BOOL DestroyWindow(HWND window);
// Answers whether the window was visible before. Minimising a window
// (SW_MINIMIZE, SW_SHOWMINIMIZED) sends its visible owned popups
// WM_SHOWWINDOW SW_PARENTCLOSING; restoring it (SW_RESTORE, or any showing
// command while minimised) sends SW_PARENTOPENING to those it hid.
BOOL ShowWindow(HWND window, int command);
BOOL IsIconic(HWND window);
// Visible when the window and all its ancestors are.
BOOL IsWindowVisible(HWND window);
// Answers whether the window was disabled before.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL SetWindowTextW(HWND window, LPCWSTR text);
// Copies at most maxCount - 1 characters and a terminating zero; answers the
// number copied.
int GetWindowTextW(HWND window, LPWSTR buffer, int maxCount);
int GetWindowTextLengthW(HWND window);
int GetClassNameW(HWND window, LPWSTR buffer, int maxCount);
LONG GetWindowLongW(HWND window, int index);
// GWL_STYLE and GWL_EXSTYLE; answers the value before.
LONG SetWindowLongW(HWND window, int index, LONG value);
// The parent of a child window, else the owner of a top-level one.
HWND GetParent(HWND window);
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
int GetDlgCtrlID(HWND window);
HWND GetDlgItem(HWND parent, int controlId);
