#pragma once
// Watches what happens in the host. A watcher hears events only while it is
// registered and enabled; all events arrive on the user-interface thread.
#include "standin/platform/WinTypes.h"

class CRhinoDoc;
class CRhinoView;
class CRhinoMaterialTable;
class ON_Material;

class CRhinoEventWatcher {
 public:
  enum material_event {
    material_added = 0,
    material_deleted = 1,
    material_modified = 3,
  };

  CRhinoEventWatcher() = default;
  CRhinoEventWatcher(const CRhinoEventWatcher&) = delete;
  CRhinoEventWatcher& operator=(const CRhinoEventWatcher&) = delete;
  virtual ~CRhinoEventWatcher();

  void Register();
  void UnRegister();
  bool IsRegistered() const { return m_registered; }
  void Enable(bool enable) { m_enabled = enable; }
  bool IsEnabled() const { return m_enabled; }

  virtual void OnSetActiveView(CRhinoView* view) {}
  virtual void OnNewDocument(CRhinoDoc& doc) {}
  virtual void OnCloseDocument(CRhinoDoc& doc) {}
  virtual void OnBeginOpenDocument(CRhinoDoc& doc, const wchar_t* fileName, BOOL merge, BOOL reference) {}
  virtual void OnEndOpenDocument(CRhinoDoc& doc, const wchar_t* fileName, BOOL merge, BOOL reference) {}
  virtual void OnBeginSaveDocument(CRhinoDoc& doc, const wchar_t* fileName, BOOL exportSelected) {}
  virtual void OnEndSaveDocument(CRhinoDoc& doc, const wchar_t* fileName, BOOL exportSelected) {}
  virtual void MaterialTableEvent(material_event event, const CRhinoMaterialTable& table, int materialIndex,
                                  const ON_Material* oldSettings) {}

 private:
  bool m_registered = false;
  bool m_enabled = false;
};
