#include "standin/host/CRhinoObject.h"

#include "standin/host/CRhinoDoc.h"

int CRhinoObject::GetMeshes(ON::mesh_type, ON_SimpleArray<const ON_Mesh*>&) const { return 0; }

int CRhinoObject::GetWireframeCurves(ON_SimpleArray<ON_Curve*>&) const { return 0; }

bool CRhinoObject::ModifyAttributes(const ON_3dmObjectAttributes& attributes) {
  const ON_UUID id = m_attributes.m_uuid;
  m_attributes = attributes;
  m_attributes.m_uuid = id;
  if (m_doc) m_doc->RefreshViews(true);
  return true;
}

bool CRhinoObject::IsHidden() const { return m_attributes.Mode() == ON_3dmObjectAttributes::hidden_object; }

bool CRhinoObject::IsVisible() const {
  if (m_deleted || IsHidden()) return false;
  return !m_doc || m_doc->m_layer_table.IsLayerShown(m_attributes.m_layer_index);
}

bool CRhinoObject::IsLocked() const {
  if (m_attributes.Mode() == ON_3dmObjectAttributes::locked_object) return true;
  return m_doc && m_doc->m_layer_table.IsLayerLocked(m_attributes.m_layer_index);
}

const CRhinoMaterial& CRhinoObject::ObjectMaterial() const {
  if (!m_doc) return CRhinoMaterialTable::DefaultMaterial();
  int index = m_attributes.m_material_index;
  if (m_attributes.MaterialSource() == ON_3dmObjectAttributes::material_from_layer) {
    const CRhinoLayerTable& layers = m_doc->m_layer_table;
    const int layer = m_attributes.m_layer_index;
    index = layer >= 0 && layer < layers.LayerCount() ? layers[layer].m_material_index : -1;
  }
  const CRhinoMaterialTable& materials = m_doc->m_material_table;
  if (index < 0 || index >= materials.MaterialCount()) return CRhinoMaterialTable::DefaultMaterial();
  return materials[index];
}

ON_Color CRhinoObject::ObjectDrawColor(bool selected) const {
  if (selected) return ON_Color(255, 255, 0);
  switch (m_attributes.ColorSource()) {
    case ON_3dmObjectAttributes::color_from_object:
      return m_attributes.m_color;
    case ON_3dmObjectAttributes::color_from_material:
      return ObjectMaterial().Diffuse();
    case ON_3dmObjectAttributes::color_from_layer:
    default: {
      if (!m_doc) return ON_Color(0, 0, 0);
      const CRhinoLayerTable& layers = m_doc->m_layer_table;
      const int layer = m_attributes.m_layer_index;
      return layer >= 0 && layer < layers.LayerCount() ? layers[layer].Color() : ON_Color(0, 0, 0);
    }
  }
}
