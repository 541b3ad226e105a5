#include "importers/ModelFile.h"

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "importers/DemoDocument.h"
#include "importers/ModelReaders.h"
#include "standin/platform/NativePath.h"

#include <filesystem>

namespace zem {

namespace fs = std::filesystem;

bool ReadModelFile(const std::wstring& path, CRhinoDoc& doc, ModelReport& report) {
  report.error.clear();
  const fs::path file(NativePath(path));
  std::error_code ec;
  if (!fs::exists(file, ec)) {
    report.error = L"no such file";
    return false;
  }
  if (!fs::is_regular_file(file, ec)) {
    report.error = L"not a file";
    return false;
  }
  return ModelReaderFor(path).read(path, doc, report);
}

bool OpenModelFile(const std::wstring& path, ModelReport& report) {
  return RhinoApp().OpenDocument(path.c_str(), [&](CRhinoDoc& doc) { return ReadModelFile(path, doc, report); });
}

bool OpenDemoDocument(ModelReport& report) {
  return RhinoApp().OpenDocument(nullptr, [&](CRhinoDoc& doc) { return ReadDemoDocument(doc, report); });
}

}  // namespace zem
