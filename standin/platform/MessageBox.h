#pragma once
// Message boxes. The answer (the button a person presses) comes from the
// answer queue under the question "message-box", as one of the words ok,
// cancel, abort, retry, ignore, yes, no. Without a queued answer, or with a
// word that is no button of the box, the box answers its default button
// (MB_DEFBUTTON1..3), as pressing Enter would.
#include "standin/platform/WinTypes.h"

#include <functional>
#include <string>

namespace zem {

// Called for every message box shown, with its caption, text and the button
// id it answered; the command-line host prints them.
using MessageBoxObserver = std::function<void(const std::wstring& caption, const std::wstring& text, int answer)>;
void SetMessageBoxObserver(MessageBoxObserver observer);

}  // namespace zem

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
int AfxMessageBox(LPCWSTR text, UINT type = MB_OK, UINT helpId = 0);
