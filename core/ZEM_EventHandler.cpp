#include "core/ZEM_EventHandler.h"

#include <algorithm>
#include <cassert>

ZEM_EventSubscriber::~ZEM_EventSubscriber() = default;

void ZEM_EventSubscriber::DetachFromAll() {
  // Hold ourselves: the last handler may hold the last reference.
  ZEM_EventSubscriber_ptr self(this);
  while (!m_handlers.empty()) {
    ZEM_EventHandler* handler = m_handlers.back();
    m_handlers.pop_back();
    handler->Unregister(this);
  }
}

ZEM_EventHandler* ZEM_EventHandler::Instance() {
  // Kept for the process: never released.
  static ZEM_EventHandler* const instance = new ZEM_EventHandler;
  return instance;
}

ZEM_EventHandler::~ZEM_EventHandler() { ClearReferences(); }

void ZEM_EventHandler::ClearReferences() {
  std::vector<ZEM_SubscriberInfo_ptr> infos;
  infos.swap(m_infos);
  for (auto& info : infos) {
    info->m_removed = true;
    auto& handlers = info->m_subscriber->m_handlers;
    handlers.erase(std::remove(handlers.begin(), handlers.end(), this), handlers.end());
  }
  ZEM_EventSubscriber::ClearReferences();
}

ZEM_SubscriberInfo* ZEM_EventHandler::Find(const ZEM_EventSubscriber* subscriber) const {
  for (const auto& info : m_infos)
    if (info->m_subscriber.Get() == subscriber) return info.Get();
  return nullptr;
}

bool ZEM_EventHandler::IsRegistered(const ZEM_EventSubscriber* subscriber) const { return Find(subscriber) != nullptr; }

void ZEM_EventHandler::Register(ZEM_EventSubscriber* subscriber, const ZEM_Event& exemplar, ZEM_EventCallback callback,
                                unsigned flags) {
  assert(subscriber != nullptr && callback != nullptr);
  ZEM_SubscriberInfo* info = Find(subscriber);
  if (info == nullptr) {
    m_infos.push_back(ZEM_SubscriberInfo_ptr::Adopt(new ZEM_SubscriberInfo(subscriber)));
    info = m_infos.back().Get();
    subscriber->m_handlers.push_back(this);
  }
  info->m_registrations.push_back({exemplar.GetClassName(), callback, flags});
}

void ZEM_EventHandler::Unregister(ZEM_EventSubscriber* subscriber) {
  auto it = std::find_if(m_infos.begin(), m_infos.end(), [subscriber](const ZEM_SubscriberInfo_ptr& info) {
    return info->m_subscriber.Get() == subscriber;
  });
  if (it == m_infos.end()) return;
  // The info may be in a dispatch snapshot; it keeps the subscriber alive
  // until the dispatch lets go of it.
  ZEM_SubscriberInfo_ptr info = std::move(*it);
  m_infos.erase(it);
  info->m_removed = true;
  auto& handlers = subscriber->m_handlers;
  auto mine = std::find(handlers.rbegin(), handlers.rend(), this);
  if (mine != handlers.rend()) handlers.erase(std::next(mine).base());
}

void ZEM_EventHandler::Suspend(ZEM_EventSubscriber* subscriber, bool suspended) {
  if (ZEM_SubscriberInfo* info = Find(subscriber)) info->m_suspended = suspended;
}

void ZEM_EventHandler::FireEvent(ZEM_Event& event) {
  // A snapshot with references: callbacks may change the list and release
  // subscribers while we walk it.
  const std::vector<ZEM_SubscriberInfo_ptr> snapshot = m_infos;
  ZEM_Event_ptr eventHold(&event);
  for (const auto& info : snapshot) {
    if (info->m_removed || info->m_suspended) continue;
    ZEM_EventCallback callback = nullptr;
    for (auto r = info->m_registrations.rbegin(); r != info->m_registrations.rend(); ++r) {
      if (event.IsKindOf(r->eventClass.c_str())) {
        callback = r->callback;
        break;
      }
    }
    if (callback == nullptr) continue;
    ZEM_EventSubscriber_ptr subscriber = info->m_subscriber;
    ((*subscriber).*callback)(event);
  }
}

namespace {

ZEM_ModelEventHandler::HostWatcherFactory& WatcherFactory() {
  static ZEM_ModelEventHandler::HostWatcherFactory factory = nullptr;
  return factory;
}

}  // namespace

bool ZEM_ModelEventHandler::SetHostWatcherFactory(HostWatcherFactory factory) {
  WatcherFactory() = factory;
  return true;
}

ZEM_ModelEventHandler* ZEM_ModelEventHandler::Instance() {
  // Kept for the process: never released. The host watcher comes into being
  // with it.
  static ZEM_ModelEventHandler* const instance = [] {
    auto* handler = new ZEM_ModelEventHandler;
    if (WatcherFactory() != nullptr) WatcherFactory()(*handler);
    return handler;
  }();
  return instance;
}
