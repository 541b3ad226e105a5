#pragma once
// Draws the viewports of one view. While a viewport's frame is drawn, VP()
// is that viewport and the object list holds the objects it draws; display
// conduits run inside the frame and may fill rectangles over it. The host
// keeps a record of each viewport's last frame (what was filled, how many
// objects were drawn) in place of pixels.
#include "standin/host/CDisplayPipelineAttributes.h"
#include "standin/host/ON_Viewport.h"
#include "standin/platform/RuntimeClass.h"
#include "standin/platform/WinTypes.h"

#include <vector>

class CRhinoObject;
class CRhinoView;

namespace zem {

struct FilledRect {
  int x = 0, y = 0, width = 0, height = 0;
  COLORREF color = 0;
  int transparency = 0;  // 0 opaque .. 255 clear
};

struct FrameRecord {
  ON_UUID viewportId;
  int objectCount = 0;
  std::vector<FilledRect> fills;
};

}  // namespace zem

class CRhinoDisplayPipeline {
 public:
  CRhinoDisplayPipeline();
  virtual ~CRhinoDisplayPipeline() = default;

  // The run-time class, whose name tells which pipeline draws a view.
  virtual const CRuntimeClass* GetRuntimeClass() const;

  const CDisplayPipelineAttributes* DisplayAttrs() const { return &m_attributes; }
  CDisplayPipelineAttributes* DisplayAttrs() { return &m_attributes; }
  void SetDisplayAttrs(const CDisplayPipelineAttributes& attributes) { m_attributes = attributes; }

  // The viewport being drawn; between frames, the active viewport as of
  // the last redraw.
  const ON_Viewport& VP() const { return m_vp; }

  int GetObjectCount() const { return static_cast<int>(m_objects.size()); }
  const CRhinoObject* GetObject(int index) const;

  // Fills a rectangle of the frame (screen-port pixels from the top left).
  bool FillSolidRect(int x, int y, int width, int height, COLORREF color, int transparency = 0);

  // Records of the last frame of each viewport of the view, in viewport order.
  const std::vector<zem::FrameRecord>& LastFrames() const { return m_frames; }
  int FramesDrawn() const { return m_framesDrawn; }

 private:
  friend class CRhinoView;
  void DrawFrames(CRhinoView& view);

  CDisplayPipelineAttributes m_attributes;
  ON_Viewport m_vp;
  std::vector<const CRhinoObject*> m_objects;
  std::vector<zem::FrameRecord> m_frames;
  zem::FrameRecord* m_current = nullptr;
  int m_framesDrawn = 0;
};
