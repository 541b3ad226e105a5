#pragma once
// Events: notifications passed between framework objects. A subscriber
// registers for an event class with one of its member operations; the event's
// class name decides which registration it reaches.
#include "core/ZEM_BaseUnknown.h"
#include "core/ZEM_SmartPointer.h"

class ZEM_Event : public ZEM_BaseUnknown {
  ZEM_DECLARE_CLASS(ZEM_Event, ZEM_BaseUnknown)
};

// Graphics hardware details became known.
class ZEM_HardwareInfoEvent : public ZEM_Event {
  ZEM_DECLARE_CLASS(ZEM_HardwareInfoEvent, ZEM_Event)
};

// An environment was added to the document.
class ZEM_AddEnvironmentEvent : public ZEM_Event {
  ZEM_DECLARE_CLASS(ZEM_AddEnvironmentEvent, ZEM_Event)
};

// The host is closing a document.
class ZEM_CloseDocumentEvent : public ZEM_Event {
  ZEM_DECLARE_CLASS(ZEM_CloseDocumentEvent, ZEM_Event)
};

// The host begins to save a document.
class ZEM_SaveDocumentEvent : public ZEM_Event {
  ZEM_DECLARE_CLASS(ZEM_SaveDocumentEvent, ZEM_Event)
};

ZEM_DECLARE_POINTER(ZEM_Event);
