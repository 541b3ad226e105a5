#include "core/ZEM_SmartPointer.h"

#include <gtest/gtest.h>

#include <string>

#include "core/ZEM_DialogEvent.h"
#include "core/ZEM_Event.h"

namespace {

// An event that counts its own destruction.
class CountedEvent : public ZEM_CloseDocumentEvent {
  ZEM_DECLARE_CLASS(CountedEvent, ZEM_CloseDocumentEvent)
 public:
  explicit CountedEvent(int* deleted) : m_deleted(deleted) {}
  ~CountedEvent() override { ++*m_deleted; }
  int* m_deleted;
};
ZEM_DECLARE_POINTER(CountedEvent);

// Assignment through another name, between pointers of one class and from
// another class moves references exactly and never frees what it takes.
TEST(ZEM_SmartPointerTest, AssignmentMovesReferencesExactly) {
  int deletedA = 0, deletedB = 0, deletedC = 0;
  auto a = CountedEvent_ptr::Adopt(new CountedEvent(&deletedA));
  auto& alias = a;
  a = alias;
  EXPECT_EQ(deletedA, 0);
  EXPECT_EQ(a->RefCount(), 1);
  auto b = CountedEvent_ptr::Adopt(new CountedEvent(&deletedB));
  CountedEvent* objectB = b.Get();
  a = b;
  EXPECT_EQ(deletedA, 1) << "the object a held is released";
  EXPECT_EQ(objectB->RefCount(), 2);
  b.Reset();
  a.Reset();
  EXPECT_EQ(deletedB, 1) << "no reference is left over";

  auto* event = new CountedEvent(&deletedC);
  ZEM_Event_ptr general(event);
  CountedEvent_ptr specific(event);
  event->Release();  // the two pointers hold the only references
  specific = general;
  EXPECT_EQ(deletedC, 0) << "the new object is taken before the old is released";
  EXPECT_EQ(event->RefCount(), 2);
}

TEST(ZEM_SmartPointerTest, CastSucceedsAlongTheNameChain) {
  ZEM_BaseUnknown_ptr base = ZEM_BaseUnknown_ptr::Adopt(new ZEM_DialogEvent(nullptr));
  ZEM_EventSubscriber_ptr subscriber(base);
  ZEM_DialogEvent_ptr dialogEvent = subscriber;
  ASSERT_TRUE(subscriber);
  ASSERT_TRUE(dialogEvent);
  EXPECT_EQ(dialogEvent.Get(), static_cast<ZEM_BaseUnknown*>(base.Get()));
  EXPECT_EQ(base->RefCount(), 3);
}

TEST(ZEM_SmartPointerTest, CastFailedAssignmentEmptiesTheTargetAndReleasesItsObject) {
  int deleted = 0;
  ZEM_Event_ptr target = CountedEvent_ptr::Adopt(new CountedEvent(&deleted));
  ZEM_BaseUnknown_ptr subscriber = ZEM_EventSubscriber_ptr::Adopt(new ZEM_EventSubscriber);
  EXPECT_FALSE(ZEM_DialogEvent_ptr(subscriber)) << "a cast to an unrelated class is empty";
  target = subscriber;
  EXPECT_FALSE(target);
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(subscriber->RefCount(), 1);
}

}  // namespace
