#pragma once
// Loads the picture of the file selected in the file dialog on a thread of
// its own, so the dialog stays responsive while large pictures decode.
//
// One load runs at a time; a selection made while a load runs replaces any
// selection still waiting, and only the picture of the latest selection is
// ever handed out. The picture is handed out on the user-interface thread
// (Collect), never by the loader. After Stop nothing more is handed out; a
// load still running finishes on its own and its picture is dropped. The
// destructor waits for the loader to end.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "standin/host/CRhinoDib.h"

class ZEM_FileDialogPreviewThread {
 public:
  // What loads one file; the host's picture reader unless a test gives one.
  using Loader = std::function<std::unique_ptr<CRhinoDib>(const std::wstring& path)>;

  ZEM_FileDialogPreviewThread();
  explicit ZEM_FileDialogPreviewThread(Loader loader);
  ~ZEM_FileDialogPreviewThread();
  ZEM_FileDialogPreviewThread(const ZEM_FileDialogPreviewThread&) = delete;
  ZEM_FileDialogPreviewThread& operator=(const ZEM_FileDialogPreviewThread&) = delete;

  // Asks for the picture of `path` (user-interface thread). Starts again
  // after a Stop.
  void Request(const std::wstring& path);

  struct Preview {
    std::wstring path;
    std::unique_ptr<CRhinoDib> picture;  // null: the file is no picture
  };
  // The latest selection's preview once it is loaded; each is handed out once.
  std::optional<Preview> Collect();

  // Drops what is waiting or loaded; does not wait for a running load.
  void Stop();
  bool IsLoading() const;

 private:
  void Run();

  Loader m_loader;
  mutable std::mutex m_mutex;
  std::thread m_thread;
  bool m_stopped = false;
  bool m_running = false;
  std::uint64_t m_generation = 0;  // one per request
  std::optional<std::wstring> m_pending;
  std::uint64_t m_pendingGeneration = 0;
  std::optional<Preview> m_ready;
};
