#include "standin/host/CRhinoMaterialTable.h"

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoEventWatcher.h"

#include <cassert>

const CRhinoMaterial& CRhinoMaterialTable::operator[](int index) const {
  assert(index >= 0 && index < MaterialCount());
  return m_materials[static_cast<std::size_t>(index)];
}

int CRhinoMaterialTable::AddMaterial(const ON_Material& material) {
  CRhinoMaterial added(material);
  added.m_material_index = MaterialCount();
  m_materials.push_back(added);
  const int index = added.m_material_index;
  if (m_doc && RhinoApp().ActiveDoc() == m_doc) {
    RhinoApp().NotifyWatchers([&](CRhinoEventWatcher& w) {
      w.MaterialTableEvent(CRhinoEventWatcher::material_added, *this, index, nullptr);
    });
  }
  return index;
}

bool CRhinoMaterialTable::ModifyMaterial(const ON_Material& material, int index) {
  if (index < 0 || index >= MaterialCount()) return false;
  const ON_Material old = m_materials[static_cast<std::size_t>(index)];
  m_materials[static_cast<std::size_t>(index)] = CRhinoMaterial(material);
  m_materials[static_cast<std::size_t>(index)].m_material_index = index;
  if (m_doc) m_doc->RefreshViews(true);
  if (m_doc && RhinoApp().ActiveDoc() == m_doc) {
    RhinoApp().NotifyWatchers([&](CRhinoEventWatcher& w) {
      w.MaterialTableEvent(CRhinoEventWatcher::material_modified, *this, index, &old);
    });
  }
  return true;
}

int CRhinoMaterialTable::FindMaterial(const wchar_t* name) const {
  for (const CRhinoMaterial& m : m_materials) {
    if (name && m.m_material_name == name) return m.m_material_index;
  }
  return -1;
}

const CRhinoMaterial& CRhinoMaterialTable::DefaultMaterial() {
  static const CRhinoMaterial material = [] {
    CRhinoMaterial m;
    m.m_material_name = L"Default";
    m.m_diffuse = ON_Color(255, 255, 255);
    m.m_material_index = -1;
    return m;
  }();
  return material;
}
