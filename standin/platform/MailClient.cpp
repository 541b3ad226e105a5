#include "standin/platform/MailClient.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"

extern char** environ;

namespace zem {

namespace {

namespace fs = std::filesystem;

std::wstring& Outbox() {
  static std::wstring folder;
  return folder;
}

std::wstring& LastDraft() {
  static std::wstring path;
  return path;
}

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// The full path of an executable program on the PATH, or empty.
std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return {};
  std::string list(path);
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    const std::string folder = end > start ? list.substr(start, end - start) : ".";
    const std::string candidate = folder + "/" + program;
    if (::access(candidate.c_str(), X_OK) == 0 && !fs::is_directory(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

// A name that is safe as the last part of a path.
std::string SafeFileName(const std::string& name) {
  std::string safe = name;
  for (char& c : safe) {
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) c = '_';
  }
  if (safe.empty() || safe == "." || safe == "..") safe = "attachment";
  return safe;
}

bool WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

// Saves the message in the folder under a new name; answers its path or empty.
std::string SaveDraft(const fs::path& folder, const std::string& text) {
  std::error_code error;
  fs::create_directories(folder, error);
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  for (int n = 1; n < 1000; ++n) {
    std::string name = std::string("draft-") + stamp + (n > 1 ? "-" + std::to_string(n) : "") + ".eml";
    const fs::path path = folder / name;
    // "x": never replaces a draft that is already there.
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (file == nullptr) {
      if (errno == EEXIST) continue;
      return {};
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) {
      fs::remove(path, error);
      return {};
    }
    return path.string();
  }
  return {};
}

fs::path SpoolFolder() {
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache) return fs::path(cache) / "zem-webgl/outgoing";
  if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".cache/zem-webgl/outgoing";
  return fs::temp_directory_path() / "zem-webgl-outgoing";
}

ULONG HandToXdgEmail(const std::string& program, const MailMessage& message) {
  std::vector<std::string> arguments{program, "--utf8", "--subject", message.subject, "--body", message.body};
  if (!message.attachments.empty()) {
    std::error_code error;
    const fs::path spool = SpoolFolder();
    fs::create_directories(spool, error);
    std::string pattern = (spool / "mail-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return MAPI_E_ATTACHMENT_WRITE_FAILURE;
    for (const auto& attachment : message.attachments) {
      const fs::path copy = fs::path(pattern) / SafeFileName(attachment.fileName);
      if (!WriteFile(copy, attachment.bytes)) return MAPI_E_ATTACHMENT_WRITE_FAILURE;
      arguments.push_back("--attach");
      arguments.push_back(copy.string());
    }
  }
  for (const auto& recipient : message.recipients) {
    if (recipient.kind == MailRecipient::Kind::Cc) arguments.push_back("--cc");
    if (recipient.kind == MailRecipient::Kind::Bcc) arguments.push_back("--bcc");
    arguments.push_back(recipient.address);
  }
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    return MAPI_E_LOGON_FAILURE;
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return MAPI_E_FAILURE;
  }
  if (!WIFEXITED(status)) return MAPI_E_FAILURE;
  switch (WEXITSTATUS(status)) {
    case 0:
      return SUCCESS_SUCCESS;
    case 2:  // a file does not exist
      return MAPI_E_ATTACHMENT_NOT_FOUND;
    case 3:  // no mail program found
      return MAPI_E_LOGON_FAILURE;
    case 5:  // no permission to read a file
      return MAPI_E_ATTACHMENT_OPEN_FAILURE;
    default:
      return MAPI_E_FAILURE;
  }
}

}  // namespace

void SetMailOutbox(const std::wstring& folder) { Outbox() = folder; }

const std::wstring& MailOutbox() { return Outbox(); }

const std::wstring& LastMailDraft() { return LastDraft(); }

ULONG HandOverMail(const MailMessage& message) {
  if (Outbox().empty() && (IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY"))) {
    if (const std::string program = FindOnPath("xdg-email"); !program.empty()) {
      return HandToXdgEmail(program, message);
    }
  }
  const fs::path folder = Outbox().empty() ? fs::path(".") : fs::path(NativePath(Outbox()));
  const std::string draft = SaveDraft(folder, ComposeMimeMessage(message, std::time(nullptr)));
  if (draft.empty()) return MAPI_E_FAILURE;
  LastDraft() = FromUtf8(draft);
  return SUCCESS_SUCCESS;
}

}  // namespace zem
