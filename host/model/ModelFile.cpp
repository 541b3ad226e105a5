#include "host/model/ModelFile.h"

#include "host/CRhinoApp.h"
#include "host/CRhinoDoc.h"
#include "host/model/DemoDocument.h"
#include "host/model/DocumentReader.h"
#include "host/model/MeshFileReader.h"
#include "importers/cad/CadReader.h"
#include "platform/NativePath.h"
#include "platform/TextEncoding.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zem {

namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t kMaxDocumentBytes = 1u << 30;

bool IsDocumentFormat(const fs::path& file) {
  std::string ext = file.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".json";
}

}  // namespace

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
  if (cad::IsCadFile(path)) return cad::ReadCadFile(path, doc, report, cad::CadReadOptionsInUse());
  if (!IsDocumentFormat(file)) return ReadMeshFile(path, doc, report);

  const std::uintmax_t size = fs::file_size(file, ec);
  if (ec || size > kMaxDocumentBytes) {
    report.error = L"too large for a document";
    return false;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    report.error = FromUtf8(std::strerror(errno));
    return false;
  }
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    report.error = L"read error";
    return false;
  }
  return ReadDocumentText(text, FromUtf8(file.parent_path().string()), doc, report);
}

bool OpenModelFile(const std::wstring& path, ModelReport& report) {
  return RhinoApp().OpenDocument(path.c_str(), [&](CRhinoDoc& doc) { return ReadModelFile(path, doc, report); });
}

bool OpenDemoDocument(ModelReport& report) {
  return RhinoApp().OpenDocument(nullptr, [&](CRhinoDoc& doc) { return ReadDemoDocument(doc, report); });
}

}  // namespace zem
