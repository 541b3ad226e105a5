#include "capture/ExportListener.h"

#include <utility>

namespace zem {

namespace {
ExportListener* g_listener = nullptr;
}

ExportListener* SetExportListener(ExportListener* listener) { return std::exchange(g_listener, listener); }

ExportListener* CurrentExportListener() { return g_listener; }

}  // namespace zem
