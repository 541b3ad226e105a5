#pragma once
// The page writer bound to a host document: it knows the document, the
// active view's display attributes and how the document's materials map to
// the page's material records and texture images.
#include <functional>
#include <vector>

#include "standin/host/CDisplayPipelineAttributes.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/ON_Color.h"
#include "page/ZEM_WebGLExport.h"

class ZEM_Rhino_WebGLExport : public ZEM_WebGLExport {
 public:
  ZEM_Rhino_WebGLExport(CRhinoDoc& document, const CDisplayPipelineAttributes& displayAttrs);

  // True when exported material k is drawn with its texture image: the
  // display shades with object materials, the material has an enabled
  // bitmap texture, and that texture got an image.
  bool HasTexture(int materialNumber) override;
  // True when the viewer reads the buffers of exported material k with
  // texture coordinates: its record has a texture image and a texture mode
  // above 0. Mesh buffers of that material must be written so.
  bool UsesTexturedLayout(int materialNumber);

  // Builds the exported materials (host materials that look the same are
  // merged) and one texture image per exported material with an enabled
  // bitmap texture. Call once, before OpenPage.
  void PrepareMaterialsAndTextures();
  // The exported material number of a host material-table index; indices
  // below 0 (no document material) give the default record's number.
  int MaterialNumberOf(int hostIndex) const;
  // Writes the material records (one per exported material, then the
  // default record) inside initVB.
  bool WriteMaterials();
  // Writes one record. The specular colour is written as black when shine
  // is below 1.
  bool WriteMaterialRecord(ON_Color diffuse, ON_Color specular, ON_Color reflection, float transparency,
                           float reflectivity, float shine, float refraction, int textureMode, int textureImage);
  // Writes the initTextures function.
  bool WriteInitTextures();
  // Renders the active view at 800 x 600 into m_previewImage (left empty
  // when it cannot be rendered or written). Call before OpenPage.
  void CapturePreviewImage();

  CRhinoDoc& m_document;
  const CDisplayPipelineAttributes& m_displayAttrs;
  std::vector<int> m_materialMap;       // host material index -> exported material number
  std::vector<int> m_materials;         // exported material -> representing host material index
  std::vector<int> m_materialTextures;  // exported material -> texture image number or -1
  // Told the number of mesh triangles written so far, at every buffer.
  std::function<void(long long)> m_progress;
  long long m_trianglesWritten = 0;
  // Threads that format mesh buffers (0: as many as the machine has cores).
  // The page is the same for any count.
  int m_threads = 1;
  // Mesh buffers are stored indexed, as base64, and decoded by the page
  // (see CompactMesh.h) instead of being written as number literals.
  bool m_compact = false;
  bool m_meshDecoderWritten = false;

 private:
  void BuildExportedMaterials();
  void PrepareTextureImages();
  int MakeTextureImage(const ON_Texture& texture);
};

// Whether two host materials look the same in the page, apart from their
// diffuse colour (which the caller compares first).
bool SameMaterial(const ON_Material& a, const ON_Material& b);

namespace zem {

// The bitmap texture of a material (the first texture of the bitmap type),
// or null.
const ON_Texture* BitmapTexture(const ON_Material& material);

}  // namespace zem
