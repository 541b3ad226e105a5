#include "delivery/SendMailWithAttachment.h"

#include <string>

#include "standin/platform/Modules.h"
#include "standin/platform/SimpleMapi.h"
#include "standin/platform/TextEncoding.h"
#include "standin/platform/Window.h"

namespace zem {

bool SendMailWithAttachment(const std::wstring& attachmentPath, HWND parentWindow, const std::wstring& subject,
                            const std::wstring& body) {
  if (attachmentPath.empty() || parentWindow == nullptr || !IsWindow(parentWindow)) return false;

  HMODULE library = LoadLibraryW(L"MAPI32.DLL");
  if (library == nullptr) return false;
  auto sendMail =
      reinterpret_cast<LPMAPISENDMAIL>(reinterpret_cast<void (*)()>(GetProcAddress(library, "MAPISendMail")));
  if (sendMail == nullptr) {
    FreeLibrary(library);
    return false;
  }

  // Simple MAPI takes narrow texts in the thread's ANSI code page, which is
  // UTF-8 here. The attachment's path goes as the system's own bytes, so a
  // folder whose name is not UTF-8 is still found; the name the mail shows is
  // its text. Each text is converted whole into a string of its own size.
  std::string path = ToSystemBytes(attachmentPath);
  std::string fileName = ToUtf8(attachmentPath);
  std::string narrowSubject = ToUtf8(subject);
  std::string noteText = ToUtf8(body);

  MapiFileDesc file{};
  file.nPosition = 0xFFFFFFFF;  // not placed inside the note text
  file.lpszPathName = path.data();
  file.lpszFileName = fileName.data();

  MapiMessage message{};
  message.lpszSubject = narrowSubject.data();
  message.lpszNoteText = noteText.data();
  message.nFileCount = 1;
  message.lpFiles = &file;

  const ULONG result = sendMail(0, reinterpret_cast<ULONG_PTR>(parentWindow), &message, MAPI_LOGON_UI | MAPI_DIALOG, 0);
  FreeLibrary(library);
  return result == SUCCESS_SUCCESS || result == MAPI_E_USER_ABORT || result == MAPI_E_LOGON_FAILURE;
}

}  // namespace zem
