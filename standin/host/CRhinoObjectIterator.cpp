#include "standin/host/CRhinoObjectIterator.h"

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"

CRhinoObjectIterator::CRhinoObjectIterator(const CRhinoDoc& doc, unsigned int state, unsigned int category)
    : m_doc(&doc), m_state(state), m_category(category) {}

CRhinoObjectIterator::CRhinoObjectIterator(unsigned int state, unsigned int category)
    : m_doc(RhinoApp().ActiveDoc()), m_state(state), m_category(category) {}

CRhinoObject* CRhinoObjectIterator::First() { return Seek(0); }

CRhinoObject* CRhinoObjectIterator::Next() { return m_index < 0 ? nullptr : Seek(m_index + 1); }

CRhinoObject* CRhinoObjectIterator::Seek(int from) {
  if (!m_doc) return nullptr;
  for (int i = from; i < m_doc->ObjectSlotCount(); ++i) {
    CRhinoObject* object = m_doc->ObjectSlot(i);
    if (Accepts(*object)) {
      m_index = i;
      return object;
    }
  }
  m_index = m_doc->ObjectSlotCount();
  return nullptr;
}

bool CRhinoObjectIterator::Accepts(const CRhinoObject& object) const {
  if (object.IsDeleted()) return false;
  const unsigned int category = object.IsReference() ? reference_objects : active_objects;
  if (!(m_category & category)) return false;
  unsigned int state = normal_objects;
  if (object.IsHidden()) {
    state = hidden_objects;
  } else if (object.IsLocked()) {
    state = locked_objects;
  }
  if (!(m_state & state)) return false;
  return !m_visibleOnly || object.IsVisible();
}
