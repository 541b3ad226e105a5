#include "standin/host/ON_Material.h"

#include <algorithm>
#include <cwchar>

void ON_Material::SetShine(double shine) { m_shine = std::clamp(shine, 0.0, MaxShine()); }

int ON_Material::FindTexture(const wchar_t* filename, ON_Texture::TYPE type, int i0) const {
  for (int i = std::max(i0 + 1, 0); i < m_textures.Count(); ++i) {
    const ON_Texture& t = m_textures[i];
    if (t.m_type != type) continue;
    if (filename && std::wcscmp(filename, t.m_filename.c_str()) != 0) continue;
    return i;
  }
  return -1;
}

int ON_Material::AddTexture(const wchar_t* filename, ON_Texture::TYPE type) {
  ON_Texture& t = m_textures.AppendNew();
  t.m_filename = filename;
  t.m_type = type;
  return m_textures.Count() - 1;
}
