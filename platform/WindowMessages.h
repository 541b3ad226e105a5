#pragma once
// More of the headless window library, on top of the window objects of
// Window.h: client rectangles, child enumeration, messages sent to windows,
// invalidation and updating (counted, since nothing is drawn), up-down
// controls and their buddies, and window placement records.
//
// Rectangles: a child's window rectangle is in its parent's client
// coordinates, and a window's client area is the whole window (headless
// windows have no frame), so the client rectangle is (0, 0, width, height).
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Window.h"
#include "platform/WinTypes.h"

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);

#ifndef GW_HWNDNEXT
#define GW_HWNDNEXT 2
#endif
#ifndef GW_CHILD
#define GW_CHILD 5
#endif

// Messages the stand-in knows.
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT UDM_SETBUDDY = 0x0469;
constexpr UINT UDM_GETBUDDY = 0x046A;

// Up-down control styles.
constexpr DWORD UDS_ALIGNRIGHT = 0x0004;
constexpr DWORD UDS_ALIGNLEFT = 0x0008;
// Combo-box styles.
constexpr DWORD CBS_SIMPLE = 0x0001;
constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
constexpr DWORD CBS_NOINTEGRALHEIGHT = 0x0400;
// Button styles.
constexpr DWORD BS_TYPEMASK = 0x000F;
constexpr DWORD BS_GROUPBOX = 0x0007;

BOOL GetClientRect(HWND window, RECT* rect);
// GW_CHILD: the first child; GW_HWNDNEXT: the next sibling.
HWND GetWindow(HWND window, UINT command);
// Calls `callback` for every descendant (children before grandchildren of
// the next child, as Windows does) until it answers FALSE.
BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM data);

// Sends a message to the window's procedure (see SetWindowProcedure);
// up-down controls answer UDM_SETBUDDY and UDM_GETBUDDY themselves. Unknown
// messages answer 0.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND window);

// One window placement record, 44 bytes, as the profile stores it.
struct WINDOWPLACEMENT {
  UINT length = sizeof(WINDOWPLACEMENT);
  UINT flags = 0;
  UINT showCmd = 0;
  POINT ptMinPosition;
  POINT ptMaxPosition;
  RECT rcNormalPosition;
};
static_assert(sizeof(WINDOWPLACEMENT) == 44, "a placement record is 44 bytes");

BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);
// FALSE unless placement->length is the record's size.
BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement);

namespace zem {

// A window's own handling of messages (the window library's objects install
// one); answers nullopt-like false in `handled` to fall back to the default.
using WindowProcedure = std::function<LRESULT(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)>;
void SetWindowProcedure(HWND window, WindowProcedure procedure);

// What has been asked of a window's painting since it was created.
struct PaintRecord {
  int invalidations = 0;
  int erasingInvalidations = 0;
  int updates = 0;
};
PaintRecord PaintState(HWND window);

// Forgets the extra state of windows that no longer exist.
void ForgetDestroyedWindows();

}  // namespace zem
