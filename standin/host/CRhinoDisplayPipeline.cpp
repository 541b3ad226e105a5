#include "standin/host/CRhinoDisplayPipeline.h"

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDisplayConduit.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoView.h"

#include <algorithm>

CRhinoDisplayPipeline::CRhinoDisplayPipeline() {
  if (const CDisplayPipelineAttributes* shaded = zem::FindDisplayMode(L"Shaded")) m_attributes = *shaded;
}

const CRuntimeClass* CRhinoDisplayPipeline::GetRuntimeClass() const {
  static const CRuntimeClass runtimeClass{"CRhinoDisplayPipeline_OGL"};
  return &runtimeClass;
}

const CRhinoObject* CRhinoDisplayPipeline::GetObject(int index) const {
  return index >= 0 && index < GetObjectCount() ? m_objects[static_cast<std::size_t>(index)] : nullptr;
}

bool CRhinoDisplayPipeline::FillSolidRect(int x, int y, int width, int height, COLORREF color, int transparency) {
  if (!m_current || width <= 0 || height <= 0) return false;
  m_current->fills.push_back(zem::FilledRect{x, y, width, height, color, std::clamp(transparency, 0, 255)});
  return true;
}

void CRhinoDisplayPipeline::DrawFrames(CRhinoView& view) {
  m_frames.clear();
  CRhinoDoc* doc = view.Document();
  for (int v = 0; v < view.ViewportCount(); ++v) {
    m_vp = view.ViewportAt(v).VP();
    m_objects.clear();
    for (int i = 0; doc && i < doc->ObjectSlotCount(); ++i) {
      const CRhinoObject* object = doc->ObjectSlot(i);
      if (object->IsVisible()) m_objects.push_back(object);
    }
    m_frames.push_back(zem::FrameRecord{m_vp.ViewportId(), GetObjectCount(), {}});
    m_current = &m_frames.back();
    for (unsigned int channel : {CRhinoDisplayConduit::SC_PREDRAWOBJECTS, CRhinoDisplayConduit::SC_POSTDRAWOBJECTS,
                                 CRhinoDisplayConduit::SC_DRAWFOREGROUND}) {
      const std::vector<CRhinoDisplayConduit*> conduits = RhinoApp().Conduits();
      for (CRhinoDisplayConduit* conduit : conduits) {
        const auto& live = RhinoApp().Conduits();
        if (std::find(live.begin(), live.end(), conduit) == live.end()) continue;
        if (!conduit->IsEnabled() || !(conduit->Channels() & channel)) continue;
        bool terminate = false;
        conduit->ExecConduit(*this, channel, terminate);
        if (terminate) break;
      }
    }
    m_current = nullptr;
    ++m_framesDrawn;
  }
  m_objects.clear();
  m_vp = view.ActiveViewport().VP();
}
