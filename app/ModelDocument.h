#pragma once
// The host's document for one run of zem-webgl: the model (or the demo)
// opened, the view and display mode chosen, and closed again at the end.
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"

class CRhinoDoc;

namespace zem::app {

// Opens the model (or the demo) as the host's document; false after
// telling why not. `files`, when given, receives the files read for it.
bool OpenDocument(const CommandLine& line, std::ostream& err, std::vector<std::wstring>* files = nullptr);

// Makes the named view active and gives it the named display mode; the
// exit code when one of them is not there, else kExitOk.
int ChooseViewAndMode(const CommandLine& line, CRhinoDoc& doc, std::ostream& err);

// Why the files the line names cannot be meant (-o a device; a dialog
// picture not named .png, or naming a folder or a device), or empty. Checked
// before the model is read.
std::string NamedFilesProblem(const CommandLine& line);

// The files an export of the open document reads: those read for the model
// (`read`) and the texture pictures of its materials.
std::vector<std::filesystem::path> InputFiles(const std::vector<std::wstring>& read, const CRhinoDoc& doc);

// Why the page (when given) or the dialog's picture would replace a file the
// export reads, or the picture the page: never meant, and the file would be
// lost. Empty when neither does.
std::string InputClash(const CommandLine& line, const std::filesystem::path* page,
                       const std::vector<std::filesystem::path>& inputs);

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
