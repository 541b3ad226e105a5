#include "dialog/ZEM_ActiveViewportDisplay.h"

#include "capture/PageWireSelection.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoView.h"
#include "standin/host/RhinoConvertCurveToPolyline.h"

namespace {

// The veil over a viewport that will not be exported.
constexpr COLORREF kVeilColour = 0;
constexpr int kVeilTransparency = 64;

// Every view of the active document is drawn again at the next idle moment.
void RedrawAllViews() {
  if (CRhinoDoc* doc = RhinoApp().ActiveDoc()) {
    doc->RefreshViews(true);
    doc->DeferredRedraw();
  }
}

void CountMeshes(const CRhinoObject& object, zem::PreviewCounts& counts) {
  ON_SimpleArray<const ON_Mesh*> meshes;
  if (object.GetMeshes(ON::render_mesh, meshes) <= 0) return;
  for (int i = 0; i < meshes.Count(); ++i) {
    const ON_Mesh* mesh = meshes[i];
    if (mesh == nullptr) continue;
    ++counts.meshes;
    const long long n = mesh->TriangleCount() + 2LL * mesh->QuadCount();
    // Textured vertex records are larger by about a third.
    counts.triangles += mesh->HasTextureCoordinates() ? n + n / 3 : n;
  }
}

void CountWires(const CRhinoObject& object, zem::PreviewCounts& counts) {
  ON_SimpleArray<ON_Curve*> curves;
  object.GetWireframeCurves(curves);
  for (int i = 0; i < curves.Count(); ++i) {
    if (curves[i]) {
      ON_PolylineCurve polyline;
      RhinoConvertCurveToPolyline(*curves[i], 0, 0, 0.25, 1.0, 0, 0, 0, 0, &polyline, true, nullptr);
      counts.points += polyline.PointCount();
      ++counts.curves;
    }
    // The wire curves are new copies that belong to the caller.
    delete curves[i];
  }
}

}  // namespace

ZEM_ActiveViewportDisplay::ActiveViewEvent::~ActiveViewEvent() = default;

void ZEM_ActiveViewportDisplay::ActiveViewEvent::OnSetActiveView(CRhinoView*) { RedrawAllViews(); }

ZEM_ActiveViewportDisplay::ZEM_ActiveViewportDisplay()
    : CRhinoDisplayConduit(CRhinoDisplayConduit::SC_DRAWFOREGROUND, false) {}

ZEM_ActiveViewportDisplay::~ZEM_ActiveViewportDisplay() = default;

void ZEM_ActiveViewportDisplay::Activate() {
  m_counting = true;
  m_watcher.Register();
  m_watcher.Enable(true);
  Enable();
  RedrawAllViews();
}

void ZEM_ActiveViewportDisplay::Deactivate() {
  m_watcher.UnRegister();
  m_watcher.Enable(false);
  Disable();
  RedrawAllViews();
}

bool ZEM_ActiveViewportDisplay::ExecConduit(CRhinoDisplayPipeline& pipeline, UINT, bool&) {
  // Without an active view (a document closing, or one without views) there
  // is nothing to veil and nothing to count.
  const CRhinoView* active = RhinoApp().ActiveView();
  if (active == nullptr) return true;
  const ON_Viewport& vp = pipeline.VP();
  if (active->ActiveViewportID() != vp.ViewportId()) {
    int left = 0, right = 0, bottom = 0, top = 0;
    vp.GetScreenPort(&left, &right, &bottom, &top);
    pipeline.FillSolidRect(0, 0, right - left, bottom - top, kVeilColour, kVeilTransparency);
    return true;
  }
  if (!m_counting) return true;
  zem::PreviewCounts counts;
  const CDisplayPipelineAttributes& display = *pipeline.DisplayAttrs();
  for (int i = 0; i < pipeline.GetObjectCount(); ++i) {
    const CRhinoObject* object = pipeline.GetObject(i);
    if (object == nullptr || !object->IsVisible()) continue;
    const ON::object_type type = object->ObjectType();
    if (display.m_bShadingOn && (type == ON::mesh_object || type == ON::brep_object)) CountMeshes(*object, counts);
    if (zem::PageTakesWires(*object, display)) CountWires(*object, counts);
  }
  // All four together, at the end of the frame.
  m_counts = counts;
  return true;
}
