#include "standin/host/CRhinoPrintInfo.h"

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/OffscreenRenderer.h"

#include <algorithm>
#include <cmath>

void CRhinoPrintInfo::SetLayoutRectangles(const RECT& paper, const RECT* printable) {
  m_printable = printable ? *printable : paper;
}

bool CRhinoPrintInfo::SetViewport(const ON_UUID& viewportId) {
  const CRhinoDoc* doc = RhinoApp().ActiveDoc();
  for (int i = 0; doc && i < doc->ViewCount(); ++i) {
    if (doc->View(i)->FindViewport(viewportId)) {
      m_viewportId = viewportId;
      return true;
    }
  }
  return false;
}

bool CRhinoPrintInfo::GetRasterSize(int& width, int& height) const {
  if (!std::isfinite(m_raster_dpi) || !(m_raster_dpi > 0)) return false;
  const double scale = m_raster_dpi / 72.0;
  const double w = std::abs(static_cast<double>(m_printable.right) - m_printable.left) * scale;
  const double h = std::abs(static_cast<double>(m_printable.bottom) - m_printable.top) * scale;
  if (!(w >= 1) || !(h >= 1) || w > CRhinoUiDib::kMaxSide || h > CRhinoUiDib::kMaxSide || w * h > 64.0 * 1024 * 1024) {
    return false;
  }
  width = static_cast<int>(std::lround(w));
  height = static_cast<int>(std::lround(h));
  return true;
}

bool CRhinoPrintInfo::DrawToSingleDib(CRhinoDib& dib, bool grayscale, bool antialias) const {
  const CRhinoDoc* doc = RhinoApp().ActiveDoc();
  if (!doc) return false;
  CRhinoView* view = nullptr;
  CRhinoViewport* viewport = nullptr;
  for (int i = 0; i < doc->ViewCount() && !viewport; ++i) {
    view = doc->View(i);
    viewport = view->FindViewport(m_viewportId);
  }
  int width = 0, height = 0;
  if (!viewport || !GetRasterSize(width, height)) return false;

  zem::RenderSettings settings;
  settings.background = m_bDrawBackground;
  settings.lighting = m_bDrawLighting;
  settings.wires = m_bDrawWires;
  settings.applicationBackground = RhinoApp().AppSettings().ViewportBackgroundColor();
  const double lineScale = std::isfinite(m_vector_dpi) && m_vector_dpi > 0 ? m_vector_dpi / 72.0 : 1.0;
  const int factor = antialias && width * 2 <= CRhinoUiDib::kMaxSide && height * 2 <= CRhinoUiDib::kMaxSide &&
                             4.0 * width * height <= 64.0 * 1024 * 1024
                         ? 2
                         : 1;
  settings.width = width * factor;
  settings.height = height * factor;
  settings.lineWidth = static_cast<float>(std::clamp(lineScale * factor, 1.0, 16.0));

  CRhinoUiDib big;
  if (!zem::RenderOffscreen(*doc, viewport->VP(), *view->DisplayPipeline()->DisplayAttrs(), settings, big))
    return false;
  if (!dib.CreateDib(width, height, 24)) return false;
  // Average factor x factor blocks into each pixel.
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int sum[3] = {0, 0, 0};
      for (int dy = 0; dy < factor; ++dy) {
        for (int dx = 0; dx < factor; ++dx) {
          int r, g, b;
          big.GetPixel(x * factor + dx, y * factor + dy, r, g, b);
          sum[0] += r, sum[1] += g, sum[2] += b;
        }
      }
      const int n = factor * factor;
      int r = sum[0] / n, g = sum[1] / n, b = sum[2] / n;
      if (grayscale) r = g = b = (r * 299 + g * 587 + b * 114) / 1000;
      dib.SetPixel(x, y, r, g, b);
    }
  }
  return true;
}
