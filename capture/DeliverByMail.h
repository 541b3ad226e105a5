#pragma once
// The e-mail steps of an export: where the page is written, and handing the
// page (or a zip archive holding it) to the mail client afterwards.
#include <cstdint>
#include <functional>
#include <string>

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

// The page path of an e-mail export: the temporary folder + "ZEM\" (created
// if missing) + a folder of this export's own + the title made safe as a
// file name + ".html". The export's folder is made here and is new, so two
// exports at the same time never share a page, and the attachment keeps the
// title's name. Empty when no such folder can be made.
std::wstring MailPagePath(const std::wstring& documentTitle);

// Deletes the temporary page, its archive and the export's folder without
// mailing anything; for an e-mail export whose page could not be written.
void DiscardMailPage(const std::wstring& pagePath);

}  // namespace zem

// Zips the page when asked, hides the dialog (hideDialog may be empty),
// hands page or archive to the mail client with the subject
// kMailSubjectPrefix + title and the fixed body, and deletes the temporary
// page and archive (and the export's folder) afterwards, even when the
// hand-over fails. When the archive does not come to hold the page, the page
// itself is mailed with the page body. A missing page is not mailed.
// Answers the size in bytes of what was handed over (0 when nothing was).
std::uintmax_t DeliverByMail(const std::wstring& pagePath, const std::wstring& title, bool zip, HWND mainWindow,
                             const std::function<void()>& hideDialog);
