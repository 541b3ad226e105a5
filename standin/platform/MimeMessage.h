#pragma once
// A mail message as the mail client stores it: Internet message format with
// MIME, CR LF line ends, every text in UTF-8. Header texts beyond plain
// ASCII (or too long for one line) are written as RFC 2047 encoded words,
// file names beyond plain ASCII as RFC 2231 parameters, the note text as
// quoted-printable and attachments as base64. A message without recipients
// is a draft ("X-Unsent: 1"): the user addresses it in the client.
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace zem {

struct MailRecipient {
  enum class Kind { To, Cc, Bcc };
  Kind kind = Kind::To;
  std::string name;     // may be empty
  std::string address;  // plain address, without "SMTP:"
};

struct MailAttachment {
  std::string fileName;  // the name the recipient sees
  std::string bytes;
};

struct MailMessage {
  std::string subject;
  std::string body;  // line feeds or CR LF
  std::vector<MailRecipient> recipients;
  std::vector<MailAttachment> attachments;
};

// The whole message, dated `date`.
std::string ComposeMimeMessage(const MailMessage& message, std::time_t date);

// One header field ("Name: text" and CR LF), folded and encoded as needed.
std::string HeaderField(std::string_view name, std::string_view utf8Text);

}  // namespace zem
