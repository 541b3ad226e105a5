#pragma once
// Whoever runs the exports from outside (the command-line host) hears how
// each one goes without being the one that calls the driver: the export
// dialog's "Ok" runs it, and the dialog itself stays silent. The driver
// tells the installed listener the progress of the mesh data and the
// outcome of every export, on the thread that runs the export.
#include "capture/ExportDriver.h"
#include "capture/ExportSession.h"

namespace zem {

class ExportListener {
 public:
  virtual ~ExportListener() = default;
  // The triangles written so far, now and then.
  virtual void OnExportProgress(long long trianglesWritten) {}
  // Once per export, however it ended.
  virtual void OnExportFinished(const ExportResult& result) {}
};

// Installs a listener in the session (ExportSession.h) for the life of this
// object, then puts back the one it replaced.
class ScopedExportListener {
 public:
  explicit ScopedExportListener(ExportListener& listener) : m_previous(Session().Listen(&listener)) {}
  ~ScopedExportListener() { Session().Listen(m_previous); }
  ScopedExportListener(const ScopedExportListener&) = delete;
  ScopedExportListener& operator=(const ScopedExportListener&) = delete;

 private:
  ExportListener* m_previous;
};

}  // namespace zem
