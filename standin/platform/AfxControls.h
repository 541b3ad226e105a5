#pragma once
// The window library's control objects: a CWnd attached to a control window
// of the matching class, with the class's messages as member calls.
#include <string>

#include "standin/platform/CWnd.h"
#include "standin/platform/Controls.h"

class CStatic : public CWnd {
 public:
  HBITMAP SetBitmap(HBITMAP bitmap) {
    return reinterpret_cast<HBITMAP>(SendMessageW(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
  }
  HBITMAP GetBitmap() { return reinterpret_cast<HBITMAP>(SendMessageW(STM_GETIMAGE, IMAGE_BITMAP, 0)); }
};

class CEdit : public CWnd {};

class CButton : public CWnd {
 public:
  int GetCheck() { return static_cast<int>(SendMessageW(BM_GETCHECK)); }
  void SetCheck(int state) { SendMessageW(BM_SETCHECK, static_cast<WPARAM>(state)); }
  HICON SetIcon(HICON icon) {
    return reinterpret_cast<HICON>(SendMessageW(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
  }
};

class CComboBox : public CWnd {
 public:
  int AddString(LPCWSTR text) {
    return static_cast<int>(SendMessageW(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
  }
  int GetCount() { return static_cast<int>(SendMessageW(CB_GETCOUNT)); }
  int GetCurSel() { return static_cast<int>(SendMessageW(CB_GETCURSEL)); }
  int SetCurSel(int index) { return static_cast<int>(SendMessageW(CB_SETCURSEL, static_cast<WPARAM>(index))); }
  LRESULT GetItemData(int index) { return SendMessageW(CB_GETITEMDATA, static_cast<WPARAM>(index)); }
  int SetItemData(int index, LPARAM data) {
    return static_cast<int>(SendMessageW(CB_SETITEMDATA, static_cast<WPARAM>(index), data));
  }
};

// The tooltip control of a dialog: a "tooltips_class32" window owned by it.
class CToolTipCtrl : public CWnd {
 public:
  BOOL Create(CWnd* parent);
  // Adds the tool `tool` (a control window) with its text.
  BOOL AddTool(HWND tool, const std::wstring& text);
  // Every message of the dialog passes here first (tooltips follow the mouse).
  void RelayEvent(MSG* message) { (void)message; }
};
