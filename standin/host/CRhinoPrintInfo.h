#pragma once
// Printing a viewport to a bitmap. The layout rectangle is measured in
// points (1/72 inch); the raster resolution turns it into pixels, so a
// rectangle of 800 x 600 at 72 dots per inch gives an 800 x 600 bitmap.
// The picture is rendered offscreen (Mesa's OSMesa): the background as the
// display mode fills it, shaded meshes lit from the camera in their
// materials (or the display mode's), curves and wires in their draw
// colours.
#include "standin/host/CRhinoDib.h"
#include "standin/host/ON_UUID.h"
#include "standin/platform/WinTypes.h"

class CRhinoPrintInfo {
 public:
  // The background as the display mode fills it (else white).
  bool m_bDrawBackground = false;
  // Shading lit from the camera (else flat colours).
  bool m_bDrawLighting = false;
  // Curves and wires (else only shaded meshes).
  bool m_bDrawWires = false;
  // Pixels per inch of the bitmap, and of the lines drawn into it (a line
  // is one point wide).
  double m_raster_dpi = 300.0;
  double m_vector_dpi = 300.0;

  // The paper and the part of it that is printed; the printed part is
  // rendered (the whole paper when none is given).
  void SetLayoutRectangles(const RECT& paper, const RECT* printable = nullptr);
  // The viewport to print, by id, among the active document's views.
  bool SetViewport(const ON_UUID& viewportId);
  const ON_UUID& ViewportId() const { return m_viewportId; }

  // Width and height in pixels of the bitmap DrawToSingleDib makes.
  bool GetRasterSize(int& width, int& height) const;

  // Renders into `dib` (made 24 bits, the raster size). Answers false when
  // there is no such viewport, the size is empty or too large, or no
  // offscreen renderer can be had.
  bool DrawToSingleDib(CRhinoDib& dib, bool grayscale = false, bool antialias = true) const;

 private:
  RECT m_printable{0, 0, 0, 0};
  ON_UUID m_viewportId;
};
