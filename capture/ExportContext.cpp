#include "capture/ExportContext.h"

#include <utility>

#include "page/ParallelFor.h"

namespace zem {

ExportContext::ExportContext(CRhinoDoc& document, const CDisplayPipelineAttributes& display, ExportOptions options,
                             std::function<void(long long)> progress)
    : m_document(document), m_display(display), m_options(std::move(options)), m_progress(std::move(progress)) {}

int ExportContext::Threads() const { return ThreadsFor(m_options.threads); }

void ExportContext::AddTrianglesWritten(int triangles) {
  m_trianglesWritten += triangles;
  if (m_progress) m_progress(m_trianglesWritten);
}

}  // namespace zem
