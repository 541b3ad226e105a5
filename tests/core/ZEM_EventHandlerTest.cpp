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
TEST(ZEM_EventHandlerTest, CallsTheLatestMatchingRegistrationOfEverySubscriber) {
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

TEST(ZEM_EventHandlerTest, SubscriberThatUnregistersAndLosesItsLastReferenceSurvivesItsCallback) {
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

TEST(ZEM_EventHandlerTest, SubscriberUnregisteredByAnEarlierCallbackIsNotCalled) {
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

TEST(ZEM_EventHandlerTest, SubscriberAddedDuringDispatchWaitsForTheNextEvent) {
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

}  // namespace
