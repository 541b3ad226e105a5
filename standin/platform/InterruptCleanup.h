#pragma once
// What an export has made and must not leave behind when the process is
// interrupted (SIGINT, SIGTERM, SIGHUP): files and folders to remove, an
// earlier page to put back from its kept copy. The export registers each for
// as long as it exists; the program installs the handler once, which undoes
// what is registered and then ends the process with the signal's own status.
#include <string>

namespace zem {

// Installs the handler for SIGINT, SIGTERM and SIGHUP in this process.
// `first`, when given, runs in the handler before the clean-up (it may use
// only what a signal handler may). Call it from the main thread: the signal
// is handled there, since the export writes its page on that thread and is
// then stopped while its files are undone.
void InstallInterruptCleanup(void (*first)(int signal) = nullptr);

// One registration, undone when the object goes (Dismiss drops it earlier).
class InterruptCleanup {
 public:
  // Removes the file on an interrupt.
  static InterruptCleanup RemoveFile(const std::wstring& path);
  // Removes the folder when it is empty (after the files registered).
  static InterruptCleanup RemoveFolder(const std::wstring& path);
  // Removes the folder with the files directly in it.
  static InterruptCleanup RemoveFolderAndFiles(const std::wstring& path);
  // Puts the copy's bytes back into the target, then removes the copy.
  static InterruptCleanup Restore(const std::wstring& copy, const std::wstring& target);

  InterruptCleanup() = default;
  InterruptCleanup(InterruptCleanup&& other) noexcept : m_slot(other.m_slot) { other.m_slot = nullptr; }
  InterruptCleanup& operator=(InterruptCleanup&& other) noexcept;
  InterruptCleanup(const InterruptCleanup&) = delete;
  InterruptCleanup& operator=(const InterruptCleanup&) = delete;
  ~InterruptCleanup() { Dismiss(); }
  void Dismiss();

  struct Slot;

 private:
  explicit InterruptCleanup(Slot* slot) : m_slot(slot) {}
  static InterruptCleanup Make(int kind, const std::wstring& first, const std::wstring& second);
  Slot* m_slot = nullptr;
};

}  // namespace zem
