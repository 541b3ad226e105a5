#pragma once
// Hands one attachment with a subject and a body to the user's mail client
// through Simple MAPI; the user addresses and sends the message there.
#include <string>

#include "standin/platform/WinTypes.h"

// Answers true when the client took the message, or the user dismissed it,
// or the client could not log on (results 0, 1 and 3: the client has told
// the user); false without an attachment path, without a parent window,
// without the mail library, or for any other result. Texts of any length go
// whole. The client reads the attachment's bytes during the call, so the
// caller may delete the file as soon as this returns.
namespace zem {

bool SendMailWithAttachment(const std::wstring& attachmentPath, HWND parentWindow, const std::wstring& subject,
                            const std::wstring& body);

}  // namespace zem
