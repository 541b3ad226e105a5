#pragma once
// The window library's built-in control classes, as their window procedures
// behave: "Static", "Edit", "ComboBox", "Button" and "tooltips_class32".
// Controls tell their parent what a person did as Windows does (WM_COMMAND
// with the control id and a notification code): a button click BN_CLICKED, a
// choice in a combo box's list CBN_SELCHANGE, a change of an edit's text
// EN_CHANGE (a single-line edit also when WM_SETTEXT sets it). Setting a
// state by message (CB_SETCURSEL, BM_SETCHECK) notifies nothing.
#include <string>
#include <vector>

#include "standin/platform/WindowMessages.h"

// Static styles and messages.
constexpr DWORD SS_LEFT = 0x00;
constexpr DWORD SS_CENTER = 0x01;
constexpr DWORD SS_RIGHT = 0x02;
constexpr DWORD SS_BITMAP = 0x0E;
constexpr DWORD SS_ETCHEDVERT = 0x11;
constexpr DWORD SS_TYPEMASK = 0x1F;
constexpr DWORD SS_CENTERIMAGE = 0x200;
constexpr UINT STM_SETIMAGE = 0x0172;
constexpr UINT STM_GETIMAGE = 0x0173;
constexpr WPARAM IMAGE_BITMAP = 0;
constexpr WPARAM IMAGE_ICON = 1;

// Edit styles, messages and notifications.
constexpr DWORD ES_LEFT = 0x00;
constexpr DWORD ES_RIGHT = 0x02;
constexpr DWORD ES_MULTILINE = 0x04;
constexpr DWORD ES_AUTOHSCROLL = 0x80;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr WORD EN_CHANGE = 0x0300;

// Combo-box messages and notifications.
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr LRESULT CB_ERR = -1;
constexpr WORD CBN_SELCHANGE = 1;

// Button styles, messages, states and notifications.
constexpr DWORD BS_PUSHBUTTON = 0x00;
constexpr DWORD BS_DEFPUSHBUTTON = 0x01;
constexpr DWORD BS_CHECKBOX = 0x02;
constexpr DWORD BS_AUTOCHECKBOX = 0x03;
constexpr DWORD BS_AUTO3STATE = 0x06;
constexpr DWORD BS_ICON = 0x40;
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_CLICK = 0x00F5;
constexpr UINT BM_GETIMAGE = 0x00F6;
constexpr UINT BM_SETIMAGE = 0x00F7;
constexpr LRESULT BST_UNCHECKED = 0;
constexpr LRESULT BST_CHECKED = 1;
constexpr LRESULT BST_INDETERMINATE = 2;
constexpr WORD BN_CLICKED = 0;

// Tooltips.
constexpr UINT TTM_ADDTOOLW = WM_USER + 50;
constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;
constexpr UINT TTF_IDISHWND = 0x0001;
struct TOOLINFOW {
  UINT cbSize = sizeof(TOOLINFOW);
  UINT uFlags = 0;
  HWND hwnd = nullptr;
  std::uintptr_t uId = 0;
  RECT rect;
  void* hinst = nullptr;
  LPWSTR lpszText = nullptr;
  LPARAM lParam = 0;
};

namespace zem {

// The class's handling of a message; `handled` tells whether the class knew it.
LRESULT ControlClassMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

// The tools a tooltip control holds, with their texts.
struct ToolTip {
  HWND owner = nullptr;
  std::uintptr_t id = 0;
  std::wstring text;
};
std::vector<ToolTip> ToolTips(HWND tooltipControl);

}  // namespace zem
