#pragma once
// Reading a model file into a host document: the host's own document
// format for ".json" files, STEP and IGES through the CAD reader
// (importers/cad), the mesh formats through assimp for the rest.
#include "host/model/ModelReport.h"

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
