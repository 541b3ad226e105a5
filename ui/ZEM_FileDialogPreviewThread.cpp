#include "ui/ZEM_FileDialogPreviewThread.h"

#include <utility>

namespace {

std::unique_ptr<CRhinoDib> ReadPicture(const std::wstring& path) {
  auto picture = std::make_unique<CRhinoDib>();
  if (!picture->ReadFromFile(path.c_str())) return nullptr;
  return picture;
}

}  // namespace

ZEM_FileDialogPreviewThread::ZEM_FileDialogPreviewThread() : m_loader(ReadPicture) {}

ZEM_FileDialogPreviewThread::ZEM_FileDialogPreviewThread(Loader loader) : m_loader(std::move(loader)) {}

ZEM_FileDialogPreviewThread::~ZEM_FileDialogPreviewThread() {
  Stop();
  if (m_thread.joinable()) m_thread.join();
}

void ZEM_FileDialogPreviewThread::Request(const std::wstring& path) {
  std::unique_lock lock(m_mutex);
  m_stopped = false;
  m_pending = path;
  m_pendingGeneration = ++m_generation;
  m_ready.reset();  // an older selection's picture is no longer wanted
  if (m_running) return;
  // The previous loader has finished its work; let it go before a new one.
  if (m_thread.joinable()) {
    lock.unlock();
    m_thread.join();
    lock.lock();
  }
  m_running = true;
  m_thread = std::thread([this] { Run(); });
}

void ZEM_FileDialogPreviewThread::Run() {
  std::unique_lock lock(m_mutex);
  while (!m_stopped && m_pending) {
    const std::wstring path = std::move(*m_pending);
    const std::uint64_t generation = m_pendingGeneration;
    m_pending.reset();
    lock.unlock();
    std::unique_ptr<CRhinoDib> picture = m_loader(path);
    lock.lock();
    // Kept only while it is still the latest selection's.
    if (!m_stopped && generation == m_generation) m_ready = Preview{path, std::move(picture)};
  }
  m_running = false;
}

std::optional<ZEM_FileDialogPreviewThread::Preview> ZEM_FileDialogPreviewThread::Collect() {
  std::lock_guard lock(m_mutex);
  if (m_stopped) return std::nullopt;
  std::optional<Preview> ready = std::move(m_ready);
  m_ready.reset();
  return ready;
}

void ZEM_FileDialogPreviewThread::Stop() {
  std::lock_guard lock(m_mutex);
  m_stopped = true;
  m_pending.reset();
  m_ready.reset();
}

bool ZEM_FileDialogPreviewThread::IsLoading() const {
  std::lock_guard lock(m_mutex);
  return m_running;
}
