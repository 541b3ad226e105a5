#include "standin/platform/ScriptedPerson.h"

#include <gtest/gtest.h>

#include <vector>

#include "standin/platform/AnswerQueue.h"
#include "standin/platform/CWnd.h"
#include "standin/platform/Controls.h"

namespace {

// A form: two labelled rows with edits (the second greyed), a list, a check
// box and two buttons; it records the commands it hears.
class Form : public CDialog {
 public:
  BOOL OnInitDialog() override {
    Add(L"Static", L"&Title:", 0, 0, 10, 60);
    title = Add(L"Edit", L"", ES_AUTOHSCROLL, 101, 10, 80);
    Add(L"Static", L"Author", 0, 0, 40, 60);
    author = Add(L"Edit", L"me", 0, 102, 40, 80);
    ::EnableWindow(author, FALSE);
    list = Add(L"ComboBox", L"", CBS_DROPDOWNLIST, 103, 70, 10);
    for (const wchar_t* item : {L"Self", L"Parent"})
      ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    box = Add(L"Button", L"Send ZIP file", BS_AUTOCHECKBOX, 104, 100, 10);
    go = Add(L"Button", L"&Go", BS_PUSHBUTTON, 105, 130, 10);
    hidden = Add(L"Button", L"Hidden", BS_PUSHBUTTON, 106, 130, 80);
    ::ShowWindow(hidden, SW_HIDE);
    return TRUE;
  }
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    heard.push_back({LOWORD(wParam), HIWORD(wParam)});
    return CDialog::OnCommand(wParam, lParam);
  }
  HWND Add(const wchar_t* cls, const wchar_t* text, DWORD style, int id, int y, int x) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, 70, 21, m_hWnd,
                           reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
  }
  HWND title{}, author{}, list{}, box{}, go{}, hidden{};
  std::vector<std::pair<WORD, WORD>> heard;
};

class PersonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zem::AnswerQueue::Instance().Clear();
    zem::ClearRefusedActions();
    ASSERT_TRUE(m_form.Create(0));
    m_form.ShowWindow(SW_SHOW);
  }
  void TearDown() override { zem::AnswerQueue::Instance().Clear(); }
  // Queues the actions and lets the loop carry them out.
  void Do(std::initializer_list<const wchar_t*> actions) {
    for (const wchar_t* action : actions) zem::AnswerQueue::Instance().Push(zem::kDialogQuestion, action);
    zem::RunMessageLoop([] { return !zem::AnswerQueue::Instance().Has(zem::kDialogQuestion); }, 10000);
  }
  Form m_form;
};

TEST_F(PersonTest, ActsThroughTheMessagesRealInputProduces) {
  Do({L"type title=Bridge", L"select Parent", L"check send zip file", L"check Send ZIP file", L"press Go"});
  EXPECT_EQ(zem::WindowText(m_form.title), L"Bridge");
  EXPECT_EQ(SendMessageW(m_form.list, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessageW(m_form.box, BM_GETCHECK, 0, 0), BST_CHECKED);
  using Heard = std::vector<std::pair<WORD, WORD>>;
  EXPECT_EQ(m_form.heard, (Heard{{101, EN_CHANGE}, {103, CBN_SELCHANGE}, {104, BN_CLICKED}, {105, BN_CLICKED}}))
      << "checking a checked box clicks nothing";
  EXPECT_TRUE(zem::RefusedActions().empty());
  Do({L"uncheck Send ZIP file", L"key Escape"});
  EXPECT_EQ(SendMessageW(m_form.box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(m_form.Result(), IDCANCEL);
}

TEST_F(PersonTest, RefusesWhatAPersonCouldNotDoAndChangesNothing) {
  Do({L"type Author=someone else", L"press Hidden", L"press Nowhere", L"dance", L"type Title"});
  EXPECT_EQ(zem::WindowText(m_form.author), L"me");
  EXPECT_TRUE(m_form.heard.empty());
  ASSERT_EQ(zem::RefusedActions().size(), 5u);
  EXPECT_EQ(zem::RefusedActions()[0].action, L"type Author=someone else");
  EXPECT_NE(zem::RefusedActions()[0].reason.find(L"disabled"), std::wstring::npos);
  EXPECT_NE(zem::RefusedActions()[1].reason.find(L"hidden"), std::wstring::npos);
  for (const auto& refused : zem::RefusedActions()) EXPECT_FALSE(refused.reason.empty());
}

}  // namespace
