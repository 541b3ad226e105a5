#include "standin/host/CRhinoGet.h"

#include <cwctype>

#include "standin/host/CRhinoApp.h"
#include "standin/platform/AnswerQueue.h"

namespace {

std::vector<zem::PromptRecord>& Records() {
  static std::vector<zem::PromptRecord> records;
  return records;
}

bool SameText(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  return true;
}

}  // namespace

const std::vector<zem::PromptRecord>& zem::PromptsShown() { return Records(); }
void zem::ClearPromptsShown() { Records().clear(); }

int CRhinoGet::AddCommandOption(CRhinoCommandOptionName name, const wchar_t* value, bool hidden) {
  CRhinoCommandOption added;
  added.m_option_index = static_cast<int>(m_options.size()) + 1;
  added.m_english_option_name = name.m_english_option_name;
  added.m_local_option_name = name.m_local_option_name ? name.m_local_option_name : name.m_english_option_name;
  added.m_option_value = value;
  added.m_hidden = hidden;
  m_options.push_back(std::move(added));
  return m_options.back().m_option_index;
}

const CRhinoCommandOption* CRhinoGet::Option() const {
  if (m_result != option || m_chosen < 1 || m_chosen > static_cast<int>(m_options.size())) return nullptr;
  return &m_options[m_chosen - 1];
}

CRhinoGet::result CRhinoGet::Ask() {
  zem::PromptRecord record;
  record.prompt = m_prompt;
  record.defaultValue = m_default;
  for (const CRhinoCommandOption& o : m_options)
    if (!o.m_hidden) record.options.push_back(o.m_local_option_name);

  m_result = cancel;
  m_chosen = 0;
  for (;;) {
    std::optional<std::wstring> answer = RhinoApp().TakeScriptWord();
    if (!answer) answer = zem::AnswerQueue::Instance().Take(std::wstring_view(m_prompt));
    if (!answer) break;  // no one answers: as Escape
    if (*answer == zem::kEscapeAnswer) {
      record.answer = std::move(answer);
      break;
    }
    if (answer->empty()) {
      record.answer = std::move(answer);
      m_result = nothing;
      break;
    }
    // "_" asks for the English name; otherwise the local name is meant,
    // and an unambiguous start of a name is enough.
    const bool english = answer->front() == L'_';
    const std::wstring_view typed = std::wstring_view(*answer).substr(english ? 1 : 0);
    int exact = 0, starts = 0, startsCount = 0;
    for (const CRhinoCommandOption& o : m_options) {
      const std::wstring& name = english ? o.m_english_option_name : o.m_local_option_name;
      if (SameText(name, typed)) exact = o.m_option_index;
      if (!typed.empty() && name.size() >= typed.size() &&
          SameText(std::wstring_view(name).substr(0, typed.size()), typed)) {
        starts = o.m_option_index;
        ++startsCount;
      }
    }
    const int chosen = exact ? exact : (startsCount == 1 ? starts : 0);
    if (chosen == 0) {
      record.refused.push_back(*answer);
      continue;
    }
    record.answer = std::move(answer);
    m_chosen = chosen;
    m_result = option;
    break;
  }
  Records().push_back(std::move(record));
  return m_result;
}
