// The CAD reader's hand-off as the program reads it from its child: the
// decoder over arbitrary bytes, then, for what it accepts, the host objects
// built from it.
#include <cstdint>
#include <string_view>

#include "standin/host/CRhinoDoc.h"
#include "importers/cad/CadDocument.h"
#include "importers/cad/CadScene.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zem::cad::CadScene scene;
  std::string error;
  if (!zem::cad::DecodeCadScene(std::string_view(reinterpret_cast<const char*>(data), size), scene, error)) return 0;
  CRhinoDoc doc;
  zem::ModelReport report;
  zem::cad::BuildCadDocument(scene, L"fuzz", doc, report);
  return 0;
}
