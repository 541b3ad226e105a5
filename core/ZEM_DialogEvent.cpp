#include "core/ZEM_DialogEvent.h"

void ZEM_DialogEvent::Subscribe(ZEM_EventHandler& general, ZEM_EventHandler& model) {
  general.Register(this, ZEM_HardwareInfoEvent(), &ZEM_DialogEvent::OnHardwareOrEnvironment);
  general.Register(this, ZEM_AddEnvironmentEvent(), &ZEM_DialogEvent::OnHardwareOrEnvironment);
  model.Register(this, ZEM_CloseDocumentEvent(), &ZEM_DialogEvent::OnDocumentClosing);
  model.Register(this, ZEM_SaveDocumentEvent(), &ZEM_DialogEvent::OnDocumentSaving);
}

void ZEM_DialogEvent::Subscribe() { Subscribe(*ZEM_EventHandler::Instance(), *ZEM_ModelEventHandler::Instance()); }

void ZEM_DialogEvent::OnHardwareOrEnvironment(ZEM_Event& event) {
  if (event.IsKindOf(ZEM_HardwareInfoEvent::kClassName))
    m_dialog->OnHardwareInfo();
  else if (event.IsKindOf(ZEM_AddEnvironmentEvent::kClassName))
    m_dialog->OnEnvironmentAdded();
}

void ZEM_DialogEvent::OnDocumentClosing(ZEM_Event&) {
  ZEM_DialogEventTarget* dialog = m_dialog;
  dialog->CancelFromEvent();
  dialog->HideWindow();
}

void ZEM_DialogEvent::OnDocumentSaving(ZEM_Event&) {
  ZEM_DialogEventTarget* dialog = m_dialog;
  if (dialog->CloseByCommandControl()) dialog->HideWindow();
}
