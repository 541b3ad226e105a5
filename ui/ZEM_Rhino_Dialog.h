#pragma once
// A framework dialog that also watches the host: its watcher is registered
// and enabled while the object lives, and passes the end of a document's
// opening and the material table's events to two hooks.
#include "standin/host/CRhinoEventWatcher.h"
#include "ui/ZEM_Dialog.h"

class ZEM_Rhino_Dialog : public ZEM_Dialog, public CRhinoEventWatcher {
 public:
  explicit ZEM_Rhino_Dialog(CWnd* parent = nullptr);
  ~ZEM_Rhino_Dialog() override;

  virtual void OnDocumentOpened() {}
  virtual void OnMaterialTableEvent(material_event event, const CRhinoMaterialTable& table, int materialIndex,
                                    const ON_Material* oldSettings) {}

  void OnEndOpenDocument(CRhinoDoc& doc, const wchar_t* fileName, BOOL merge, BOOL reference) override;
  void MaterialTableEvent(material_event event, const CRhinoMaterialTable& table, int materialIndex,
                          const ON_Material* oldSettings) override;
  void OnDestroy() override;
};
