#include "core/ZEM_RhModelEventHandler.h"

void ZEM_RhEventWatcher::OnCloseDocument(CRhinoDoc&) {
  ZEM_CloseDocumentEvent event;
  m_handler.FireEvent(event);
}

void ZEM_RhEventWatcher::OnBeginSaveDocument(CRhinoDoc&, const wchar_t*, BOOL) {
  ZEM_SaveDocumentEvent event;
  m_handler.FireEvent(event);
}

ZEM_RhModelEventHandler::ZEM_RhModelEventHandler(ZEM_EventHandler& handler) : m_watcher(handler) {
  m_watcher.Register();
  m_watcher.Enable(true);
}

void ZEM_RhModelEventHandler::InstallForProcess(ZEM_EventHandler& handler) {
  static ZEM_RhModelEventHandler* const watcher = new ZEM_RhModelEventHandler(handler);  // never released
  (void)watcher;
}

ZEM_RhModelEventHandler::~ZEM_RhModelEventHandler() {
  m_watcher.Enable(false);
  m_watcher.UnRegister();
}
