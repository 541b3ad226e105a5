#pragma once
// What the mail tests share: a sandbox that keeps the hand-over away from
// any real mail client (no graphical session, drafts in a fresh outbox), and
// a reader of saved drafts written independently of the composer (headers
// unfolded, RFC 2047 words, RFC 2231 file names, base64, quoted-printable).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/MailClient.h"

namespace zem::testing {

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Every byte value, twice, so that encoders meet zero bytes, line ends and
// bytes beyond ASCII.
inline std::string AllByteValues() {
  std::string bytes;
  for (int round = 0; round < 2; ++round)
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  return bytes;
}

// Sets or unsets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_saved = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (m_saved)
      setenv(m_name.c_str(), m_saved->c_str(), 1);
    else
      unsetenv(m_name.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string m_name;
  std::optional<std::string> m_saved;
};

// A fresh folder for the test, the outbox inside it, no graphical session,
// and TMPDIR pointing at the folder.
class MailSandbox : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             (std::string("zem-mail-") + ::testing::UnitTest::GetInstance()->current_test_suite()->name() + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "outbox");
    outbox = folder / "outbox";
    zem::SetMailOutbox(outbox.wstring());
  }
  void TearDown() override {
    zem::SetMailOutbox(L"");
    std::filesystem::remove_all(folder);
  }
  // The drafts in the outbox.
  std::vector<std::filesystem::path> Drafts() const {
    std::vector<std::filesystem::path> drafts;
    for (const auto& entry : std::filesystem::directory_iterator(outbox))
      if (entry.path().extension() == ".eml") drafts.push_back(entry.path());
    return drafts;
  }

  std::filesystem::path folder;
  std::filesystem::path outbox;
  ScopedEnv noDisplay{"DISPLAY", nullptr};
  ScopedEnv noWayland{"WAYLAND_DISPLAY", nullptr};
  ScopedEnv tmpdir{"TMPDIR", (std::filesystem::temp_directory_path()).c_str()};
};

