#pragma once
// Command-line input: a prompt with options, answered as a person at the
// command line would. A headless host asks no one: the answers come first
// from the words that followed the running command on its script line, then
// from the answer queue under the prompt's text (AnswerQueue.h):
//
//   an option's name   chooses it (English name, "_" prefix allowed, or an
//                      unambiguous start of it; case does not matter)
//   an empty answer    is Enter
//   kEscapeAnswer      is Escape
//
// No answer at all is Escape. An answer that names no option is refused (as
// the command line says "Unknown command option") and the prompt is asked
// again with the next answer.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "standin/host/ON_wString.h"

namespace zem {

// The answer that stands for the Escape key.
inline constexpr std::wstring_view kEscapeAnswer = L"<Escape>";

// One prompt as the command line showed it, with the answer it took.
struct PromptRecord {
  std::wstring prompt;
  std::wstring defaultValue;
  std::vector<std::wstring> options;
  std::vector<std::wstring> refused;   // answers that named no option
  std::optional<std::wstring> answer;  // none: nothing answered (Escape)
};
// The prompts shown since the last clear, oldest first.
const std::vector<PromptRecord>& PromptsShown();
void ClearPromptsShown();

}  // namespace zem

// An option's English and local names.
struct CRhinoCommandOptionName {
  const wchar_t* m_english_option_name;
  const wchar_t* m_local_option_name;
};
#define RHCMDOPTNAME(name) \
  CRhinoCommandOptionName { name, name }

// An option offered at a prompt.
class CRhinoCommandOption {
 public:
  int m_option_index = 0;  // 1 for the first option added
  ON_wString m_english_option_name;
  ON_wString m_local_option_name;
  ON_wString m_option_value;
  bool m_hidden = false;
};

class CRhinoGet {
 public:
  enum result {
    no_result = 0,
    cancel = 1,   // Escape
    nothing = 2,  // Enter
    option = 3,   // an option was chosen
  };

  virtual ~CRhinoGet() = default;

  void SetCommandPrompt(const wchar_t* prompt) { m_prompt = prompt; }
  void SetCommandPromptDefault(const wchar_t* text) { m_default = text; }
  // Answers the new option's index (1, 2, ...).
  int AddCommandOption(CRhinoCommandOptionName name, const wchar_t* value = nullptr, bool hidden = false);
  void ClearCommandOptions() { m_options.clear(); }

  result Result() const { return m_result; }
  // The chosen option after an option result, else null.
  const CRhinoCommandOption* Option() const;
  int OptionIndex() const { return m_chosen; }

 protected:
  // Shows the prompt and takes the person's answer.
  result Ask();

 private:
  ON_wString m_prompt;
  ON_wString m_default;
  std::vector<CRhinoCommandOption> m_options;
  result m_result = no_result;
  int m_chosen = 0;
};

class CRhinoGetOption : public CRhinoGet {
 public:
  result GetOption() { return Ask(); }
};
