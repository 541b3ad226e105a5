#include "standin/platform/Controls.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <map>
#include <string_view>

namespace {

struct ComboItem {
  std::wstring text;
  LRESULT data = 0;
};

struct ControlRecord {
  // Static and Button: the picture shown.
  LRESULT image = 0;
  // Button: check state.
  LRESULT check = BST_UNCHECKED;
  // ComboBox.
  std::vector<ComboItem> items;
  int selection = -1;
  // Edit: the selection.
  std::size_t selStart = 0;
  std::size_t selEnd = 0;
  // tooltips_class32.
  std::vector<zem::ToolTip> tools;
};

// Lives for the whole process, as the window registry does.
std::map<HWND, ControlRecord>& Records() {
  static auto* records = new std::map<HWND, ControlRecord>;
  return *records;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64];
  const int n = GetClassNameW(window, name, 64);
  return std::wstring(name, static_cast<std::size_t>(n));
}

bool Named(const std::wstring& name, std::wstring_view expected) {
  if (name.size() != expected.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (std::towlower(name[i]) != std::towlower(expected[i])) return false;
  return true;
}

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

// WM_COMMAND to the parent, as controls report what a person did.
void Notify(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (!parent || !(StyleOf(control) & WS_CHILD)) return;
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(GetDlgCtrlID(control)), code),
               reinterpret_cast<LPARAM>(control));
}

LRESULT StaticMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, ControlRecord& record, bool& handled) {
  if (message == STM_SETIMAGE && (wParam == IMAGE_BITMAP || wParam == IMAGE_ICON)) {
    std::swap(record.image, lParam);
    return lParam;
  }
  if (message == STM_GETIMAGE) return record.image;
  handled = false;
  return 0;
}

LRESULT EditMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, ControlRecord& record, bool& handled) {
  const bool singleLine = !(StyleOf(edit) & ES_MULTILINE);
  if (message == WM_SETTEXT) {
    SetWindowTextW(edit, reinterpret_cast<LPCWSTR>(lParam));
    record.selStart = record.selEnd = 0;
    // A single-line edit reports a text set by message as a change.
    if (singleLine) Notify(edit, EN_CHANGE);
    return TRUE;
  }
  if (message == EM_SETSEL) {
    const std::size_t length = static_cast<std::size_t>(GetWindowTextLengthW(edit));
    const auto clampTo = [length](LPARAM v) { return v < 0 ? length : std::min(length, static_cast<std::size_t>(v)); };
    record.selStart = clampTo(static_cast<LPARAM>(wParam));
    record.selEnd = clampTo(lParam);
    if (record.selStart > record.selEnd) std::swap(record.selStart, record.selEnd);
    return 0;
  }
  if (message == EM_REPLACESEL) {
    std::wstring text = zem::WindowText(edit);
    const std::size_t start = std::min(record.selStart, text.size());
    const std::size_t end = std::min(record.selEnd, text.size());
    const wchar_t* insert = reinterpret_cast<LPCWSTR>(lParam);
    const std::wstring inserted = insert ? insert : L"";
    text.replace(start, end - start, inserted);
    SetWindowTextW(edit, text.c_str());
    record.selStart = record.selEnd = start + inserted.size();
    Notify(edit, EN_CHANGE);
    return 0;
  }
  handled = false;
  return 0;
}

