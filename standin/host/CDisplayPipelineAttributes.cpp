#include "standin/host/CDisplayPipelineAttributes.h"

#include <cwctype>
#include <vector>

namespace {

CDisplayPipelineAttributes Mode(const wchar_t* name, bool shading, bool objectMaterial, bool curves, bool surfaceWires,
                                bool meshWires) {
  CDisplayPipelineAttributes a;
  a.m_szEnglishName = name;
  a.m_Id = ON_CreateUuid();
  a.m_bShadingOn = shading;
  a.m_bUseObjectMaterial = objectMaterial;
  a.m_bShowCurves = curves;
  a.m_bShowSurfaceWires = surfaceWires;
  a.m_bShowMeshWires = meshWires;
  a.m_FrontMaterial.m_material_name = name;
  a.m_FrontMaterial.m_diffuse = ON_Color(204, 204, 204);
  a.m_FrontMaterial.m_specular = ON_Color(255, 255, 255);
  a.m_FrontMaterial.SetShine(0.5 * ON_Material::MaxShine());
  return a;
}

const std::vector<CDisplayPipelineAttributes>& Modes() {
  static const std::vector<CDisplayPipelineAttributes> modes = [] {
    std::vector<CDisplayPipelineAttributes> m;
    // Wireframe: curves and every wire, nothing shaded.
    m.push_back(Mode(L"Wireframe", false, false, true, true, true));
    // Shaded: a plain shading material, with curves and brep edges.
    m.push_back(Mode(L"Shaded", true, false, true, true, false));
    // Rendered: the objects' own materials and textures, no edges, a soft
    // gradient behind.
    CDisplayPipelineAttributes rendered = Mode(L"Rendered", true, true, true, false, false);
    rendered.m_eFillMode = CDisplayPipelineAttributes::FBFM_GRADIENT_2_COLOR;
    rendered.m_GradTopLeft = rendered.m_GradTopRight = ON_Color(222, 228, 236);
    rendered.m_GradBotLeft = rendered.m_GradBotRight = ON_Color(150, 160, 175);
    m.push_back(rendered);
    // Ghosted: see-through shading with every edge.
    CDisplayPipelineAttributes ghosted = Mode(L"Ghosted", true, false, true, true, true);
    ghosted.m_FrontMaterial.m_transparency = 0.5;
    m.push_back(ghosted);
    CDisplayPipelineAttributes xray = Mode(L"X-Ray", true, false, true, true, true);
    xray.m_FrontMaterial.m_transparency = 0.7;
    m.push_back(xray);
    return m;
  }();
  return modes;
}

bool SameName(const std::wstring& a, const wchar_t* b) {
  std::size_t i = 0;
  for (; b[i]; ++i) {
    if (i >= a.size() || std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  return i == a.size();
}

}  // namespace

namespace zem {

const CDisplayPipelineAttributes* FindDisplayMode(const wchar_t* name) {
  if (!name) return nullptr;
  for (const CDisplayPipelineAttributes& mode : Modes()) {
    if (SameName(mode.m_szEnglishName, name)) return &mode;
  }
  return nullptr;
}

int DisplayModeCount() { return static_cast<int>(Modes().size()); }

const CDisplayPipelineAttributes& DisplayModeAt(int index) { return Modes().at(static_cast<std::size_t>(index)); }

}  // namespace zem
