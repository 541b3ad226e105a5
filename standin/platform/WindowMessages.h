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

#include "standin/platform/Window.h"
#include "standin/platform/WinTypes.h"

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);

#ifndef GW_HWNDNEXT
#define GW_HWNDNEXT 2
#endif
#ifndef GW_OWNER
#define GW_OWNER 4
#endif
#ifndef GW_CHILD
#define GW_CHILD 5
#endif

constexpr WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr WPARAM MAKEWPARAM(unsigned low, unsigned high) { return (low & 0xFFFF) | ((high & 0xFFFF) << 16); }

// Messages the stand-in knows.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_HELP = 0x0053;
constexpr UINT WM_GETICON = 0x007F;
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_USER = 0x0400;

// WM_SHOWWINDOW reasons: the owner is being minimised or restored.
constexpr LPARAM SW_PARENTCLOSING = 1;
constexpr LPARAM SW_PARENTOPENING = 3;
// WM_SYSCOMMAND: the caption's close box.
constexpr WPARAM SC_CLOSE = 0xF060;
// WM_SIZE types.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;

// Keys.
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_F1 = 0x70;

// A WM_HELP request (lParam).
struct HELPINFO {
  UINT cbSize = sizeof(HELPINFO);
  int iContextType = 1;
  int iCtrlId = 0;
  HWND hItemHandle = nullptr;
  std::uintptr_t dwContextId = 0;
  POINT MousePos;
};

// The head of every WM_NOTIFY (lParam).
struct NMHDR {
  HWND hwndFrom = nullptr;
  std::uintptr_t idFrom = 0;
  UINT code = 0;
};
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
// GW_CHILD: the first child; GW_HWNDNEXT: the next sibling; GW_OWNER: a
// top-level window's owner.
HWND GetWindow(HWND window, UINT command);
// Calls `callback` for every descendant (children before grandchildren of
// the next child, as Windows does) until it answers FALSE.
BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM data);

// Sends a message to the window's procedure (see SetWindowProcedure); what
// it leaves unhandled goes to DefWindowProcW.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The window class's own handling: the controls' messages (Controls.h),
// up-down buddies, texts, fonts and icons, the close box (WM_SYSCOMMAND
// SC_CLOSE, refused while the system menu's Close is greyed), WM_CLOSE (a
// dialog hears IDCANCEL, other windows are destroyed), and the re-showing of
// a popup hidden while its owner was minimised. Unknown messages answer 0.
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

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
