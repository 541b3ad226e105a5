#pragma once
// The object a framework dialog reports apply, undo, redo, acceptance and
// cancellation to, when the dialog is bound to one. The export dialog has
// none; the dialog base only calls it when it is there.
#include <string>

#include "core/ZEM_SmartPointer.h"

class ZEM_CommandControl : public ZEM_BaseUnknown {
  ZEM_DECLARE_CLASS(ZEM_CommandControl, ZEM_BaseUnknown)

 public:
  enum class Closing { Stay, Accept, Cancel };

  virtual void Apply() {}
  virtual void Undo() {}
  virtual void Redo() {}
  virtual void Accepted() {}
  virtual void Cancelled() {}
  // A component reported a change that the command is to hear first.
  virtual void ComponentChanged(unsigned id, int kind) {}
  // Whether, and how, the dialog is to close (asked when the document is saved).
  virtual Closing CloseRequest() { return Closing::Stay; }
  virtual std::wstring HelpPath() const { return {}; }
};
ZEM_DECLARE_POINTER(ZEM_CommandControl);
