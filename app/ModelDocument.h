#pragma once
// The host's document for one run of zem-webgl: the model (or the demo)
// opened, the view and display mode chosen, and closed again at the end.
#include <ostream>

#include "app/CommandLine.h"

class CRhinoDoc;

namespace zem::app {

// Opens the model (or the demo) as the host's document; false after
// telling why not.
bool OpenDocument(const CommandLine& line, std::ostream& err);

// Makes the named view active and gives it the named display mode; the
// exit code when one of them is not there, else kExitOk.
int ChooseViewAndMode(const CommandLine& line, CRhinoDoc& doc, std::ostream& err);

// Whether the display mode the line names (if any) is one the host has;
// false after telling which ones it has.
bool KnownDisplayMode(const CommandLine& line, std::ostream& err);

// Closes the document when the run ends, whatever the outcome, so the
// files it unpacked go with it.
struct CloseDocumentAtEnd {
  CloseDocumentAtEnd() = default;
  CloseDocumentAtEnd(const CloseDocumentAtEnd&) = delete;
  CloseDocumentAtEnd& operator=(const CloseDocumentAtEnd&) = delete;
  ~CloseDocumentAtEnd();
};

}  // namespace zem::app
