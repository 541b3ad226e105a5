#pragma once
// The host side of the model event handler: a host event watcher that turns
// the host's document notifications into framework events, fired through a
// framework handler: closing a document fires ZEM_CloseDocumentEvent, the
// beginning of a save ZEM_SaveDocumentEvent.
#include "core/ZEM_EventHandler.h"
#include "standin/host/CRhinoEventWatcher.h"

class ZEM_RhEventWatcher : public CRhinoEventWatcher {
 public:
  explicit ZEM_RhEventWatcher(ZEM_EventHandler& handler) : m_handler(handler) {}
  void OnCloseDocument(CRhinoDoc& doc) override;
  void OnBeginSaveDocument(CRhinoDoc& doc, const wchar_t* fileName, BOOL exportSelected) override;

 private:
  ZEM_EventHandler& m_handler;
};

// Owns the watcher, registered and enabled for as long as it lives.
class ZEM_RhModelEventHandler {
 public:
  explicit ZEM_RhModelEventHandler(ZEM_EventHandler& handler);
  ~ZEM_RhModelEventHandler();
  ZEM_RhModelEventHandler(const ZEM_RhModelEventHandler&) = delete;
  ZEM_RhModelEventHandler& operator=(const ZEM_RhModelEventHandler&) = delete;

  ZEM_RhEventWatcher& Watcher() { return m_watcher; }

  // The model event handler's factory of its host watcher: one watcher for
  // the process, registered and enabled from then on.
  static void InstallForProcess(ZEM_EventHandler& handler);

 private:
  ZEM_RhEventWatcher m_watcher;
};
