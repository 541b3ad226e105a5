#include "standin/platform/InterruptCleanup.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "standin/platform/NativePath.h"

namespace zem {

namespace {

enum Kind { kRemoveFile, kRemoveFolder, kRemoveFolderAndFiles, kRestore };
enum State { kFree, kClaimed, kActive };

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

}  // namespace

// Slots are kept in one list that only grows; a dismissed slot is taken
// again by a later registration. The handler reads only active slots.
struct InterruptCleanup::Slot {
  std::atomic<int> state{kClaimed};
  int kind = kRemoveFile;
  char* first = nullptr;
  char* second = nullptr;
  Slot* next = nullptr;
};

namespace {

std::atomic<InterruptCleanup::Slot*> g_slots{nullptr};
std::atomic<pid_t> g_mainThread{0};
void (*g_first)(int) = nullptr;

char* Copy(const std::wstring& path) {
  if (path.empty()) return nullptr;
  const std::string native = NativePath(path);
  char* text = static_cast<char*>(std::malloc(native.size() + 1));
  if (text) std::memcpy(text, native.c_str(), native.size() + 1);
  return text;
}

// Copies the kept page back over the target with calls a signal handler may make.
void PutBack(const char* copy, const char* target) {
  const int in = ::open(copy, O_RDONLY | O_CLOEXEC);
  if (in < 0) return;
  const int out = ::open(target, O_WRONLY | O_TRUNC | O_CLOEXEC);
  bool whole = out >= 0;
  static char buffer[1 << 16];
  while (whole) {
    const ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      whole = errno == EINTR;
      continue;
    }
    for (ssize_t done = 0; whole && done < n;) {
      const ssize_t w = ::write(out, buffer + done, static_cast<size_t>(n - done));
      if (w > 0)
        done += w;
      else
        whole = w < 0 && errno == EINTR;
    }
  }
  if (out >= 0) ::close(out);
  ::close(in);
  // A copy that could not be put back whole stays, so the page is not lost.
  if (whole) ::unlink(copy);
}

// Removes the files directly in the folder, then the folder, with calls a
// signal handler may make (the directory read by the system call itself).
void RemoveFolderAndFiles(const char* path) {
  const int folder = ::open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folder >= 0) {
    alignas(8) static char entries[1 << 14];
    for (;;) {
      const long n = ::syscall(SYS_getdents64, folder, entries, sizeof entries);
      if (n <= 0) break;
      for (long at = 0; at < n;) {
        struct Entry {
          unsigned long long inode;
          long long offset;
          unsigned short length;
          unsigned char type;
          char name[1];
        };
        const auto* entry = reinterpret_cast<const Entry*>(entries + at);
        if (std::strcmp(entry->name, ".") != 0 && std::strcmp(entry->name, "..") != 0)
          ::unlinkat(folder, entry->name, 0);
        at += entry->length;
      }
    }
    ::close(folder);
  }
  ::rmdir(path);
}

void OnInterrupt(int signal) {
  const int savedErrno = errno;
  // The export writes its page on the main thread: it is stopped while its
  // files are undone when the handler runs there.
  const pid_t main = g_mainThread.load();
  if (main != 0 && ::gettid() != main) {
    ::syscall(SYS_tgkill, ::getpid(), main, signal);
    errno = savedErrno;
    return;
  }
  static std::atomic<bool> running{false};
  if (running.exchange(true)) return;
  if (g_first) g_first(signal);
  // Files first, then folders, so a folder's registered files are gone
  // before it.
  for (const bool folders : {false, true}) {
    for (InterruptCleanup::Slot* slot = g_slots.load(); slot; slot = slot->next) {
      if (slot->state.load() != kActive || !slot->first) continue;
      if (!folders && slot->kind == kRemoveFile) ::unlink(slot->first);
      if (!folders && slot->kind == kRestore && slot->second) PutBack(slot->first, slot->second);
      if (folders && slot->kind == kRemoveFolderAndFiles) RemoveFolderAndFiles(slot->first);
      if (folders && slot->kind == kRemoveFolder) ::rmdir(slot->first);
    }
  }
  // End as the signal ends a process, so the caller sees which it was.
  std::signal(signal, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
  ::raise(signal);
  ::_exit(128 + signal);
}

}  // namespace

void InstallInterruptCleanup(void (*first)(int signal)) {
  g_first = first;
  g_mainThread = ::gettid();
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  for (const int signal : kSignals) sigaddset(&action.sa_mask, signal);
  action.sa_flags = SA_RESTART;
  for (const int signal : kSignals) {
    // A signal ignored when the program started (nohup) stays ignored.
    struct sigaction previous {};
    if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
    ::sigaction(signal, &action, nullptr);
  }
}

InterruptCleanup InterruptCleanup::Make(int kind, const std::wstring& first, const std::wstring& second) {
  Slot* slot = nullptr;
  for (Slot* s = g_slots.load(); s && !slot; s = s->next) {
    int expected = kFree;
    if (s->state.compare_exchange_strong(expected, kClaimed)) slot = s;
  }
  if (!slot) {
    slot = new Slot();
    slot->next = g_slots.load();
    while (!g_slots.compare_exchange_weak(slot->next, slot)) {
    }
  }
  std::free(slot->first);
  std::free(slot->second);
  slot->kind = kind;
  slot->first = Copy(first);
  slot->second = Copy(second);
  slot->state = kActive;
  return InterruptCleanup(slot);
}

InterruptCleanup InterruptCleanup::RemoveFile(const std::wstring& path) { return Make(kRemoveFile, path, {}); }

InterruptCleanup InterruptCleanup::RemoveFolder(const std::wstring& path) { return Make(kRemoveFolder, path, {}); }

InterruptCleanup InterruptCleanup::RemoveFolderAndFiles(const std::wstring& path) {
  return Make(kRemoveFolderAndFiles, path, {});
}

InterruptCleanup InterruptCleanup::Restore(const std::wstring& copy, const std::wstring& target) {
  return Make(kRestore, copy, target);
}

InterruptCleanup& InterruptCleanup::operator=(InterruptCleanup&& other) noexcept {
  if (this != &other) {
    Dismiss();
    m_slot = other.m_slot;
    other.m_slot = nullptr;
  }
  return *this;
}

void InterruptCleanup::Dismiss() {
  if (m_slot) m_slot->state = kFree;
  m_slot = nullptr;
}

}  // namespace zem
