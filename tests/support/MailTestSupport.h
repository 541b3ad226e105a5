#pragma once
// What the mail tests share: a sandbox that keeps the hand-over away from
// any real mail client (no graphical session, drafts in a fresh outbox), and
// a reader of saved drafts by an independent mail library (GMime).
#include <gtest/gtest.h>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TestFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "standin/platform/MailClient.h"

namespace zem::testing {

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

// The drafts saved in a folder.
inline std::vector<std::filesystem::path> DraftsIn(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> drafts;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().extension() == ".eml") drafts.push_back(entry.path());
  return drafts;
}

// A fresh folder for the test, the outbox inside it, no graphical session,
// and TMPDIR pointing at the folder.
class MailSandbox : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = TestFolder("zem-mail");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "outbox");
    outbox = folder / "outbox";
    zem::SetMailOutbox(outbox.wstring());
  }
  void TearDown() override {
    zem::SetMailOutbox(L"");
    std::filesystem::remove_all(folder);
  }
  std::vector<std::filesystem::path> Drafts() const { return DraftsIn(outbox); }

  std::filesystem::path folder;
  std::filesystem::path outbox;
  ScopedEnv noDisplay{"DISPLAY", nullptr};
  ScopedEnv noWayland{"WAYLAND_DISPLAY", nullptr};
  ScopedEnv tmpdir{"TMPDIR", (std::filesystem::temp_directory_path()).c_str()};
};

// A stand-in xdg-email first on the PATH, in a graphical session, for the
// life of the object: it records its arguments in folder/args, copies its
// attachment to folder/attached and exits with $ZEM_TEST_EXIT (0 unset).
// Copies for the client go under folder/cache.
class StandInMailClient {
 public:
  explicit StandInMailClient(const std::filesystem::path& folder);

 private:
  std::optional<ScopedEnv> m_path, m_record, m_cache, m_display;
};

// A header text with its RFC 2047 words decoded.
std::string DecodeHeaderWords(const std::string& text);

// Standard base64 back to bytes, by GLib's decoder.
std::string DecodeBase64(const std::string& text);

struct MimePart {
  std::map<std::string, std::string> headers;                // lower-case names, unfolded values
  std::map<std::string, std::string> dispositionParameters;  // decoded (RFC 2231)
  std::string decoded;                                       // the body after its transfer encoding
  std::string Header(const std::string& name) const {
    auto it = headers.find(name);
    return it == headers.end() ? std::string() : it->second;
  }
  std::string Decoded() const { return decoded; }
  // A parameter of the Content-Disposition header.
  std::string Parameter(const std::string& header, const std::string& name) const {
    auto it = dispositionParameters.find(name);
    return header != "content-disposition" || it == dispositionParameters.end() ? std::string() : it->second;
  }
};

struct MailDraft {
  std::string raw;
  MimePart top;
  std::vector<MimePart> parts;  // the parts of a multipart message; else the top part alone
  std::string subject;          // decoded
  std::string Subject() const { return subject; }
  std::string BodyText() const { return parts.empty() ? std::string() : parts.front().Decoded(); }
  std::vector<const MimePart*> Attachments() const {
    std::vector<const MimePart*> found;
    for (const auto& part : parts)
      if (part.Header("content-disposition").rfind("attachment", 0) == 0) found.push_back(&part);
    return found;
  }
};

// Reads a saved draft with GMime, a mail library independent of the composer.
MailDraft ReadDraft(const std::filesystem::path& path);

// The body with CR LF line ends made plain line feeds.
inline std::string WithLineFeeds(std::string text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

}  // namespace zem::testing
