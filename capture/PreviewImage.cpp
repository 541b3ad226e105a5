// The preview picture: an 800 x 600 rendering of the active view, shown by
// the page when the browser cannot run the viewer.
#include <string>
#include <utility>

#include "capture/ZEM_Rhino_WebGLExport.h"
#include "page/Base64.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDib.h"
#include "standin/host/CRhinoPrintInfo.h"
#include "standin/host/CRhinoView.h"

void ZEM_Rhino_WebGLExport::CapturePreviewImage() {
  CRhinoView* view = RhinoApp().ActiveView();
  if (!view) return;
  CRhinoPrintInfo print;
  print.m_bDrawBackground = true;
  print.m_bDrawLighting = true;
  print.m_bDrawWires = true;
  print.m_raster_dpi = 72.0;
  print.m_vector_dpi = 72.0;
  RECT layout{0, 0, 800, 600};
  print.SetLayoutRectangles(layout);
  if (!print.SetViewport(view->ActiveViewportID())) return;
  CRhinoDib dib;
  if (!print.DrawToSingleDib(dib, false, true)) return;
  // Encoded in memory: the picture needs no temporary file, so it cannot be
  // lost to an unusable temporary folder or a name planted there.
  std::string jpeg;
  if (zem::EncodeDib(dib, false, jpeg))
    SetPreviewImage(zem::Base64Encode(reinterpret_cast<const unsigned char*>(jpeg.data()), jpeg.size()));
}
