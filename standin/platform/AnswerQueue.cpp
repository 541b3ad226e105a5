#include "standin/platform/AnswerQueue.h"

namespace zem {

AnswerQueue& AnswerQueue::Instance() {
  static AnswerQueue queue;
  return queue;
}

void AnswerQueue::Push(std::wstring_view question, std::wstring_view answer) {
  m_entries.push_back(Entry{std::wstring(question), std::wstring(answer)});
}

std::optional<std::wstring> AnswerQueue::Take(std::wstring_view question) {
  for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
    if (it->question == question) {
      std::wstring answer = std::move(it->answer);
      m_entries.erase(it);
      return answer;
    }
  }
  m_unanswered.emplace_back(question);
  return std::nullopt;
}

bool AnswerQueue::Has(std::wstring_view question) const {
  for (const Entry& entry : m_entries)
    if (entry.question == question) return true;
  return false;
}

void AnswerQueue::Clear() {
  m_entries.clear();
  m_unanswered.clear();
}

}  // namespace zem
