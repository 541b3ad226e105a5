#include "ui/ZEM_Rhino_Dialog.h"

ZEM_Rhino_Dialog::ZEM_Rhino_Dialog(CWnd* parent) : ZEM_Dialog(parent) {
  Register();
  CRhinoEventWatcher::Enable(true);
}

ZEM_Rhino_Dialog::~ZEM_Rhino_Dialog() {
  CRhinoEventWatcher::Enable(false);
  UnRegister();
}

void ZEM_Rhino_Dialog::OnEndOpenDocument(CRhinoDoc&, const wchar_t*, BOOL, BOOL) { OnDocumentOpened(); }

void ZEM_Rhino_Dialog::MaterialTableEvent(material_event event, const CRhinoMaterialTable& table, int materialIndex,
                                          const ON_Material* oldSettings) {
  OnMaterialTableEvent(event, table, materialIndex, oldSettings);
}

void ZEM_Rhino_Dialog::OnDestroy() {
  CRhinoEventWatcher::Enable(false);
  UnRegister();
  ZEM_Dialog::OnDestroy();
}