LRESULT ComboMessage(HWND combo, UINT message, WPARAM wParam, LPARAM lParam, ControlRecord& record, bool& handled) {
  const int count = static_cast<int>(record.items.size());
  const int index = static_cast<int>(static_cast<std::intptr_t>(wParam));
  const bool valid = index >= 0 && index < count;
  switch (message) {
    case CB_ADDSTRING: {
      const wchar_t* text = reinterpret_cast<LPCWSTR>(lParam);
      record.items.push_back(ComboItem{text ? text : L"", 0});
      return count;
    }
    case CB_GETCOUNT:
      return count;
    case CB_RESETCONTENT:
      record.items.clear();
      record.selection = -1;
      SetWindowTextW(combo, L"");
      return 0;
    case CB_SETCURSEL:
      // Setting the selection by message notifies nothing.
      record.selection = valid ? index : -1;
      SetWindowTextW(combo, valid ? record.items[index].text.c_str() : L"");
      return valid ? index : CB_ERR;
    case CB_GETCURSEL:
      return record.selection;
    case CB_GETLBTEXTLEN:
      return valid ? static_cast<LRESULT>(record.items[index].text.size()) : CB_ERR;
    case CB_GETLBTEXT: {
      if (!valid) return CB_ERR;
      const std::wstring& text = record.items[index].text;
      if (auto* buffer = reinterpret_cast<wchar_t*>(lParam)) {
        std::wmemcpy(buffer, text.c_str(), text.size() + 1);
      }
      return static_cast<LRESULT>(text.size());
    }
    case CB_GETITEMDATA:
      return valid ? record.items[index].data : CB_ERR;
    case CB_SETITEMDATA:
      if (!valid) return CB_ERR;
      record.items[index].data = lParam;
      return TRUE;
    case CB_FINDSTRINGEXACT: {
      const wchar_t* text = reinterpret_cast<LPCWSTR>(lParam);
      for (int i = 0; text && i < count; ++i)
        if (Named(record.items[i].text, text)) return i;
      return CB_ERR;
    }
    default:
      handled = false;
      return 0;
  }
}

LRESULT ButtonMessage(HWND button, UINT message, WPARAM wParam, LPARAM lParam, ControlRecord& record, bool& handled) {
  const DWORD type = StyleOf(button) & BS_TYPEMASK;
  switch (message) {
    case BM_GETCHECK:
      return record.check;
    case BM_SETCHECK:
      // Setting the state by message notifies nothing.
      record.check = std::min(static_cast<LRESULT>(wParam), BST_INDETERMINATE);
      return 0;
    case BM_CLICK:
      // A click: only an enabled button takes it; automatic boxes change
      // their state first, then the parent hears of it.
      if (!IsWindowEnabled(button)) return 0;
      if (type == BS_AUTOCHECKBOX) {
        record.check = record.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
      } else if (type == BS_AUTO3STATE) {
        record.check = record.check == BST_UNCHECKED ? BST_CHECKED
                       : record.check == BST_CHECKED ? BST_INDETERMINATE
                                                     : BST_UNCHECKED;
      }
      Notify(button, BN_CLICKED);
      return 0;
    case BM_SETIMAGE:
      if (wParam != IMAGE_BITMAP && wParam != IMAGE_ICON) return 0;
      std::swap(record.image, lParam);
      return lParam;
    case BM_GETIMAGE:
      return record.image;
    default:
      handled = false;
      return 0;
  }
}

LRESULT ToolTipMessage(UINT message, LPARAM lParam, ControlRecord& record, bool& handled) {
  if (message == TTM_ADDTOOLW) {
    const auto* info = reinterpret_cast<const TOOLINFOW*>(lParam);
    if (!info || !info->hwnd) return FALSE;
    record.tools.push_back(zem::ToolTip{info->hwnd, info->uId, info->lpszText ? info->lpszText : L""});
    return TRUE;
  }
  if (message == TTM_GETTOOLCOUNT) return static_cast<LRESULT>(record.tools.size());
  handled = false;
  return 0;
}

}  // namespace

LRESULT zem::ControlClassMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  const std::wstring name = ClassOf(window);
  const bool known = Named(name, L"Static") || Named(name, L"Edit") || Named(name, L"ComboBox") ||
                     Named(name, L"Button") || Named(name, L"tooltips_class32");
  if (!known) {
    handled = false;
    return 0;
  }
  ControlRecord& record = Records()[window];
  if (Named(name, L"Static")) return StaticMessage(window, message, wParam, lParam, record, handled);
  if (Named(name, L"Edit")) return EditMessage(window, message, wParam, lParam, record, handled);
  if (Named(name, L"ComboBox")) return ComboMessage(window, message, wParam, lParam, record, handled);
  if (Named(name, L"Button")) return ButtonMessage(window, message, wParam, lParam, record, handled);
  if (Named(name, L"tooltips_class32")) return ToolTipMessage(message, lParam, record, handled);
  handled = false;
  return 0;
}

std::vector<zem::ToolTip> zem::ToolTips(HWND tooltipControl) {
  auto it = Records().find(tooltipControl);
  return it == Records().end() || !IsWindow(tooltipControl) ? std::vector<ToolTip>{} : it->second.tools;
}
