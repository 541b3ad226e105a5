#pragma once
// A view of a document: one or several viewports (a main viewport and, on a
// layout, detail viewports), one of them active, drawn by the view's display
// pipeline.
#include "standin/host/CRhinoDisplayPipeline.h"
#include "standin/host/CRhinoViewport.h"

#include <memory>
#include <vector>

class CRhinoDoc;

class CRhinoView {
 public:
  CRhinoView(CRhinoDoc& doc, const wchar_t* name);
  CRhinoView(const CRhinoView&) = delete;
  CRhinoView& operator=(const CRhinoView&) = delete;
  virtual ~CRhinoView() = default;

  CRhinoDoc* Document() const { return m_doc; }
  const ON_wString& Name() const { return MainViewport().Name(); }

  CRhinoViewport& ActiveViewport();
  const CRhinoViewport& ActiveViewport() const;
  // The active viewport.
  CRhinoViewport& Viewport() { return ActiveViewport(); }
  const CRhinoViewport& Viewport() const { return ActiveViewport(); }
  CRhinoViewport& MainViewport() { return *m_viewports.front(); }
  const CRhinoViewport& MainViewport() const { return *m_viewports.front(); }
  ON_UUID ActiveViewportID() const { return ActiveViewport().ViewportId(); }

  int ViewportCount() const { return static_cast<int>(m_viewports.size()); }
  CRhinoViewport& ViewportAt(int index) { return *m_viewports.at(static_cast<std::size_t>(index)); }
  const CRhinoViewport& ViewportAt(int index) const { return *m_viewports.at(static_cast<std::size_t>(index)); }
  CRhinoViewport* AddViewport(const wchar_t* name);
  bool SetActiveViewport(const ON_UUID& viewportId);
  CRhinoViewport* FindViewport(const ON_UUID& viewportId);

  CRhinoDisplayPipeline* DisplayPipeline() const { return m_pipeline.get(); }
  // Replaces the pipeline (another renderer's); it keeps the display mode.
  void SetDisplayPipeline(std::unique_ptr<CRhinoDisplayPipeline> pipeline);
  // Draws with a copy of the given display mode.
  void SetDisplayMode(const CDisplayPipelineAttributes& attributes);

  // Draws every viewport now, one frame each.
  void Redraw();
  // Marks the view for the next deferred redraw.
  void Invalidate() { m_needsRedraw = true; }
  bool NeedsRedraw() const { return m_needsRedraw; }

 private:
  friend class CRhinoDoc;
  CRhinoDoc* m_doc;
  std::vector<std::unique_ptr<CRhinoViewport>> m_viewports;
  std::size_t m_active = 0;
  std::unique_ptr<CRhinoDisplayPipeline> m_pipeline;
  bool m_needsRedraw = true;
};
