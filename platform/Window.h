#pragma once
// Window objects of the headless window library. A window lives in memory
// with its handle, class name, text, styles, rectangle, parent and control
// id; nothing is drawn. Handles are never reused, so a stale handle stays
// invalid. Everything runs on the one user-interface thread.
#include "platform/WinTypes.h"

#include <string>
#include <vector>

namespace zem {

// Creates a window object. WS_VISIBLE and WS_DISABLED in the style give its
// first states. Answers null when the parent is given but is no window.
HWND CreateWindowObject(const wchar_t* className, const wchar_t* text, DWORD style,
                        const RECT& rect, HWND parent = nullptr, int controlId = 0);

// The window's text as a string (empty for a handle that is no window).
std::wstring WindowText(HWND window);

// Number of live window objects, for tests and leak checks.
int WindowCount();

// The window's direct children, in the order they were created.
std::vector<HWND> ChildWindows(HWND parent);

}  // namespace zem

constexpr int GWL_STYLE = -16;
constexpr int GWL_ID = -12;

BOOL IsWindow(HWND window);
BOOL DestroyWindow(HWND window);
// Answers whether the window was visible before.
BOOL ShowWindow(HWND window, int command);
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
HWND GetParent(HWND window);
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
int GetDlgCtrlID(HWND window);
HWND GetDlgItem(HWND parent, int controlId);
