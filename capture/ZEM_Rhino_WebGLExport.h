#pragma once
// The page writer bound to a host document: it works from the export's
// context (document, display attributes, options, progress) and knows how
// the document's materials map to the page's material records and texture
// images. Its operations read the host and hand plain values to page/.
#include <vector>

#include "capture/ExportContext.h"
#include "page/ZEM_WebGLExport.h"
#include "standin/host/ON_Color.h"

class ZEM_Rhino_WebGLExport : public ZEM_WebGLExport {
 public:
  // The context must outlive the writer.
  explicit ZEM_Rhino_WebGLExport(zem::ExportContext& context);

  zem::ExportContext& Context() const { return m_context; }

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
  // Renders the active view at 800 x 600 into the preview image (left
  // empty when it cannot be rendered or written). Call before WriteBody.
  void CapturePreviewImage();

  // Host material index -> exported material number.
  const std::vector<int>& MaterialMap() const { return m_materialMap; }
  // Exported material -> the host material index that represents it.
  const std::vector<int>& ExportedMaterials() const { return m_materials; }
  // Exported material -> its texture image number, or -1.
  const std::vector<int>& MaterialTextures() const { return m_materialTextures; }
  // The texture files that could not be read as images, each once, so that
  // whoever runs the export can say so (a missing file is noted when the
  // model is read; one that is there but no picture would go unnoticed).
  const std::vector<std::wstring>& UnreadTextures() const { return m_unreadTextures; }

 private:
  zem::ExportContext& m_context;
  std::vector<int> m_materialMap;
  std::vector<int> m_materials;
  std::vector<int> m_materialTextures;
  std::vector<std::wstring> m_unreadTextures;

  void BuildExportedMaterials();
  void PrepareTextureImages();
  int MakeTextureImage(const ON_Texture& texture);
};

// Whether two host materials look the same in the page, apart from their
// diffuse colour (which the caller compares first).
namespace zem {

bool SameMaterial(const ON_Material& a, const ON_Material& b);

// The bitmap texture of a material (the first texture of the bitmap type),
// or null.
const ON_Texture* BitmapTexture(const ON_Material& material);

}  // namespace zem
