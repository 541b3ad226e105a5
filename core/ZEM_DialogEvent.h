#pragma once
// A framework dialog's subscriber: it registers the dialog for the hardware,
// environment, document-closing and document-saving events and turns them
// into calls of the dialog's hooks.
#include "core/ZEM_EventHandler.h"

// What a dialog offers its subscriber. The dialog base implements it.
class ZEM_DialogEventTarget {
 public:
  virtual void OnHardwareInfo() {}
  virtual void OnEnvironmentAdded() {}
  // Closes the dialog as its Cancel button does.
  virtual void CancelFromEvent() = 0;
  // Asks the dialog's command-control object whether to close the dialog;
  // answers whether the dialog was closed.
  virtual bool CloseByCommandControl() = 0;
  virtual void HideWindow() = 0;

 protected:
  ~ZEM_DialogEventTarget() = default;
};

class ZEM_DialogEvent : public ZEM_EventSubscriber {
  ZEM_DECLARE_CLASS(ZEM_DialogEvent, ZEM_EventSubscriber)

 public:
  explicit ZEM_DialogEvent(ZEM_DialogEventTarget* dialog) : m_dialog(dialog) {}

  // Registers for the four dialog events: hardware and environment with
  // `general`, document closing and saving with `model`.
  void Subscribe(ZEM_EventHandler& general, ZEM_EventHandler& model);
  // The same with the process-wide handlers (created when needed).
  void Subscribe();

  void OnHardwareOrEnvironment(ZEM_Event& event);
  // Cancels the dialog, then hides it.
  void OnDocumentClosing(ZEM_Event& event);
  // Hides the dialog when its command-control object closed it.
  void OnDocumentSaving(ZEM_Event& event);

  ZEM_DialogEventTarget* Dialog() const { return m_dialog; }

 private:
  ZEM_DialogEventTarget* m_dialog;
};
ZEM_DECLARE_POINTER(ZEM_DialogEvent);
