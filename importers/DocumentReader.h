#pragma once
// Reads the host's own document format (JSON; see docs/document-format.md)
// into an empty document. Relative texture file names are taken from
// `baseFolder`. Malformed input gives a clear error naming the place (a line
// and column, or a path such as objects[3].mesh.faces[2]); nothing is added
// to the document then. Repairs (such as computed normals) and ignored keys
// are noted in the report.
#include "importers/ModelReport.h"

#include <string>
#include <string_view>

class CRhinoDoc;

namespace zem {

// Reads a document file (at most 1 GiB); its folder is the base folder.
bool ReadDocumentFile(const std::wstring& path, CRhinoDoc& doc, ModelReport& report);

bool ReadDocumentText(std::string_view text, const std::wstring& baseFolder, CRhinoDoc& doc, ModelReport& report);

}  // namespace zem
