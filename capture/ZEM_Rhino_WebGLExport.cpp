#include "capture/ZEM_Rhino_WebGLExport.h"

#include "capture/ExportSession.h"
#include "capture/PictureKind.h"
#include "capture/ResampleTo256.h"
#include "capture/TextureImageCache.h"
#include "page/Base64.h"
#include "page/PageFormat.h"
#include "standin/host/CRhinoDib.h"
#include "standin/host/CRhinoMaterialTable.h"
#include "standin/host/ON_Texture.h"
#include "page/DataFunctions.h"
#include "page/PageFormat.h"
#include "standin/platform/NativePath.h"

#include <optional>
#include <string>
#include <algorithm>
#include <filesystem>

namespace {

bool SameTexture(const ON_Texture& a, const ON_Texture& b) {
  return a.m_filename == b.m_filename && a.m_bOn == b.m_bOn && a.m_mode == b.m_mode && a.m_type == b.m_type &&
         a.m_blend_constant_A == b.m_blend_constant_A && a.m_blend_A[0] == b.m_blend_A[0];
}

// Shine as the page's exponent 0..128, in single precision.
float ShineNumber(const ON_Material& material) {
  return static_cast<float>(material.Shine() / ON_Material::MaxShine()) * 128.0f;
}

}  // namespace

bool zem::SameMaterial(const ON_Material& a, const ON_Material& b) {
  if (static_cast<unsigned int>(a.m_specular) != static_cast<unsigned int>(b.m_specular) ||
      static_cast<unsigned int>(a.m_emission) != static_cast<unsigned int>(b.m_emission) ||
      static_cast<unsigned int>(a.m_reflection) != static_cast<unsigned int>(b.m_reflection) ||
      static_cast<unsigned int>(a.m_ambient) != static_cast<unsigned int>(b.m_ambient))
    return false;
  if (a.m_shine != b.m_shine || a.m_reflectivity != b.m_reflectivity || a.m_transparency != b.m_transparency ||
      a.m_index_of_refraction != b.m_index_of_refraction)
    return false;
  if (a.m_textures.Count() != b.m_textures.Count() || a.m_material_name != b.m_material_name) return false;
  for (int i = 0; i < a.m_textures.Count(); ++i) {
    if (!SameTexture(a.m_textures[i], b.m_textures[i])) return false;
  }
  return true;
}

const ON_Texture* zem::BitmapTexture(const ON_Material& material) {
  int index = material.FindTexture(nullptr, ON_Texture::bitmap_texture, -1);
  return index >= 0 ? &material.m_textures[index] : nullptr;
}

ZEM_Rhino_WebGLExport::ZEM_Rhino_WebGLExport(zem::ExportContext& context) : m_context(context) {}

void ZEM_Rhino_WebGLExport::PrepareMaterialsAndTextures() {
  BuildExportedMaterials();
  PrepareTextureImages();
}

void ZEM_Rhino_WebGLExport::BuildExportedMaterials() {
  m_materialMap.clear();
  m_materials.clear();
  const CRhinoMaterialTable& table = m_context.Document().m_material_table;
  for (int m = 0; m < table.MaterialCount(); ++m) {
    const ON_Material& a = table[m];
    int found = -1;
    for (std::size_t j = 0; j < m_materials.size() && found < 0; ++j) {
      const ON_Material& b = table[m_materials[j]];
      if (static_cast<unsigned int>(a.m_diffuse) == static_cast<unsigned int>(b.m_diffuse) && zem::SameMaterial(a, b))
        found = static_cast<int>(j);
    }
    if (found < 0) {
      m_materialMap.push_back(static_cast<int>(m_materials.size()));
      m_materials.push_back(m);
    } else {
      m_materialMap.push_back(found);
    }
  }
}

void ZEM_Rhino_WebGLExport::PrepareTextureImages() {
  m_materialTextures.clear();
  m_unreadTextures.clear();
  const CRhinoMaterialTable& table = m_context.Document().m_material_table;
  for (int hostIndex : m_materials) {
    const ON_Texture* texture = zem::BitmapTexture(table[hostIndex]);
    m_materialTextures.push_back(texture && texture->m_bOn ? MakeTextureImage(*texture) : -1);
  }
}

