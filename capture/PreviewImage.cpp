// The preview picture: an 800 x 600 rendering of the active view, shown by
// the page when the browser cannot run the viewer.
#include <filesystem>
#include <string>

#include "capture/ZEM_Rhino_WebGLExport.h"
#include "delivery/GetTempFolder.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoPrintInfo.h"
#include "standin/host/CRhinoView.h"
#include "standin/platform/NativePath.h"

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
  // A name of this export alone: two exports at the same time never share it.
  const std::wstring path = zem::UniqueTempFilePath(L"_back", L".jpg");
  // A picture that cannot be written is no preview, never an older one.
  if (dib.WriteToFile(path.c_str())) EncodeFileBase64(path, m_previewImage);
  std::error_code ec;
  std::filesystem::remove(zem::NativePath(path), ec);
}
