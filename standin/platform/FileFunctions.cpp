#include "standin/platform/FileFunctions.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"

std::FILE* _wfopen(const wchar_t* path, const wchar_t* mode) {
  if (path == nullptr || mode == nullptr || *path == L'\0') return nullptr;
  return std::fopen(zem::NativePath(path).c_str(), zem::ToUtf8(mode).c_str());
}

BOOL DeleteFileW(LPCWSTR path) {
  if (path == nullptr || *path == L'\0') return FALSE;
  const std::string native = zem::NativePath(path);
  std::error_code error;
  if (std::filesystem::is_directory(std::filesystem::symlink_status(native, error))) return FALSE;
  return std::filesystem::remove(native, error) && !error ? TRUE : FALSE;
}

BOOL RemoveDirectoryW(LPCWSTR path) {
  if (path == nullptr || *path == L'\0') return FALSE;
  const std::string native = zem::NativePath(path);
  std::error_code error;
  if (!std::filesystem::is_directory(std::filesystem::symlink_status(native, error))) return FALSE;
  // remove() takes only an empty folder.
  return std::filesystem::remove(native, error) && !error ? TRUE : FALSE;
}

namespace zem {

namespace {

// Holds off the interrupt signals for as long as it lives, so a file is
// never made without its registration (a signal that came meanwhile is
// handled when it goes).
class HeldSignals {
 public:
  explicit HeldSignals(bool hold) : m_held(hold) {
    if (!m_held) return;
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, signal);
    ::pthread_sigmask(SIG_BLOCK, &set, &m_saved);
  }
  ~HeldSignals() {
    if (m_held) ::pthread_sigmask(SIG_SETMASK, &m_saved, nullptr);
  }
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;

 private:
  bool m_held;
  sigset_t m_saved{};
};

}  // namespace

std::wstring CreatePrivateFolder(const std::wstring& prefix, InterruptCleanup* undo) {
  std::string pattern = NativePath(prefix) + "XXXXXX";
  const HeldSignals held(undo != nullptr);
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  const std::wstring folder = FromSystemBytes(pattern);
  if (undo) *undo = InterruptCleanup::RemoveFolderAndFiles(folder);
  return folder;
}

std::wstring CreatePrivateFile(const std::wstring& prefix, const std::wstring& suffix, InterruptCleanup* undo) {
  const std::string end = NativePath(suffix);
  std::string pattern = NativePath(prefix) + "XXXXXX" + end;
  const HeldSignals held(undo != nullptr);
  const int fd = ::mkostemps(pattern.data(), static_cast<int>(end.size()), O_CLOEXEC);
  if (fd < 0) return {};
  ::close(fd);
  const std::wstring file = FromSystemBytes(pattern);
  if (undo) *undo = InterruptCleanup::RemoveFile(file);
  return file;
}

bool CopyFileBytes(const std::wstring& from, const std::wstring& to) {
  const int in = ::open(NativePath(from).c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  const int out = ::open(NativePath(to).c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  bool ok = out >= 0;
  std::vector<char> buffer(1 << 16);
  while (ok) {
    const ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n == 0) break;
    ok = n > 0;
    for (ssize_t done = 0; ok && done < n;) {
      const ssize_t w = ::write(out, buffer.data() + done, static_cast<std::size_t>(n - done));
      ok = w > 0;
      done += ok ? w : 0;
    }
  }
  if (out >= 0 && ::close(out) != 0) ok = false;
  ::close(in);
  return ok;
}

void SetUsualFileMode(const std::wstring& path) {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::chmod(NativePath(path).c_str(), 0666 & ~mask);
}

}  // namespace zem