int ZEM_Rhino_WebGLExport::MakeTextureImage(const ON_Texture& texture) {
  // Every slot taken: further materials are shaded without texture.
  if (ImageCount() >= kMaxImages) return -1;
  const std::wstring fileName = texture.m_filename;
  const bool png = zem::PictureKindOf(fileName) == zem::PictureKind::Png;
  const int channels = png ? 4 : 3;
  int width = 0, height = 0;
  zem::TextureImageCache& cache = zem::Session().TextureCache();
  zem::PixelBuffer pixels =
      png ? zem::LoadImageRGBA(cache, fileName, width, height) : zem::LoadImageRGB(cache, fileName, width, height);
  if (!pixels || width <= 0 || height <= 0) {
    if (std::find(m_unreadTextures.begin(), m_unreadTextures.end(), fileName) == m_unreadTextures.end())
      m_unreadTextures.push_back(fileName);
    return -1;
  }
  if (width != 256 || height != 256) {
    zem::PixelBuffer resampled(new (std::nothrow) unsigned char[256 * 256 * static_cast<std::size_t>(channels)]);
    if (!resampled) return -1;
    zem::ResampleTo256(width, height, pixels.get(), resampled.get(), channels);
    pixels = std::move(resampled);
  }

  CRhinoDib dib(256, 256, png ? 32 : 24, false, nullptr);
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) {
      const unsigned char* p = pixels.get() + (y * 256 + x) * channels;
      dib.SetPixel(x, y, p[0], p[1], p[2], png ? p[3] : -1);
    }
  }
  // Encoded in memory, so no temporary file is made (nor planted).
  std::string bytes;
  if (!zem::EncodeDib(dib, png, bytes)) return -1;
  std::optional<std::string> text =
      zem::Base64Encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  return AddImage(std::move(*text), !png);
}

int ZEM_Rhino_WebGLExport::MaterialNumberOf(int hostIndex) const {
  if (hostIndex >= 0 && hostIndex < static_cast<int>(m_materialMap.size())) return m_materialMap[hostIndex];
  return static_cast<int>(m_materials.size());
}

bool ZEM_Rhino_WebGLExport::HasTexture(int k) {
  if (k < 0 || k >= static_cast<int>(m_materials.size()) || !m_context.Display().m_bUseObjectMaterial) return false;
  const ON_Texture* texture = zem::BitmapTexture(m_context.Document().m_material_table[m_materials[k]]);
  return texture && texture->m_bOn && k < static_cast<int>(m_materialTextures.size()) && m_materialTextures[k] >= 0;
}

bool ZEM_Rhino_WebGLExport::UsesTexturedLayout(int k) {
  if (!HasTexture(k)) return false;
  const ON_Texture* texture = zem::BitmapTexture(m_context.Document().m_material_table[m_materials[k]]);
  return texture && texture->m_mode > 0;
}

bool ZEM_Rhino_WebGLExport::WriteMaterialRecord(ON_Color diffuse, ON_Color specular, ON_Color reflection,
                                                float transparency, float reflectivity, float shine, float refraction,
                                                int textureMode, int textureImage) {
  static_assert(int{ON_Texture::modulate_texture} == int{zem::page_format::kModulate} &&
                int{ON_Texture::decal_texture} == int{zem::page_format::kDecal});
  auto rgb = [](ON_Color c) { return zem::Rgb{c.FractionRed(), c.FractionGreen(), c.FractionBlue()}; };
  return zem::WriteMaterialRecord(
      *this, zem::MaterialRecord{rgb(diffuse), rgb(specular), rgb(reflection), reflectivity, transparency, refraction,
                                 shine, textureMode, textureImage});
}

bool ZEM_Rhino_WebGLExport::WriteMaterials() {
  if (!IsOpen()) return false;
  const ON_Material& modeMaterial = m_context.Display().m_FrontMaterial;
  auto writeDefault = [&] {
    WriteMaterialRecord(modeMaterial.m_diffuse, modeMaterial.m_specular, ON_Color(0, 0, 0), 0.0f, 0.0f,
                        ShineNumber(modeMaterial), 1.0f, 0, -1);
  };
  const CRhinoMaterialTable& table = m_context.Document().m_material_table;
  for (int k = 0; k < static_cast<int>(m_materials.size()); ++k) {
    if (!m_context.Display().m_bUseObjectMaterial) {
      writeDefault();
      continue;
    }
    const ON_Material& m = table[m_materials[k]];
    const ON_Texture* texture = zem::BitmapTexture(m);
    const int mode = HasTexture(k) && texture ? static_cast<int>(texture->m_mode) : 0;
    const int image = k < static_cast<int>(m_materialTextures.size()) ? m_materialTextures[k] : -1;
    WriteMaterialRecord(m.m_diffuse, m.m_specular, m.m_reflection, static_cast<float>(m.m_transparency),
                        static_cast<float>(m.m_reflectivity), ShineNumber(m),
                        static_cast<float>(m.m_index_of_refraction), mode, image);
  }
  writeDefault();
  return true;
}

bool ZEM_Rhino_WebGLExport::WriteInitTextures() { return zem::WriteInitTexturesFunction(*this); }
