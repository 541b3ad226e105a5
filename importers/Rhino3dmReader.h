#pragma once
// Reads the host's own .3dm files without the host: our node script
// (importers/rhino3dm/convert-3dm.js, through the rhino3dm module) converts
// the file into the JSON document in a child process under the readers'
// time and memory limits (those of the CAD reader, --cad-time-limit and
// --cad-memory-limit); the program then reads that document as it reads
// any (docs/document-format.md, "Documents from .3dm files").
//
// node is looked for on PATH; the script at <program's folder>/../share/
// zem-webgl/rhino3dm/convert-3dm.js, in the build tree as after
// `cmake --install`, with the rhino3dm module in node_modules beside it.
#include "importers/ChildProcess.h"
#include "importers/ModelReport.h"

#include <filesystem>
#include <string>
#include <string_view>

class CRhinoDoc;

namespace zem {

bool Read3dmFile(const std::wstring& path, CRhinoDoc& doc, ModelReport& report);

// Reads the converter's hand-off for the model at `model`: the JSON
// document plus what only the hand-off carries (the reader's notes,
// embedded pictures, trimmed faces); checks it as untrusted input.
bool Read3dmHandoff(std::string_view text, const std::filesystem::path& model, CRhinoDoc& doc, ModelReport& report);

// Where the program looks for node and the script; empty when not there.
std::string FindNodeProgram();
std::filesystem::path ConverterScriptPath();

}  // namespace zem