inline std::string DecodeBase64(const std::string& text) {
  auto value = [](char c) -> int {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
  };
  std::string out;
  int bits = 0, count = 0;
  for (const char c : text) {
    const int v = value(c);
    if (v < 0) continue;  // line ends and padding
    bits = (bits << 6) | v;
    count += 6;
    if (count >= 8) {
      count -= 8;
      out += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return out;
}

inline std::string DecodeQuotedPrintable(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '=' && i + 2 < text.size() + 1) {
      if (text.compare(i + 1, 2, "\r\n") == 0) {
        i += 2;  // soft line break
        continue;
      }
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

inline int HexValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

// A header text with its RFC 2047 words decoded (blanks between two words dropped).
inline std::string DecodeHeaderWords(const std::string& text) {
  std::string out;
  std::size_t at = 0;
  bool lastWasWord = false;
  while (at < text.size()) {
    const auto start = text.find("=?", at);
    if (start == std::string::npos) {
      out += text.substr(at);
      break;
    }
    const std::string between = text.substr(at, start - at);
    if (!(lastWasWord && between.find_first_not_of(" \t") == std::string::npos)) out += between;
    const auto q1 = text.find('?', start + 2);
    const auto q2 = text.find('?', q1 + 1);
    const auto end = text.find("?=", q2 + 1);
    const char encoding = static_cast<char>(text[q1 + 1] | 0x20);
    const std::string payload = text.substr(q2 + 1, end - q2 - 1);
    if (encoding == 'b') {
      out += DecodeBase64(payload);
    } else {
      for (std::size_t i = 0; i < payload.size(); ++i) {
        if (payload[i] == '_') out += ' ';
        else if (payload[i] == '=') { out += static_cast<char>(HexValue(payload[i + 1]) * 16 + HexValue(payload[i + 2])); i += 2; }
        else out += payload[i];
      }
    }
    at = end + 2;
    lastWasWord = true;
  }
  return out;
}

struct MimePart {
  std::map<std::string, std::string> headers;  // lower-case names, unfolded values
  std::string body;                            // as stored
  std::string Header(const std::string& name) const {
    auto it = headers.find(name);
    return it == headers.end() ? std::string() : it->second;
  }
  // The body after its transfer encoding.
  std::string Decoded() const {
    const std::string encoding = Header("content-transfer-encoding");
    if (encoding == "base64") return DecodeBase64(body);
    if (encoding == "quoted-printable") return DecodeQuotedPrintable(body);
    return body;
  }
  // A parameter of a header: quoted, plain, or RFC 2231 sections.
  std::string Parameter(const std::string& header, const std::string& name) const {
    const std::string value = Header(header);
    std::map<int, std::string> sections;
    std::string plain;
    std::size_t at = 0;
    while ((at = value.find(';', at)) != std::string::npos) {
      ++at;
      while (at < value.size() && (value[at] == ' ' || value[at] == '\t')) ++at;
      const auto eq = value.find('=', at);
      if (eq == std::string::npos) break;
      const std::string key = value.substr(at, eq - at);
      std::string v;
      std::size_t end;
      if (value[eq + 1] == '"') {
        end = value.find('"', eq + 2);
        v = value.substr(eq + 2, end - eq - 2);
        end = end + 1;
      } else {
        end = value.find(';', eq);
        v = value.substr(eq + 1, (end == std::string::npos ? value.size() : end) - eq - 1);
      }
      if (key == name) plain = v;
      if (key.rfind(name + "*", 0) == 0) {
        std::string rest = key.substr(name.size() + 1);
        const bool encoded = !rest.empty() && rest.back() == '*';
        if (encoded) rest.pop_back();
        const int index = rest.empty() ? 0 : std::stoi(rest);
        if (encoded) {
          if (index == 0) v = v.substr(v.find('\'', v.find('\'') + 1) + 1);  // charset''
          std::string decoded;
          for (std::size_t i = 0; i < v.size(); ++i) {
            if (v[i] == '%') { decoded += static_cast<char>(HexValue(v[i + 1]) * 16 + HexValue(v[i + 2])); i += 2; }
            else decoded += v[i];
          }
          v = decoded;
        }
        sections[index] = v;
      }
      at = end == std::string::npos ? value.size() : end;
    }
    if (sections.empty()) return plain;
    std::string joined;
    for (const auto& [index, piece] : sections) joined += piece;
    return joined;
  }
};

inline MimePart ParsePart(const std::string& text) {
  MimePart part;
  const auto split = text.find("\r\n\r\n");
  const std::string head = text.substr(0, split);
  part.body = split == std::string::npos ? std::string() : text.substr(split + 4);
  std::string name;
  std::size_t at = 0;
  while (at < head.size()) {
    auto end = head.find("\r\n", at);
    if (end == std::string::npos) end = head.size();
    const std::string line = head.substr(at, end - at);
    if (!line.empty() && (line[0] == ' ' || line[0] == '\t')) {
      part.headers[name] += line;  // folded: the line break goes, the blank stays
    } else {
      const auto colon = line.find(':');
      name = line.substr(0, colon);
      for (auto& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      part.headers[name] = line.substr(colon + 1 + (line[colon + 1] == ' ' ? 1 : 0));
    }
    at = end + 2;
  }
  return part;
}

struct MailDraft {
  std::string raw;
  MimePart top;
  std::vector<MimePart> parts;  // the parts of a multipart message; else the top part alone
  std::string Subject() const { return DecodeHeaderWords(top.Header("subject")); }
  std::string BodyText() const { return parts.empty() ? std::string() : parts.front().Decoded(); }
  std::vector<const MimePart*> Attachments() const {
    std::vector<const MimePart*> found;
    for (const auto& part : parts)
      if (part.Header("content-disposition").rfind("attachment", 0) == 0) found.push_back(&part);
    return found;
  }
};

inline MailDraft ReadDraft(const std::filesystem::path& path) {
  MailDraft draft;
  draft.raw = ReadBytes(path);
  draft.top = ParsePart(draft.raw);
  const std::string boundary = draft.top.Parameter("content-type", "boundary");
  if (boundary.empty()) {
    draft.parts.push_back(draft.top);
    return draft;
  }
  const std::string marker = "--" + boundary;
  std::size_t at = draft.top.body.find(marker);
  while (at != std::string::npos) {
    at += marker.size();
    if (draft.top.body.compare(at, 2, "--") == 0) break;
    at += 2;  // CR LF
    const auto next = draft.top.body.find("\r\n" + marker, at);
    // The line break before the next delimiter belongs to the delimiter.
    draft.parts.push_back(ParsePart(draft.top.body.substr(at, next - at)));
    at = next == std::string::npos ? next : next + 2;
  }
  return draft;
}

// The body with CR LF line ends made plain line feeds.
inline std::string WithLineFeeds(std::string text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

}  // namespace zem::testing
