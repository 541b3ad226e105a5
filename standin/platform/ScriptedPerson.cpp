#include "standin/platform/ScriptedPerson.h"

#include <algorithm>
#include <cwctype>
#include <functional>
#include <optional>
#include <set>

#include "standin/platform/AnswerQueue.h"
#include "standin/platform/Controls.h"
#include "standin/platform/MessageLoop.h"
#include "standin/platform/SystemMenu.h"

namespace {

struct PersonState {
  std::vector<zem::RefusedAction> refused;
  std::set<HWND> modal;
  std::set<HWND> closedUnanswered;  // modal dialogs already closed for want of answers
};

PersonState& State() {
  static auto* state = new PersonState;
  return *state;
}

// Lower case without "&" markers, trimmed.
std::wstring Plain(std::wstring_view text) {
  std::wstring plain;
  for (wchar_t c : text)
    if (c != L'&') plain.push_back(static_cast<wchar_t>(std::towlower(c)));
  const auto first = plain.find_first_not_of(L" \t");
  const auto last = plain.find_last_not_of(L" \t");
  return first == std::wstring::npos ? std::wstring() : plain.substr(first, last - first + 1);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64];
  return std::wstring(name, static_cast<std::size_t>(GetClassNameW(window, name, 64)));
}

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

bool IsCheckBox(HWND window) {
  const DWORD type = StyleOf(window) & BS_TYPEMASK;
  return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE;
}

// Every control of the dialog, nested ones too, in creation order.
std::vector<HWND> Controls(HWND dialog) {
  std::vector<HWND> all;
  for (HWND child : zem::ChildWindows(dialog)) {
    all.push_back(child);
    for (HWND inner : Controls(child)) all.push_back(inner);
  }
  return all;
}

// The window's rectangle in the dialog's client coordinates.
RECT InDialog(HWND window, HWND dialog) {
  RECT r;
  GetWindowRect(window, &r);
  for (HWND p = GetParent(window); p && p != dialog; p = GetParent(p)) {
    RECT pr;
    GetWindowRect(p, &pr);
    r.left += pr.left, r.right += pr.left, r.top += pr.top, r.bottom += pr.top;
  }
  return r;
}

int ComboIndex(HWND combo, std::wstring_view item) {
  const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(0, SendMessageW(combo, CB_GETLBTEXTLEN, i, 0))),
                      L'\0');
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    if (Plain(text) == Plain(item)) return i;
  }
  return -1;
}

class Person {
 public:
  Person(HWND dialog, std::wstring action) : m_dialog(dialog), m_action(std::move(action)) {}

  void Run() {
    const auto space = m_action.find(L' ');
    const std::wstring verb = Plain(m_action.substr(0, space));
    const std::wstring rest = space == std::wstring::npos ? std::wstring() : m_action.substr(space + 1);
    if (verb == L"type") return Type(rest);
    if (verb == L"select") return Select(rest);
    if (verb == L"check" || verb == L"uncheck") return Check(rest, verb == L"check");
    if (verb == L"press") return Press(rest);
    if (verb == L"close") return Close();
    if (verb == L"key") return Key(rest);
    Refuse(L"not an action a person at a dialog can do");
  }

 private:
  void Refuse(std::wstring reason) { State().refused.push_back(zem::RefusedAction{m_action, std::move(reason)}); }

  // A control can be used when it is there, shown and not greyed.
  bool Usable(HWND control, const wchar_t* what) {
    if (!control) {
      Refuse(std::wstring(L"no ") + what + L" of that name");
      return false;
    }
    if (!IsWindowVisible(control)) {
      Refuse(std::wstring(L"the ") + what + L" is hidden");
      return false;
    }
    if (!IsWindowEnabled(control)) {
      Refuse(std::wstring(L"the ") + what + L" is disabled");
      return false;
    }
    return true;
  }

  HWND FindControl(const std::function<bool(HWND)>& match) {
    // Prefer a visible match: a dialog may hold hidden twins.
    HWND found = nullptr;
    for (HWND control : Controls(m_dialog)) {
      if (!match(control)) continue;
      if (IsWindowVisible(control)) return control;
      if (!found) found = control;
    }
    return found;
  }

