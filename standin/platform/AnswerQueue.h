#pragma once
// What a person would answer. A headless host cannot ask anyone, so every
// question (the save dialog, a message box, a command prompt, a dialog's
// fields and buttons) is answered from this queue, which the command-line
// host and the tests fill beforehand. Each question takes the first queued
// answer that was given for it; a question without a queued answer is noted
// and its asker falls back to what a person closing the window would do.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zem {

// Question names used by the platform itself.
inline constexpr std::wstring_view kSaveFileQuestion = L"save-file";
inline constexpr std::wstring_view kOpenFileQuestion = L"open-file";
inline constexpr std::wstring_view kMessageBoxQuestion = L"message-box";

class AnswerQueue {
 public:
  static AnswerQueue& Instance();

  void Push(std::wstring_view question, std::wstring_view answer);
  // Removes and answers the first answer queued for the question.
  std::optional<std::wstring> Take(std::wstring_view question);
  // Whether an answer is queued for the question (asks nothing).
  bool Has(std::wstring_view question) const;
  // Answers still queued (for every question).
  std::size_t Pending() const { return m_entries.size(); }
  // Questions asked without a queued answer, in the order they were asked.
  const std::vector<std::wstring>& Unanswered() const { return m_unanswered; }
  // Forgets the queued answers and the unanswered questions.
  void Clear();

 private:
  struct Entry {
    std::wstring question;
    std::wstring answer;
  };
  std::vector<Entry> m_entries;
  std::vector<std::wstring> m_unanswered;
};

}  // namespace zem
