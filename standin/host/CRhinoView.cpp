#include "standin/host/CRhinoView.h"

CRhinoView::CRhinoView(CRhinoDoc& doc, const wchar_t* name)
    : m_doc(&doc), m_pipeline(std::make_unique<CRhinoDisplayPipeline>()) {
  m_viewports.push_back(std::make_unique<CRhinoViewport>(name));
}

CRhinoViewport& CRhinoView::ActiveViewport() { return *m_viewports[m_active]; }
const CRhinoViewport& CRhinoView::ActiveViewport() const { return *m_viewports[m_active]; }

CRhinoViewport* CRhinoView::AddViewport(const wchar_t* name) {
  m_viewports.push_back(std::make_unique<CRhinoViewport>(name));
  m_needsRedraw = true;
  return m_viewports.back().get();
}

bool CRhinoView::SetActiveViewport(const ON_UUID& viewportId) {
  for (std::size_t i = 0; i < m_viewports.size(); ++i) {
    if (m_viewports[i]->ViewportId() == viewportId) {
      m_active = i;
      return true;
    }
  }
  return false;
}

CRhinoViewport* CRhinoView::FindViewport(const ON_UUID& viewportId) {
  for (auto& viewport : m_viewports) {
    if (viewport->ViewportId() == viewportId) return viewport.get();
  }
  return nullptr;
}

void CRhinoView::SetDisplayPipeline(std::unique_ptr<CRhinoDisplayPipeline> pipeline) {
  if (!pipeline) return;
  pipeline->SetDisplayAttrs(*m_pipeline->DisplayAttrs());
  m_pipeline = std::move(pipeline);
  m_needsRedraw = true;
}

void CRhinoView::SetDisplayMode(const CDisplayPipelineAttributes& attributes) {
  m_pipeline->SetDisplayAttrs(attributes);
  m_needsRedraw = true;
}

void CRhinoView::Redraw() {
  m_needsRedraw = false;
  m_pipeline->DrawFrames(*this);
}
