#pragma once
// A document's notes and revision history.
#include "standin/host/ON_wString.h"

class ON_3dmNotes {
 public:
  ON_wString m_notes;
  bool m_bVisible = false;
};

class ON_3dmRevisionHistory {
 public:
  ON_wString m_sCreatedBy;
  ON_wString m_sLastEditedBy;
  int m_revision_count = 0;
};

class CRhinoDocProperties {
 public:
  const ON_3dmNotes& Notes() const { return m_notes; }
  ON_3dmNotes& Notes() { return m_notes; }
  const ON_3dmRevisionHistory& RevisionHistory() const { return m_revision_history; }
  ON_3dmRevisionHistory& RevisionHistory() { return m_revision_history; }

 private:
  ON_3dmNotes m_notes;
  ON_3dmRevisionHistory m_revision_history;
};
