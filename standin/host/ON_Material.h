#pragma once
// A rendering material: colours, shine, reflection, transparency, index of
// refraction and textures.
#include "standin/host/ON_Color.h"
#include "standin/host/ON_SimpleArray.h"
#include "standin/host/ON_Texture.h"
#include "standin/host/ON_wString.h"

class ON_Material {
 public:
  // Shine runs from 0 (dull) to MaxShine (a mirror-sharp highlight).
  static double MaxShine() { return 255.0; }

  double Shine() const { return m_shine; }
  void SetShine(double shine);
  double Transparency() const { return m_transparency; }
  ON_Color Diffuse() const { return m_diffuse; }
  ON_Color Specular() const { return m_specular; }
  int MaterialIndex() const { return m_material_index; }
  const ON_wString& Name() const { return m_material_name; }

  // Index of the first texture from index i0 + 1 on whose type is `type`
  // and, when a file name is given, whose file name matches it (case
  // sensitively); -1 when there is none.
  int FindTexture(const wchar_t* filename, ON_Texture::TYPE type, int i0 = -1) const;
  // Appends a bitmap texture of the file; answers its index.
  int AddTexture(const wchar_t* filename, ON_Texture::TYPE type = ON_Texture::bitmap_texture);

  ON_wString m_material_name;
  int m_material_index = -1;  // index in the document's material table
  ON_Color m_ambient{0, 0, 0};
  ON_Color m_diffuse{128, 128, 128};
  ON_Color m_emission{0, 0, 0};
  ON_Color m_specular{255, 255, 255};
  ON_Color m_reflection{255, 255, 255};
  ON_Color m_transparent{255, 255, 255};
  double m_index_of_refraction = 1.0;
  double m_reflectivity = 0.0;
  double m_shine = 0.0;
  double m_transparency = 0.0;  // 0 opaque, 1 clear
  ON_ObjectArray<ON_Texture> m_textures;
};
