#pragma once
// Reading a model file into a host document, by the reader that the table in
// ModelReaders.h names for its type; opening it as the application's document.
#include "importers/ModelReport.h"

#include <string>

class CRhinoDoc;

namespace zem {

// Reads into `doc` (which should be empty); on failure the report's error
// says why (without the file's name, which the caller knows) and `doc` is
// left as it was.
bool ReadModelFile(const std::wstring& path, CRhinoDoc& doc, ModelReport& report);
// Opens the file as the application's document (RhinoApp().OpenDocument).
bool OpenModelFile(const std::wstring& path, ModelReport& report);
// Opens the built-in demo document.
bool OpenDemoDocument(ModelReport& report);

}  // namespace zem
