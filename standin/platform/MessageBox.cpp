#include "standin/platform/MessageBox.h"

#include "standin/platform/AnswerQueue.h"

#include <algorithm>
#include <cwctype>
#include <vector>

namespace {

zem::MessageBoxObserver& Observer() {
  static zem::MessageBoxObserver observer;
  return observer;
}

std::vector<int> Buttons(UINT type) {
  switch (type & 0xF) {
    case MB_OKCANCEL:
      return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
      return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
      return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
      return {IDYES, IDNO};
    case MB_RETRYCANCEL:
      return {IDRETRY, IDCANCEL};
    default:
      return {IDOK};
  }
}

int ButtonOfWord(const std::wstring& word) {
  std::wstring w = word;
  std::transform(w.begin(), w.end(), w.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  if (w == L"ok") return IDOK;
  if (w == L"cancel") return IDCANCEL;
  if (w == L"abort") return IDABORT;
  if (w == L"retry") return IDRETRY;
  if (w == L"ignore") return IDIGNORE;
  if (w == L"yes") return IDYES;
  if (w == L"no") return IDNO;
  return 0;
}

}  // namespace

namespace zem {

void SetMessageBoxObserver(MessageBoxObserver observer) { Observer() = std::move(observer); }

}  // namespace zem

int MessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
  std::vector<int> buttons = Buttons(type);
  std::size_t defaultIndex = (type & MB_DEFBUTTON3) ? 2 : (type & MB_DEFBUTTON2) ? 1 : 0;
  int answer = buttons[std::min(defaultIndex, buttons.size() - 1)];
  if (auto word = zem::AnswerQueue::Instance().Take(zem::kMessageBoxQuestion)) {
    int pressed = ButtonOfWord(*word);
    if (std::find(buttons.begin(), buttons.end(), pressed) != buttons.end()) answer = pressed;
  }
  if (Observer()) Observer()(caption ? caption : L"", text ? text : L"", answer);
  return answer;
}

int AfxMessageBox(LPCWSTR text, UINT type, UINT) { return MessageBoxW(nullptr, text, L"", type); }
