#pragma once
// A window's system menu, as far as the close box depends on it: greying its
// Close item (EnableMenuItem SC_CLOSE MF_GRAYED) greys the caption's close box
// and refuses WM_SYSCOMMAND SC_CLOSE.
#include "standin/platform/WindowMessages.h"

constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;

// Null for a handle that is no window; `revert` is ignored.
HMENU GetSystemMenu(HWND window, BOOL revert);
// Answers the item's previous state (MF_ENABLED or MF_GRAYED), or -1 for an
// item the menu has not (only SC_CLOSE is known).
int EnableMenuItem(HMENU menu, UINT item, UINT flags);

namespace zem {
bool IsCloseGreyed(HWND window);
}  // namespace zem
