#pragma once
// A scripted person at the dialogs. Answers queued under the question
// "dialog" (AnswerQueue.h) are carried out one per message-loop pass on the
// visible dialog shown last, through the messages real input produces:
//
//   type LABEL=TEXT   replaces the text of the edit in the row of the static
//                     LABEL, or of the combo box that offers the item LABEL
//   select ITEM       picks ITEM in the combo box that offers it
//   check TEXT        clicks the check box TEXT unless it is checked
//   uncheck TEXT      clicks the check box TEXT while it is checked
//   press TEXT        clicks the button TEXT (or the one whose tooltip is TEXT)
//   close             clicks the caption's close box
//   key Enter|Escape|F1
//
// Texts match without regard to case and to "&" markers. An action on a
// missing, hidden or disabled control, or on a greyed close box, is refused
// as a person could not do it, and kept with its reason. A modal dialog with
// no answers left is closed as its close box would (once).
#include <string>
#include <string_view>
#include <vector>

#include "standin/platform/WinTypes.h"

namespace zem {

inline constexpr std::wstring_view kDialogQuestion = L"dialog";

struct RefusedAction {
  std::wstring action;
  std::wstring reason;
};
const std::vector<RefusedAction>& RefusedActions();
void ClearRefusedActions();

// Marks a dialog as shown modally (DoModal does).
void SetModalWindow(HWND window, bool modal);

// One action of the person, from the message loop; answers whether it did
// (or refused) something.
bool PersonStep();

}  // namespace zem
