#pragma once
// What one export of a document works from: the document, the active view's
// display attributes, the export's options (with those the dialog does not
// show: threads, compact) and where progress goes. The driver makes one per
// export and hands it to the page writer bound to the host
// (ZEM_Rhino_WebGLExport), through which every scene writer reads it.
#include <functional>

#include "capture/ExportOptions.h"
#include "standin/host/CDisplayPipelineAttributes.h"
#include "standin/host/CRhinoDoc.h"

namespace zem {

class ExportContext {
 public:
  // The document and display attributes must outlive the context.
  ExportContext(CRhinoDoc& document, const CDisplayPipelineAttributes& display, ExportOptions options = {},
                std::function<void(long long)> progress = {});

  CRhinoDoc& Document() const { return m_document; }
  const CDisplayPipelineAttributes& Display() const { return m_display; }
  const ExportOptions& Options() const { return m_options; }
  // Threads that format mesh buffers: the options' count, 0 standing for
  // the machine's cores. The page is the same for any count.
  int Threads() const;

  // Adds the triangles of a mesh buffer just written and tells the progress
  // the total so far (on the thread that writes the page).
  void AddTrianglesWritten(int triangles);
  long long TrianglesWritten() const { return m_trianglesWritten; }

 private:
  CRhinoDoc& m_document;
  const CDisplayPipelineAttributes& m_display;
  ExportOptions m_options;
  std::function<void(long long)> m_progress;
  long long m_trianglesWritten = 0;
};

}  // namespace zem
