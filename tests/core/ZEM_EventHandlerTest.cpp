#include "core/ZEM_EventHandler.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/ZEM_DialogEvent.h"

namespace {

// A subscriber that writes what it receives into a shared log.
class Recorder : public ZEM_EventSubscriber {
  ZEM_DECLARE_CLASS(Recorder, ZEM_EventSubscriber)
 public:
  Recorder(std::string name, std::vector<std::string>* log, int* deleted = nullptr)
      : m_name(std::move(name)), m_log(log), m_deleted(deleted) {}
  ~Recorder() override {
    if (m_deleted) ++*m_deleted;
  }
  void OnAny(ZEM_Event& e) { m_log->push_back(m_name + ":any:" + e.GetClassName()); }
  void OnClose(ZEM_Event& e) {
    m_log->push_back(m_name + ":close");
    if (m_onClose) m_onClose();
  }
  std::string m_name;
  std::vector<std::string>* m_log;
  int* m_deleted;
  std::function<void()> m_onClose;
};
ZEM_DECLARE_POINTER(Recorder);

// Each subscriber's latest matching registration is called, registrations
// for other classes are skipped, and every subscriber is reached.
TEST(FireEvent, CallsTheLatestMatchingRegistrationOfEverySubscriber) {
  std::vector<std::string> log;
  ZEM_EventHandler handler;
  auto a = Recorder_ptr::Adopt(new Recorder("a", &log));
  auto b = Recorder_ptr::Adopt(new Recorder("b", &log));
  handler.Register(a.Get(), ZEM_CloseDocumentEvent(), &Recorder::OnClose);
  handler.Register(a.Get(), ZEM_Event(), &Recorder::OnAny);  // later and more general: wins
  handler.Register(b.Get(), ZEM_Event(), &Recorder::OnAny);
  handler.Register(b.Get(), ZEM_CloseDocumentEvent(), &Recorder::OnClose);
  ZEM_CloseDocumentEvent close;
  handler.FireEvent(close);
  EXPECT_EQ(log, (std::vector<std::string>{"a:any:ZEM_CloseDocumentEvent", "b:close"}));
  log.clear();
  ZEM_SaveDocumentEvent save;
  handler.FireEvent(save);
  EXPECT_EQ(log, (std::vector<std::string>{"a:any:ZEM_SaveDocumentEvent", "b:any:ZEM_SaveDocumentEvent"}));
}

TEST(FireEvent, SuspendedSubscribersReceiveNothingUntilResumed) {
  std::vector<std::string> log;
  ZEM_EventHandler handler;
  auto a = Recorder_ptr::Adopt(new Recorder("a", &log));
  handler.Register(a.Get(), ZEM_Event(), &Recorder::OnAny);
  handler.Suspend(a.Get(), true);
  ZEM_HardwareInfoEvent event;
  handler.FireEvent(event);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(handler.IsRegistered(a.Get()));
  handler.Suspend(a.Get(), false);
  handler.FireEvent(event);
  EXPECT_EQ(log.size(), 1u);
}

TEST(Registration, HandlerHoldsAReferenceUntilUnregistered) {
  std::vector<std::string> log;
  int deleted = 0;
  ZEM_EventHandler handler;
  auto* a = new Recorder("a", &log, &deleted);
  handler.Register(a, ZEM_Event(), &Recorder::OnAny);
  handler.Register(a, ZEM_CloseDocumentEvent(), &Recorder::OnClose);
  EXPECT_EQ(a->RefCount(), 2);
  EXPECT_EQ(handler.SubscriberCount(), 1u);
  EXPECT_EQ(a->Handlers().size(), 1u);
  a->Release();
  EXPECT_EQ(deleted, 0);
  handler.Unregister(a);
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(handler.SubscriberCount(), 0u);
}

TEST(DispatchWhileChanging, SubscriberThatUnregistersAndLosesItsLastReferenceSurvivesItsCallback) {
  std::vector<std::string> log;
  int deleted = 0;
  ZEM_EventHandler handler;
  auto* a = new Recorder("a", &log, &deleted);
  handler.Register(a, ZEM_CloseDocumentEvent(), &Recorder::OnClose);
  a->Release();  // only the handler holds it now
  a->m_onClose = [&] {
    handler.Unregister(a);
    EXPECT_EQ(deleted, 0) << "still inside its callback";
    a->m_log->push_back("after");  // touches the object after the unregistration
  };
  ZEM_CloseDocumentEvent close;
  handler.FireEvent(close);
  EXPECT_EQ(log, (std::vector<std::string>{"a:close", "after"}));
  EXPECT_EQ(deleted, 1);
}

TEST(DispatchWhileChanging, SubscriberUnregisteredByAnEarlierCallbackIsNotCalled) {
  std::vector<std::string> log;
  int deletedB = 0;
  ZEM_EventHandler handler;
  auto a = Recorder_ptr::Adopt(new Recorder("a", &log));
  auto* b = new Recorder("b", &log, &deletedB);
  handler.Register(a.Get(), ZEM_CloseDocumentEvent(), &Recorder::OnClose);
  handler.Register(b, ZEM_CloseDocumentEvent(), &Recorder::OnClose);
  b->Release();
  a->m_onClose = [&] { handler.Unregister(b); };
  ZEM_CloseDocumentEvent close;
  handler.FireEvent(close);
  EXPECT_EQ(log, (std::vector<std::string>{"a:close"}));
  EXPECT_EQ(deletedB, 1);
}

TEST(DispatchWhileChanging, SubscriberAddedDuringDispatchWaitsForTheNextEvent) {
  std::vector<std::string> log;
  ZEM_EventHandler handler;
  auto a = Recorder_ptr::Adopt(new Recorder("a", &log));
  auto b = Recorder_ptr::Adopt(new Recorder("b", &log));
  handler.Register(a.Get(), ZEM_CloseDocumentEvent(), &Recorder::OnClose);
  a->m_onClose = [&] {
    if (!handler.IsRegistered(b.Get())) handler.Register(b.Get(), ZEM_CloseDocumentEvent(), &Recorder::OnClose);
  };
  ZEM_CloseDocumentEvent close;
  handler.FireEvent(close);
  EXPECT_EQ(log, (std::vector<std::string>{"a:close"}));
  handler.FireEvent(close);
  EXPECT_EQ(log, (std::vector<std::string>{"a:close", "a:close", "b:close"}));
}

// A dialog as its subscriber sees it.
struct FakeDialog : ZEM_DialogEventTarget {
  std::vector<std::string> calls;
  bool closesOnSave = false;
  std::function<void()> onCancel;
  void OnHardwareInfo() override { calls.push_back("hardware"); }
  void OnEnvironmentAdded() override { calls.push_back("environment"); }
  void CancelFromEvent() override {
    calls.push_back("cancel");
    if (onCancel) onCancel();
  }
  bool CloseByCommandControl() override {
    calls.push_back("command-control");
    return closesOnSave;
  }
  void HideWindow() override { calls.push_back("hide"); }
};

TEST(DialogSubscriber, ClosingTheDocumentCancelsADialogThatDetachesItsSubscriberMeanwhile) {
  ZEM_EventHandler general, model;
  FakeDialog dialog;
  auto* subscriber = new ZEM_DialogEvent(&dialog);
  subscriber->Subscribe(general, model);
  // The dialog's closing detaches and releases its subscriber, as a dialog
  // does when it is cancelled.
  dialog.onCancel = [&] {
    subscriber->DetachFromAll();
    subscriber->Release();
  };
  ZEM_CloseDocumentEvent close;
  model.FireEvent(close);
  EXPECT_EQ(dialog.calls, (std::vector<std::string>{"cancel", "hide"}));
  EXPECT_EQ(general.SubscriberCount(), 0u);
  EXPECT_EQ(model.SubscriberCount(), 0u);
  model.FireEvent(close);
  EXPECT_EQ(dialog.calls.size(), 2u) << "a closed dialog receives no further document events";
}

}  // namespace
