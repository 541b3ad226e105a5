#pragma once
// Walks the objects of a document in the order they were added, filtered by
// their state (normal, locked, hidden) and category (active or reference).
// Deleted objects are never visited.
#include "standin/host/CRhinoObject.h"

class CRhinoDoc;

class CRhinoObjectIterator {
 public:
  enum object_state : unsigned int {
    normal_objects = 1,  // neither locked nor hidden
    locked_objects = 2,  // locked themselves or through their layer
    hidden_objects = 4,
    normal_or_locked_objects = 3,
    all_objects = 7,
  };
  enum object_category : unsigned int {
    active_objects = 1,
    reference_objects = 2,
    active_and_reference_objects = 3,
  };

  CRhinoObjectIterator(const CRhinoDoc& doc, unsigned int state = normal_or_locked_objects,
                       unsigned int category = active_and_reference_objects);
  // Iterates the active document (no objects when there is none).
  explicit CRhinoObjectIterator(unsigned int state = normal_or_locked_objects,
                                unsigned int category = active_and_reference_objects);

  CRhinoObject* First();
  CRhinoObject* Next();
  // Also skips objects that are not visible (hidden through a layer).
  void EnableVisibleFilter(bool enable = true) { m_visibleOnly = enable; }

 private:
  CRhinoObject* Seek(int from);
  bool Accepts(const CRhinoObject& object) const;

  const CRhinoDoc* m_doc;
  unsigned int m_state;
  unsigned int m_category;
  bool m_visibleOnly = false;
  int m_index = -1;
};
