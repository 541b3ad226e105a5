#pragma once
// The document's materials, addressed by index 0 .. MaterialCount() - 1.
#include "standin/host/ON_Material.h"

#include <vector>

class CRhinoDoc;

class CRhinoMaterial : public ON_Material {
 public:
  CRhinoMaterial() = default;
  explicit CRhinoMaterial(const ON_Material& material) : ON_Material(material) {}
};

class CRhinoMaterialTable {
 public:
  int MaterialCount() const { return static_cast<int>(m_materials.size()); }
  const CRhinoMaterial& operator[](int index) const;
  // Appends a material and answers its index; watchers hear of it.
  int AddMaterial(const ON_Material& material);
  bool ModifyMaterial(const ON_Material& material, int index);
  int FindMaterial(const wchar_t* name) const;
  // The material of objects without a document material (index -1).
  static const CRhinoMaterial& DefaultMaterial();

 private:
  friend class CRhinoDoc;
  CRhinoDoc* m_doc = nullptr;
  std::vector<CRhinoMaterial> m_materials;
};
