#include "standin/host/CRhinoDoc.h"

#include "standin/host/CRhinoApp.h"

#include <cwctype>

namespace {
unsigned int NextSerial() {
  static unsigned int serial = 0;
  return ++serial;
}
}  // namespace

CRhinoDoc::CRhinoDoc() : m_serial(NextSerial()), m_title(L"Untitled") { m_material_table.m_doc = this; }

CRhinoDoc::~CRhinoDoc() = default;

bool CRhinoDoc::AddObject(CRhinoObject* object, bool reference) {
  if (!object) return false;
  if (object->m_doc) return false;
  std::unique_ptr<CRhinoObject> owned(object);
  object->m_doc = this;
  object->m_reference = reference;
  if (object->m_attributes.m_uuid == ON_nil_uuid) object->m_attributes.m_uuid = ON_CreateUuid();
  if (object->m_attributes.m_layer_index < 0 || object->m_attributes.m_layer_index >= m_layer_table.LayerCount()) {
    object->m_attributes.m_layer_index = m_layer_table.CurrentLayerIndex();
  }
  m_objects.push_back(std::move(owned));
  RefreshViews(true);
  return true;
}

bool CRhinoDoc::DeleteObject(const CRhinoObject* object) {
  for (auto& slot : m_objects) {
    if (slot.get() == object && !slot->m_deleted) {
      slot->m_deleted = true;
      RefreshViews(true);
      return true;
    }
  }
  return false;
}

CRhinoObject* CRhinoDoc::ObjectSlot(int index) const {
  return index >= 0 && index < ObjectSlotCount() ? m_objects[static_cast<std::size_t>(index)].get() : nullptr;
}

ON_BoundingBox CRhinoDoc::BoundingBox() const {
  ON_BoundingBox box;
  for (const auto& object : m_objects) {
    if (object->IsVisible()) box.Union(object->BoundingBox());
  }
  return box;
}

CRhinoView* CRhinoDoc::View(int index) const {
  return index >= 0 && index < ViewCount() ? m_views[static_cast<std::size_t>(index)].get() : nullptr;
}

CRhinoView* CRhinoDoc::FindView(const wchar_t* name) const {
  if (!name) return nullptr;
  for (const auto& view : m_views) {
    const ON_wString& viewName = view->Name();
    std::size_t i = 0;
    for (; name[i] && i < viewName.size(); ++i) {
      if (std::towlower(name[i]) != std::towlower(viewName[i])) break;
    }
    if (!name[i] && i == viewName.size()) return view.get();
  }
  return nullptr;
}

CRhinoView* CRhinoDoc::CreateView(const wchar_t* name) {
  m_views.push_back(std::make_unique<CRhinoView>(*this, name));
  return m_views.back().get();
}

void CRhinoDoc::RefreshViews(bool allViews) {
  for (const auto& view : m_views) {
    if (allViews || view.get() == RhinoApp().ActiveView()) view->Invalidate();
  }
}

void CRhinoDoc::Redraw() {
  for (const auto& view : m_views) view->Redraw();
}

void CRhinoDoc::DeferredRedraw() { m_deferredRedraw = true; }

void CRhinoDoc::TakeContents(CRhinoDoc& from) {
  m_title = from.m_title;
  m_path = from.m_path;
  m_properties = from.m_properties;
  m_layer_table = from.m_layer_table;
  m_material_table.m_materials = std::move(from.m_material_table.m_materials);
  m_objects = std::move(from.m_objects);
  for (auto& object : m_objects) object->m_doc = this;
  m_views = std::move(from.m_views);
  for (auto& view : m_views) view->m_doc = this;
  m_initialView = from.m_initialView;
  m_background = from.m_background;
  m_hasBackground = from.m_hasBackground;
  m_units = from.m_units;
  m_scratch = std::move(from.m_scratch);
  from.m_objects.clear();
  from.m_views.clear();
  from.m_material_table.m_materials.clear();
  RefreshViews(true);
}
