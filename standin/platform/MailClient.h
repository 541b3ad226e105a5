#pragma once
// The user's mail client, as Simple MAPI reaches it. A message is handed over
// whole (texts and the attachments' bytes):
// - with an outbox folder set, it is saved there as an .eml draft;
// - else, in a graphical session (DISPLAY or WAYLAND_DISPLAY set) with
//   xdg-email on the PATH, xdg-email opens the user's mail client with the
//   subject, body and copies of the attachments (kept in
//   $XDG_CACHE_HOME/zem-webgl/outgoing, or ~/.cache/..., since the client
//   reads them after the hand-over has returned);
// - else it is saved as an .eml draft in the current folder.
#include <string>

#include "standin/platform/MimeMessage.h"
#include "standin/platform/SimpleMapi.h"

namespace zem {

// The folder for drafts; an empty text goes back to none set.
void SetMailOutbox(const std::wstring& folder);
const std::wstring& MailOutbox();

// Hands the message over. SUCCESS_SUCCESS when the draft is saved or the
// client took the message; MAPI_E_LOGON_FAILURE when there is no mail client
// to start; MAPI_E_ATTACHMENT_WRITE_FAILURE when the attachment copies cannot
// be written; MAPI_E_FAILURE for every other failure.
ULONG HandOverMail(const MailMessage& message);

// The path of the draft saved last (empty when none was saved).
const std::wstring& LastMailDraft();

}  // namespace zem
