#include "core/ZEM_RhModelEventHandler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ZEM_DialogEvent.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"

namespace {

class Listener : public ZEM_EventSubscriber {
  ZEM_DECLARE_CLASS(Listener, ZEM_EventSubscriber)
 public:
  void OnEvent(ZEM_Event& e) { heard.push_back(e.GetClassName()); }
  std::vector<std::string> heard;
};
ZEM_DECLARE_POINTER(Listener);

bool Saved(const CRhinoDoc&) { return true; }

struct DialogStandIn : ZEM_DialogEventTarget {
  std::vector<std::string> calls;
  void CancelFromEvent() override { calls.push_back("cancel"); }
  bool CloseByCommandControl() override {
    calls.push_back("command-control");
    return false;
  }
  void HideWindow() override { calls.push_back("hide"); }
};

// Closing the model is the dialog base's document-closing test; saving asks
// only the command control, and the dialog stays.
TEST(HostDocumentEvents, SavingTheModelAsksTheCommandControlOnly) {
  DialogStandIn dialog;
  ZEM_ModelEventHandler::SetHostWatcherFactory(&ZEM_RhModelEventHandler::InstallForProcess);  // as the plug-in does
  auto subscriber = ZEM_DialogEvent_ptr::Adopt(new ZEM_DialogEvent(&dialog));
  subscriber->Subscribe();  // the process-wide handlers, with the host watcher
  RhinoApp().NewDocument();
  RhinoApp().SaveDocument(L"model.json", Saved);
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"command-control"}));
  subscriber->DetachFromAll();
  RhinoApp().CloseDocument();
}

}  // namespace
