#pragma once
// The e-mail steps of an export: where the page is written, and handing the
// page (or a zip archive holding it) to the mail client afterwards.
#include <cstdint>
#include <functional>
#include <string>

#include "standin/platform/InterruptCleanup.h"
#include "standin/platform/WinTypes.h"

namespace zem {

// The subject and the two bodies of the message.
inline constexpr const wchar_t* kMailSubjectPrefix = L"ZEM WebGL Model: ";
std::wstring MailBodyForPage();
std::wstring MailBodyForArchive();

// The document title as a readable file name: no path separators or other
// characters a file name cannot hold, no control characters, no "..", no
// leading or trailing dots and spaces, no device names, at most 120
// characters; "model" when nothing is left.
std::wstring SafeFileNameFromTitle(const std::wstring& title);

// The page path of an e-mail export: a folder of this export's own in the
// temporary folder ("zem-mail-" and six random characters, new, private to
// the user, never a link planted there) + the title made safe as a file
// name + ".html". Two exports at the same time never share a page, and the
// attachment keeps the title's name. Empty when no such folder can be made.
// With `undo`, the folder is registered there for removal with its files
// should the program be interrupted.
std::wstring MailPagePath(const std::wstring& documentTitle, InterruptCleanup* undo = nullptr);

// Deletes the temporary page, its archive and the export's folder without
// mailing anything; for an e-mail export whose page could not be written.
void DiscardMailPage(const std::wstring& pagePath);

// Zips the page when asked, hides the dialog (hideDialog may be empty),
// hands page or archive to the mail client with the subject
// kMailSubjectPrefix + title and the fixed body. When the archive does not
// come to hold the page, the page itself is mailed with the page body. Once
// handed over, the temporary page and archive (and the export's folder) are
// deleted; a page that was not handed over is kept where it is, so the user
// can still have it (the archive goes). A missing page is not mailed.
// Answers whether the mail client took the message; `handedBytes`, when
// given, receives the size in bytes of the attachment handed over.
bool DeliverByMail(const std::wstring& pagePath, const std::wstring& title, bool zip, HWND mainWindow,
                   const std::function<void()>& hideDialog, std::uintmax_t* handedBytes = nullptr);

}  // namespace zem
