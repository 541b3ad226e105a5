#pragma once
// A document: title, properties (notes, revision history), layers,
// materials, objects and views.
#include "standin/host/CRhinoDocProperties.h"
#include "standin/host/CRhinoLayer.h"
#include "standin/host/CRhinoMaterialTable.h"
#include "standin/host/CRhinoObject.h"
#include "standin/host/CRhinoView.h"
#include "standin/host/ON.h"
#include "standin/host/ON_wString.h"
#include "standin/platform/ScratchFolder.h"

#include <memory>
#include <vector>

class CRhinoDoc {
 public:
  CRhinoDoc();
  CRhinoDoc(const CRhinoDoc&) = delete;
  CRhinoDoc& operator=(const CRhinoDoc&) = delete;
  virtual ~CRhinoDoc();

  unsigned int RuntimeSerialNumber() const { return m_serial; }
  void GetTitle(ON_wString& title) const { title = m_title; }
  const ON_wString& Title() const { return m_title; }
  void SetTitle(const wchar_t* title) { m_title = title; }
  // The file the document was read from (empty for a new document).
  const ON_wString& PathName() const { return m_path; }
  void SetPathName(const wchar_t* path) { m_path = path; }

  // The unit of the model's lengths.
  ON::LengthUnitSystem ModelUnits() const { return m_units; }
  void SetModelUnits(ON::LengthUnitSystem units) { m_units = units; }

  const CRhinoDocProperties& Properties() const { return m_properties; }
  CRhinoDocProperties& Properties() { return m_properties; }

  // Takes the object; answers false for null or an object that already
  // belongs to a document (which keeps it). Reference objects come from
  // another file (a worksession or linked block).
  bool AddObject(CRhinoObject* object, bool reference = false);
  // Marks the object deleted: it stays in memory but is never drawn nor
  // iterated.
  bool DeleteObject(const CRhinoObject* object);
  // Every object added, deleted ones included, in the order they were added.
  int ObjectSlotCount() const { return static_cast<int>(m_objects.size()); }
  CRhinoObject* ObjectSlot(int index) const;
  ON_BoundingBox BoundingBox() const;  // of the visible objects

  int ViewCount() const { return static_cast<int>(m_views.size()); }
  CRhinoView* View(int index) const;
  CRhinoView* FindView(const wchar_t* name) const;
  CRhinoView* CreateView(const wchar_t* name);
  // The view that becomes active when the document is opened.
  int InitialViewIndex() const { return m_initialView; }
  void SetInitialViewIndex(int index) { m_initialView = index; }

  // Asks the views to be drawn again at the next redraw: all of them, or
  // only the active one.
  virtual void RefreshViews(bool allViews = true);
  // Draws every view now.
  void Redraw();
  // Draws the views that were asked to be drawn again, once the host is
  // idle (RhinoApp().Idle()).
  void DeferredRedraw();
  bool DeferredRedrawPending() const { return m_deferredRedraw; }

  // The viewport background colour the document asks the application to
  // use when it is opened (none: the application keeps its own).
  const ON_Color* ViewportBackgroundColor() const { return m_hasBackground ? &m_background : nullptr; }
  void SetViewportBackgroundColor(ON_Color color) {
    m_background = color;
    m_hasBackground = true;
  }

  // Replaces everything of this document by the contents of `from`, which
  // is left empty (a reader fills a scratch document, then hands it over).
  void TakeContents(CRhinoDoc& from);

  // Files the document's contents refer to (pictures unpacked from a model
  // file) live in this folder; it goes with the document.
  void KeepScratchFolder(std::unique_ptr<zem::ScratchFolder> folder) { m_scratch.push_back(std::move(folder)); }

  CRhinoLayerTable m_layer_table;
  CRhinoMaterialTable m_material_table;

 private:
  friend class CRhinoApp;
  unsigned int m_serial;
  ON_wString m_title;
  ON_wString m_path;
  CRhinoDocProperties m_properties;
  std::vector<std::unique_ptr<CRhinoObject>> m_objects;
  std::vector<std::unique_ptr<CRhinoView>> m_views;
  bool m_deferredRedraw = false;
  int m_initialView = 0;
  ON_Color m_background;
  bool m_hasBackground = false;
  ON::LengthUnitSystem m_units = ON::LengthUnitSystem::Millimeters;
  std::vector<std::unique_ptr<zem::ScratchFolder>> m_scratch;
};
