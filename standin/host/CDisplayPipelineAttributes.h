#pragma once
// How a display mode draws: which objects and wires it shows, whether it
// shades with the objects' own materials, its background, and the material
// it shades with otherwise.
#include "standin/host/ON_Color.h"
#include "standin/host/ON_Material.h"
#include "standin/host/ON_UUID.h"
#include "standin/host/ON_wString.h"

class CDisplayPipelineAttributes {
 public:
  enum EFrameBufferFillMode : int {
    FBFM_DEFAULT_COLOR = 1,     // the application's viewport background colour
    FBFM_SOLID_COLOR = 2,       // m_SolidColor
    FBFM_GRADIENT_2_COLOR = 3,  // m_GradTopLeft at the top to m_GradBotLeft at the bottom
    FBFM_GRADIENT_4_COLOR = 4,  // the four corner colours
  };

  int BackgroundFillMode() const { return m_eFillMode; }
  void SetBackgroundFillMode(int mode) { m_eFillMode = mode; }

  ON_wString m_szEnglishName;
  ON_UUID m_Id;

  // Meshes and brep render meshes are shaded.
  bool m_bShadingOn = true;
  // Shaded objects use their own materials (colours and textures); else
  // m_FrontMaterial.
  bool m_bUseObjectMaterial = false;
  // Curve objects are drawn.
  bool m_bShowCurves = true;
  // Brep edges are drawn.
  bool m_bShowSurfaceWires = true;
  // Mesh boundary edges are drawn.
  bool m_bShowMeshWires = false;

  int m_eFillMode = FBFM_DEFAULT_COLOR;
  ON_Color m_SolidColor{255, 255, 255};
  ON_Color m_GradTopLeft{200, 200, 200};
  ON_Color m_GradBotLeft{140, 140, 140};
  ON_Color m_GradTopRight{200, 200, 200};
  ON_Color m_GradBotRight{140, 140, 140};

  // The display mode's own material: its diffuse and specular colours and
  // shine.
  ON_Material m_FrontMaterial;
};

namespace zem {

// The named display modes a user knows: "Wireframe", "Shaded", "Rendered",
// "Ghosted" and "X-Ray". Null for another name (compared without case).
const CDisplayPipelineAttributes* FindDisplayMode(const wchar_t* name);
// Every named display mode, in the order above.
int DisplayModeCount();
const CDisplayPipelineAttributes& DisplayModeAt(int index);

}  // namespace zem
