#include "importers/DefaultViews.h"

#include "standin/host/CRhinoDoc.h"

namespace zem {

namespace {

void SetUpView(CRhinoDoc& doc, const wchar_t* name, const wchar_t* mode, bool perspective, const ON_3dVector& direction,
               const ON_3dVector& up, const ON_BoundingBox& box) {
  CRhinoView* view = doc.CreateView(name);
  if (const CDisplayPipelineAttributes* attributes = FindDisplayMode(mode)) view->SetDisplayMode(*attributes);
  ON_Viewport& vp = view->ActiveViewport().VP();
  vp.SetScreenPort(0, 800, 600, 0);
  vp.SetProjection(perspective);
  vp.SetCamera(ON_3dPoint(0, 0, 0) - direction, ON_3dPoint(0, 0, 0), up);
  vp.SetCamera35mmLensLength(50);
  ON_BoundingBox extents = box;
  if (!extents.IsValid()) {
    extents.Set({-10, -10, -10}, false);
    extents.Set({10, 10, 10}, true);
  }
  vp.ZoomExtents(extents);
}

}  // namespace

void AddDefaultViews(CRhinoDoc& doc, const wchar_t* perspectiveMode) {
  const ON_BoundingBox box = doc.BoundingBox();
  SetUpView(doc, L"Perspective", perspectiveMode, true, ON_3dVector(-1, 1.6, -1.1), ON_3dVector::ZAxis, box);
  SetUpView(doc, L"Top", L"Wireframe", false, ON_3dVector(0, 0, -1), ON_3dVector::YAxis, box);
  SetUpView(doc, L"Front", L"Wireframe", false, ON_3dVector(0, 1, 0), ON_3dVector::ZAxis, box);
  SetUpView(doc, L"Right", L"Wireframe", false, ON_3dVector(-1, 0, 0), ON_3dVector::ZAxis, box);
}

}  // namespace zem
