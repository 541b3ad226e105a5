#pragma once
// An object that receives events. It remembers the handlers it is registered
// with, so that it can take itself out of all of them.
#include <vector>

#include "core/ZEM_Event.h"

class ZEM_EventHandler;

class ZEM_EventSubscriber : public ZEM_BaseUnknown {
  ZEM_DECLARE_CLASS(ZEM_EventSubscriber, ZEM_BaseUnknown)

 public:
  ~ZEM_EventSubscriber() override;

  // Forgets the handlers without telling them (they hold their own reference
  // and drop it on Unregister).
  void ClearReferences() override { m_handlers.clear(); }

  // Unregisters from every handler, the last one registered with first, and
  // empties the list.
  void DetachFromAll();

  const std::vector<ZEM_EventHandler*>& Handlers() const { return m_handlers; }

 private:
  friend class ZEM_EventHandler;
  // Handlers live for the process; the list does not own them.
  std::vector<ZEM_EventHandler*> m_handlers;
};

// A member operation of a subscriber that takes the event.
using ZEM_EventCallback = void (ZEM_EventSubscriber::*)(ZEM_Event& event);

ZEM_DECLARE_POINTER(ZEM_EventSubscriber);
