// libFuzzer target of the scripted person: any lines of text queued as
// dialog answers must be carried out or refused on a form dialog without a
// crash, a read outside a buffer or a loop that never ends; the form's
// controls must stay in states a person could have put them in.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "standin/platform/AnswerQueue.h"
#include "standin/platform/CWnd.h"
#include "standin/platform/Controls.h"
#include "standin/platform/ScriptedPerson.h"
#include "standin/platform/TextEncoding.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "person fuzz: %s\n", what);
    std::abort();
  }
}

class Form : public CDialog {
 public:
  BOOL OnInitDialog() override {
    Add(L"Static", L"Title", 0, 0, 10, 10);
    title = Add(L"Edit", L"", ES_AUTOHSCROLL, 101, 10, 90);
    Add(L"Static", L"Author", 0, 0, 40, 10);
    author = Add(L"Edit", L"fixed", 0, 102, 40, 90);
    ::EnableWindow(author, FALSE);
    list = Add(L"ComboBox", L"", CBS_DROPDOWNLIST, 103, 70, 10);
    for (const wchar_t* item : {L"Self", L"Parent", L"&Top"})
      ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    box = Add(L"Button", L"Send ZIP file", BS_AUTOCHECKBOX, 104, 100, 10);
    Add(L"Button", L"&Apply", BS_DEFPUSHBUTTON, 105, 130, 10);
    return TRUE;
  }
  HWND Add(const wchar_t* cls, const wchar_t* text, DWORD style, int id, int y, int x) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, 70, 21, m_hWnd,
                           reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
  }
  HWND title{}, author{}, list{}, box{};
};

Form& TheForm() {
  // One form for the whole run: the window library's registries live for
  // the process, so a form per input would only grow them.
  static Form* form = [] {
    auto* f = new Form;
    Check(f->Create(0), "form created");
    return f;
  }();
  return *form;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Form& form = TheForm();
  form.ShowWindow(SW_SHOW);
  auto& queue = zem::AnswerQueue::Instance();
  queue.Clear();
  zem::ClearRefusedActions();
  const std::wstring text = zem::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  std::size_t start = 0, actions = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    queue.Push(zem::kDialogQuestion, text.substr(start, end - start));
    ++actions;
    start = end + 1;
  }
  const bool finished =
      zem::RunMessageLoop([&] { return !queue.Has(zem::kDialogQuestion) || !form.IsWindowVisible(); }, 60000);
  Check(finished, "the loop carries out every action");
  Check(zem::RefusedActions().size() <= actions, "at most one refusal per action");
  Check(zem::WindowText(form.author) == L"fixed", "a disabled edit keeps its text");
  const LRESULT selection = ::SendMessageW(form.list, CB_GETCURSEL, 0, 0);
  Check(selection >= -1 && selection < 3, "selection within the list");
  const LRESULT check = ::SendMessageW(form.box, BM_GETCHECK, 0, 0);
  Check(check == BST_CHECKED || check == BST_UNCHECKED, "a click leaves a two-state box in two states");
  return 0;
}
