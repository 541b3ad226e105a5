#include "standin/platform/MimeMessage.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>

namespace zem {

namespace {

constexpr char kBase64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kHex[] = "0123456789ABCDEF";

std::string Base64(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const std::uint32_t n = (static_cast<std::uint8_t>(bytes[i]) << 16) |
                            (static_cast<std::uint8_t>(bytes[i + 1]) << 8) | static_cast<std::uint8_t>(bytes[i + 2]);
    out += kBase64Digits[(n >> 18) & 63];
    out += kBase64Digits[(n >> 12) & 63];
    out += kBase64Digits[(n >> 6) & 63];
    out += kBase64Digits[n & 63];
  }
  if (const std::size_t rest = bytes.size() - i; rest > 0) {
    std::uint32_t n = static_cast<std::uint8_t>(bytes[i]) << 16;
    if (rest == 2) n |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
    out += kBase64Digits[(n >> 18) & 63];
    out += kBase64Digits[(n >> 12) & 63];
    out += rest == 2 ? kBase64Digits[(n >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

// Base64 in lines of 76 characters, each ended by CR LF.
std::string Base64Lines(std::string_view bytes) {
  const std::string flat = Base64(bytes);
  std::string out;
  for (std::size_t at = 0; at < flat.size(); at += 76) {
    out.append(flat, at, 76);
    out += "\r\n";
  }
  return out;
}

bool IsPlainHeaderText(std::string_view text) {
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return text.find("=?") == std::string_view::npos;
}

// Control characters (line breaks among them) would break a header field.
std::string WithoutControls(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return out;
}

// Splits UTF-8 text into pieces of at most `limit` bytes without cutting a
// character.
std::vector<std::string_view> Pieces(std::string_view text, std::size_t limit) {
  std::vector<std::string_view> pieces;
  while (!text.empty()) {
    std::size_t n = std::min(limit, text.size());
    while (n < text.size() && n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    if (n == 0) n = std::min(limit, text.size());
    pieces.push_back(text.substr(0, n));
    text.remove_prefix(n);
  }
  return pieces;
}

// "name=value" for a header parameter: quoted when the value is short plain
// ASCII, else RFC 2231 (UTF-8, percent-encoded, in numbered sections).
std::string Parameter(std::string_view name, std::string_view utf8Value) {
  bool plain = utf8Value.size() <= 60;
  for (const char c : utf8Value) {
    if (c < 0x20 || c > 0x7E || c == '"' || c == '\\') plain = false;
  }
  if (plain) return std::string(name) + "=\"" + std::string(utf8Value) + "\"";
  std::vector<std::string> sections(1, "UTF-8''");
  for (const char ch : utf8Value) {
    const auto c = static_cast<unsigned char>(ch);
    const bool keep = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
                      c == '.' || c == '_' || c == '~';
    std::string piece = keep ? std::string(1, ch) : std::string{'%', kHex[c >> 4], kHex[c & 15]};
    if (sections.back().size() + piece.size() > 60) sections.emplace_back();
    sections.back() += piece;
  }
  std::string out;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    if (i > 0) out += ";\r\n ";
    out += std::string(name) + "*" + std::to_string(i) + "*=" + sections[i];
  }
  return out;
}

// Quoted-printable, lines of at most 76 characters, each ended by CR LF.
std::string QuotedPrintable(std::string_view text) {
  std::string out;
  std::size_t start = 0;
  // A final line feed ends the last line; it does not start another.
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const bool last = end == std::string_view::npos;
    if (last) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::size_t width = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
      const auto c = static_cast<unsigned char>(line[i]);
      const bool atEnd = i + 1 == line.size();
      std::string piece;
      if ((c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !atEnd)) {
        piece = std::string(1, static_cast<char>(c));
      } else {
        piece = std::string{'=', kHex[c >> 4], kHex[c & 15]};
      }
      // Keep room for the "=" of a soft line break.
      if (width + piece.size() > 75) {
        out += "=\r\n";
        width = 0;
      }
      out += piece;
      width += piece.size();
    }
    out += "\r\n";
    if (last) break;
    start = end + 1;
  }
  return out;
}

std::string DateText(std::time_t date) {
  std::tm utc{};
  gmtime_r(&date, &utc);
  char buffer[64];
  static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::snprintf(buffer, sizeof buffer, "%s, %02d %s %04d %02d:%02d:%02d +0000", days[utc.tm_wday], utc.tm_mday,
                months[utc.tm_mon], utc.tm_year + 1900, utc.tm_hour, utc.tm_min, utc.tm_sec);
  return buffer;
}

std::string Boundary() {
  std::random_device device;
  std::string boundary = "=_zem_";
  for (int i = 0; i < 4; ++i) {
    const unsigned value = device();
    for (int shift = 28; shift >= 0; shift -= 4) boundary += kHex[(value >> shift) & 15];
  }
  return boundary;
}

// The content type of an attachment, by its name's ending.
std::string ContentTypeOf(std::string_view fileName) {
  auto endsWith = [&](std::string_view ending) {
    if (fileName.size() < ending.size()) return false;
    const auto tail = fileName.substr(fileName.size() - ending.size());
    return std::equal(tail.begin(), tail.end(), ending.begin(),
                      [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; });
  };
  if (endsWith(".html") || endsWith(".htm")) return "text/html";
  if (endsWith(".zip")) return "application/zip";
  return "application/octet-stream";
}

std::string Mailbox(const MailRecipient& recipient) {
  if (recipient.name.empty()) return recipient.address;
  std::string encoded = HeaderField("X", recipient.name);
  // Reuse the field encoder: drop "X: " and the final CR LF.
  encoded = encoded.substr(3, encoded.size() - 5);
  return encoded + " <" + recipient.address + ">";
}

}  // namespace

std::string HeaderField(std::string_view name, std::string_view utf8Text) {
  const std::string text = WithoutControls(utf8Text);
  std::string out = std::string(name) + ": ";
  if (IsPlainHeaderText(text) && out.size() + text.size() <= 78) return out + text + "\r\n";
  // Encoded words of at most 39 bytes of text each (64 characters), one per line.
  bool first = true;
  for (const auto piece : Pieces(text, 39)) {
    if (!first) out += "\r\n ";
    out += "=?UTF-8?B?" + Base64(piece) + "?=";
    first = false;
  }
  return out + "\r\n";
}

std::string ComposeMimeMessage(const MailMessage& message, std::time_t date) {
  std::string out;
  out += "Date: " + DateText(date) + "\r\n";
  const char* const fields[] = {"To", "Cc", "Bcc"};
  for (const auto kind : {MailRecipient::Kind::To, MailRecipient::Kind::Cc, MailRecipient::Kind::Bcc}) {
    std::string list;
    for (const auto& recipient : message.recipients) {
      if (recipient.kind != kind) continue;
      if (!list.empty()) list += ",\r\n ";
      list += Mailbox(recipient);
    }
    if (!list.empty()) out += std::string(fields[static_cast<int>(kind)]) + ": " + list + "\r\n";
  }
  out += HeaderField("Subject", message.subject);
  out += "MIME-Version: 1.0\r\n";
  if (message.recipients.empty()) out += "X-Unsent: 1\r\n";

  const std::string textHeaders =
      "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: quoted-printable\r\n";
  if (message.attachments.empty()) return out + textHeaders + "\r\n" + QuotedPrintable(message.body);

  const std::string boundary = Boundary();
  out += "Content-Type: multipart/mixed;\r\n boundary=\"" + boundary + "\"\r\n\r\n";
  out += "This is a multi-part message in MIME format.\r\n";
  // The line break before a delimiter belongs to the delimiter, so every part
  // ends with one more, which keeps the part's own last line break.
  out += "--" + boundary + "\r\n" + textHeaders + "\r\n" + QuotedPrintable(message.body);
  for (const auto& attachment : message.attachments) {
    out += "\r\n--" + boundary + "\r\n";
    out += "Content-Type: " + ContentTypeOf(attachment.fileName) + ";\r\n " + Parameter("name", attachment.fileName) +
           "\r\n";
    out += "Content-Transfer-Encoding: base64\r\n";
    out += "Content-Disposition: attachment;\r\n " + Parameter("filename", attachment.fileName) + "\r\n\r\n";
    out += Base64Lines(attachment.bytes);
  }
  out += "\r\n--" + boundary + "--\r\n";
  return out;
}

}  // namespace zem
