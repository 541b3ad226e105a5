#include "capture/ExportSession.h"

#include <utility>

namespace zem {

ExportListener* ExportSession::Listen(ExportListener* listener) { return std::exchange(m_listener, listener); }

ExportSession& Session() {
  static ExportSession* session = new ExportSession();  // lives to the end of the process
  return *session;
}

}  // namespace zem