  // The edit nearest to the right of the anchor whose rows overlap.
  HWND EditInRowOf(HWND anchor) {
    const RECT a = InDialog(anchor, m_dialog);
    HWND best = nullptr;
    LONG bestGap = 0;
    for (HWND control : Controls(m_dialog)) {
      if (SameText(ClassOf(control), L"Edit") == false) continue;
      const RECT e = InDialog(control, m_dialog);
      if (e.bottom <= a.top || e.top >= a.bottom || e.left < a.left) continue;
      const LONG gap = e.left - a.right;
      if (!best || std::abs(gap) < std::abs(bestGap)) {
        best = control;
        bestGap = gap;
      }
    }
    return best;
  }

  static bool SameText(const std::wstring& a, const wchar_t* b) { return Plain(a) == Plain(b); }

  void Type(const std::wstring& rest) {
    const auto equals = rest.find(L'=');
    if (equals == std::wstring::npos) return Refuse(L"no LABEL=TEXT");
    const std::wstring label = rest.substr(0, equals);
    const std::wstring text = rest.substr(equals + 1);
    HWND anchor = FindControl([&](HWND c) {
      const std::wstring cls = ClassOf(c);
      if (SameText(cls, L"Static")) {
        std::wstring t = Plain(zem::WindowText(c));
        if (!t.empty() && t.back() == L':') t.pop_back();
        return t == Plain(label);
      }
      return SameText(cls, L"ComboBox") && ComboIndex(c, label) >= 0;
    });
    if (!anchor) return Refuse(L"no label or list offering that name");
    HWND edit = EditInRowOf(anchor);
    if (!Usable(edit, L"edit")) return;
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
  }

  void Select(const std::wstring& item) {
    HWND combo = FindControl([&](HWND c) { return SameText(ClassOf(c), L"ComboBox") && ComboIndex(c, item) >= 0; });
    if (!Usable(combo, L"list")) return;
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(ComboIndex(combo, item)), 0);
    // Picking from the list is what tells the parent.
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(GetDlgCtrlID(combo)), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
  }

  HWND Button(const std::wstring& text, bool checkBox) {
    return FindControl([&](HWND c) {
      return SameText(ClassOf(c), L"Button") && IsCheckBox(c) == checkBox && Plain(zem::WindowText(c)) == Plain(text);
    });
  }

  void Check(const std::wstring& text, bool checked) {
    HWND box = Button(text, true);
    if (!Usable(box, L"check box")) return;
    const bool isChecked = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (isChecked != checked) SendMessageW(box, BM_CLICK, 0, 0);
  }

  void Press(const std::wstring& text) {
    HWND button = Button(text, false);
    if (!button) {
      // An icon button is known by its tooltip (tooltip controls are popups
      // the dialog owns).
      for (HWND tip : zem::OwnedWindows(m_dialog)) {
        for (const zem::ToolTip& tool : zem::ToolTips(tip))
          if (!button && Plain(tool.text) == Plain(text) && IsWindow(tool.owner)) button = tool.owner;
      }
    }
    if (!Usable(button, L"button")) return;
    SendMessageW(button, BM_CLICK, 0, 0);
  }

  void Close() {
    if (zem::IsCloseGreyed(m_dialog)) return Refuse(L"the close box is greyed");
    SendMessageW(m_dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  }

  void Key(const std::wstring& name) {
    const std::wstring key = Plain(name);
    const WPARAM vk = key == L"enter" ? VK_RETURN : key == L"escape" ? VK_ESCAPE : key == L"f1" ? VK_F1 : 0;
    if (!vk) return Refuse(L"no such key");
    MSG message{m_dialog, WM_KEYDOWN, vk, 0, 0};
    zem::DispatchThroughFilter(message);
  }

  HWND m_dialog;
  std::wstring m_action;
};

}  // namespace

const std::vector<zem::RefusedAction>& zem::RefusedActions() { return State().refused; }
void zem::ClearRefusedActions() { State().refused.clear(); }

void zem::SetModalWindow(HWND window, bool modal) {
  if (modal) {
    State().modal.insert(window);
  } else {
    State().modal.erase(window);
    State().closedUnanswered.erase(window);
  }
}

bool zem::PersonStep() {
  HWND dialog = zem::LastShownWindow(L"#32770");
  if (!dialog) return false;
  auto& queue = zem::AnswerQueue::Instance();
  if (queue.Has(kDialogQuestion)) {
    Person(dialog, *queue.Take(kDialogQuestion)).Run();
    return true;
  }
  // Nobody is there to answer a modal dialog: it is closed as its close box
  // would, once (a greyed close box leaves it to the loop's time limit).
  if (State().modal.count(dialog) && State().closedUnanswered.insert(dialog).second) {
    queue.Take(kDialogQuestion);  // noted as unanswered
    SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  }
  return false;
}
