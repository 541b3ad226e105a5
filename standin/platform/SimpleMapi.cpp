#include "standin/platform/SimpleMapi.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "standin/platform/MailClient.h"
#include "standin/platform/MimeMessage.h"

namespace zem {

namespace {

std::string Text(const char* text) { return text == nullptr ? std::string() : std::string(text); }

// The last part of a path, after either separator.
std::string LastPart(const std::string& path) {
  const auto at = path.find_last_of("/\\");
  return at == std::string::npos ? path : path.substr(at + 1);
}

// The attachment paths are narrow system paths; backslashes are separators.
std::string NativeFromNarrow(std::string path) {
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

ULONG ReadAttachment(const MapiFileDesc& file, MailAttachment& attachment) {
  const std::string path = Text(file.lpszPathName);
  if (path.empty()) return MAPI_E_ATTACHMENT_NOT_FOUND;
  const std::string native = NativeFromNarrow(path);
  std::error_code error;
  const auto status = std::filesystem::status(native, error);
  if (!std::filesystem::exists(status)) return MAPI_E_ATTACHMENT_NOT_FOUND;
  if (!std::filesystem::is_regular_file(status)) return MAPI_E_ATTACHMENT_OPEN_FAILURE;
  std::ifstream in(native, std::ios::binary);
  if (!in) return MAPI_E_ATTACHMENT_OPEN_FAILURE;
  attachment.bytes.assign(std::istreambuf_iterator<char>(in), {});
  if (in.bad()) return MAPI_E_ATTACHMENT_OPEN_FAILURE;
  const std::string shown = LastPart(Text(file.lpszFileName));
  attachment.fileName = shown.empty() ? LastPart(path) : shown;
  return SUCCESS_SUCCESS;
}

ULONG ReadRecipient(const MapiRecipDesc& recipient, MailRecipient& out) {
  switch (recipient.ulRecipClass) {
    case MAPI_TO:
      out.kind = MailRecipient::Kind::To;
      break;
    case MAPI_CC:
      out.kind = MailRecipient::Kind::Cc;
      break;
    case MAPI_BCC:
      out.kind = MailRecipient::Kind::Bcc;
      break;
    default:
      return MAPI_E_BAD_RECIPTYPE;
  }
  out.name = Text(recipient.lpszName);
  out.address = Text(recipient.lpszAddress);
  if (out.address.compare(0, 5, "SMTP:") == 0) out.address.erase(0, 5);
  if (out.address.empty()) {
    // A name alone must be an address to be of any use.
    if (out.name.find('@') == std::string::npos) return MAPI_E_UNKNOWN_RECIPIENT;
    out.address = out.name;
    out.name.clear();
  }
  return SUCCESS_SUCCESS;
}

}  // namespace

ULONG MapiSendMail(LHANDLE, ULONG_PTR, lpMapiMessage message, FLAGS, ULONG) {
  if (message == nullptr) return MAPI_E_FAILURE;
  if (message->nFileCount > 0 && message->lpFiles == nullptr) return MAPI_E_FAILURE;
  if (message->nRecipCount > 0 && message->lpRecips == nullptr) return MAPI_E_FAILURE;
  MailMessage mail;
  mail.subject = Text(message->lpszSubject);
  mail.body = Text(message->lpszNoteText);
  for (ULONG i = 0; i < message->nRecipCount; ++i) {
    MailRecipient recipient;
    if (const ULONG result = ReadRecipient(message->lpRecips[i], recipient); result != SUCCESS_SUCCESS) return result;
    mail.recipients.push_back(std::move(recipient));
  }
  // The bytes are read now: the caller may delete the files once we return.
  for (ULONG i = 0; i < message->nFileCount; ++i) {
    MailAttachment attachment;
    if (const ULONG result = ReadAttachment(message->lpFiles[i], attachment); result != SUCCESS_SUCCESS) return result;
    mail.attachments.push_back(std::move(attachment));
  }
  return HandOverMail(mail);
}

}  // namespace zem
