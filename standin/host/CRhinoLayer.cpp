#include "standin/host/CRhinoLayer.h"

#include <cassert>
#include <cwchar>

CRhinoLayerTable::CRhinoLayerTable() {
  ON_Layer defaultLayer;
  defaultLayer.m_name = L"Default";
  AddLayer(defaultLayer);
}

const CRhinoLayer& CRhinoLayerTable::operator[](int index) const {
  assert(index >= 0 && index < LayerCount());
  return m_layers[static_cast<std::size_t>(index)];
}

CRhinoLayer& CRhinoLayerTable::operator[](int index) {
  assert(index >= 0 && index < LayerCount());
  return m_layers[static_cast<std::size_t>(index)];
}

int CRhinoLayerTable::AddLayer(const ON_Layer& layer) {
  CRhinoLayer added(layer);
  added.m_layer_index = LayerCount();
  if (added.m_parent_index < 0 || added.m_parent_index >= added.m_layer_index) added.m_parent_index = -1;
  if (added.m_layer_id == ON_nil_uuid) added.m_layer_id = ON_CreateUuid();
  m_layers.push_back(added);
  return added.m_layer_index;
}

int CRhinoLayerTable::FindLayer(const wchar_t* name) const {
  for (const CRhinoLayer& layer : m_layers) {
    if (name && layer.m_name == name) return layer.m_layer_index;
  }
  return -1;
}

bool CRhinoLayerTable::ModifyLayer(const ON_Layer& layer, int index) {
  if (index < 0 || index >= LayerCount()) return false;
  CRhinoLayer& target = m_layers[static_cast<std::size_t>(index)];
  const int parent = target.m_parent_index;
  static_cast<ON_Layer&>(target) = layer;
  // Parents always come earlier, so the chain of parents has an end.
  if (target.m_parent_index < 0 || target.m_parent_index >= index) target.m_parent_index = parent;
  return true;
}

bool CRhinoLayerTable::IsLayerShown(int index) const {
  if (index < 0 || index >= LayerCount()) return false;
  for (int i = index; i >= 0; i = m_layers[static_cast<std::size_t>(i)].m_parent_index) {
    if (!m_layers[static_cast<std::size_t>(i)].m_bVisible) return false;
  }
  return true;
}

bool CRhinoLayerTable::IsLayerLocked(int index) const {
  if (index < 0 || index >= LayerCount()) return false;
  for (int i = index; i >= 0; i = m_layers[static_cast<std::size_t>(i)].m_parent_index) {
    if (m_layers[static_cast<std::size_t>(i)].m_bLocked) return true;
  }
  return false;
}
