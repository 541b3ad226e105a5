#pragma once
// Event dispatch: subscribers register callbacks for event classes with a
// handler, and the handler delivers each fired event to them.
//
// Two handlers serve the framework, each created at its first request and kept
// for the process: the general ZEM_EventHandler and the ZEM_ModelEventHandler
// for document events from the host.
#include <string>
#include <vector>

#include "core/ZEM_EventSubscriber.h"

// What a handler knows of one subscriber: the subscriber (a reference is held
// while it is registered), whether delivery is suspended, and its
// registrations in the order they were made.
class ZEM_SubscriberInfo : public ZEM_BaseUnknown {
  ZEM_DECLARE_CLASS(ZEM_SubscriberInfo, ZEM_BaseUnknown)

 public:
  struct Registration {
    std::string eventClass;  // class name of the exemplar event
    ZEM_EventCallback callback;
    unsigned flags;
  };

  explicit ZEM_SubscriberInfo(ZEM_EventSubscriber* subscriber) : m_subscriber(subscriber) {}

  ZEM_EventSubscriber_ptr m_subscriber;
  bool m_suspended = false;
  bool m_removed = false;  // set when unregistered, so a dispatch in progress skips it
  std::vector<Registration> m_registrations;
};
ZEM_DECLARE_POINTER(ZEM_SubscriberInfo);

class ZEM_EventHandler : public ZEM_EventSubscriber {
  ZEM_DECLARE_CLASS(ZEM_EventHandler, ZEM_EventSubscriber)

 public:
  // The process-wide handler, created at the first request.
  static ZEM_EventHandler* Instance();

  ZEM_EventHandler() = default;
  ~ZEM_EventHandler() override;

  bool IsServingContainer() const override { return true; }
  // Drops every subscriber.
  void ClearReferences() override;

  // Adds a registration of `subscriber` for events of the exemplar's class.
  void Register(ZEM_EventSubscriber* subscriber, const ZEM_Event& exemplar, ZEM_EventCallback callback,
                unsigned flags = 0);
  template <class S>
  void Register(S* subscriber, const ZEM_Event& exemplar, void (S::*callback)(ZEM_Event&), unsigned flags = 0) {
    Register(static_cast<ZEM_EventSubscriber*>(subscriber), exemplar, static_cast<ZEM_EventCallback>(callback), flags);
  }

  // Removes the subscriber with all its registrations.
  void Unregister(ZEM_EventSubscriber* subscriber);

  // While suspended, a subscriber stays registered but receives nothing.
  void Suspend(ZEM_EventSubscriber* subscriber, bool suspended);

  // Delivers the event to every subscriber that is registered for its class
  // and not suspended: per subscriber, the latest matching registration is
  // called, and only that one. Callbacks may register and unregister
  // subscribers; a subscriber unregistered during the dispatch receives
  // nothing more, and stays alive until its callback has returned.
  void FireEvent(ZEM_Event& event);

  bool IsRegistered(const ZEM_EventSubscriber* subscriber) const;
  std::size_t SubscriberCount() const { return m_infos.size(); }

 private:
  ZEM_SubscriberInfo* Find(const ZEM_EventSubscriber* subscriber) const;

  std::vector<ZEM_SubscriberInfo_ptr> m_infos;
};

// The handler of the host's document events (closing, saving). Creating it
// through Instance also installs the host-side watcher that fires them,
// through the factory the plug-in registers when it loads
// (ZEM_RhModelEventHandler::InstallForProcess); the dispatcher itself knows
// no host.
class ZEM_ModelEventHandler : public ZEM_EventHandler {
  ZEM_DECLARE_CLASS(ZEM_ModelEventHandler, ZEM_EventHandler)

 public:
  using HostWatcherFactory = void (*)(ZEM_EventHandler& handler);
  // Takes effect for the Instance call that creates the handler; returns true.
  static bool SetHostWatcherFactory(HostWatcherFactory factory);
  static ZEM_ModelEventHandler* Instance();
};
