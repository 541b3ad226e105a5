#include "importers/ModelFile.h"

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "importers/DemoDocument.h"
#include "importers/ModelReaders.h"
#include "standin/platform/NativePath.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <initializer_list>

namespace zem {

namespace fs = std::filesystem;

namespace {

// Why no reader here takes the file, from its first bytes, when it is a
// kind that readers would misname: text in UTF-16 or UTF-32 (seen as
// binary, or as text without geometry), a glTF 1.0 binary (which assimp
// does not know). Empty for anything else.
std::wstring UnreadKind(const fs::path& file) {
  unsigned char head[12] = {};
  std::size_t got = 0;
  if (std::FILE* in = std::fopen(file.c_str(), "rb")) {
    got = std::fread(head, 1, sizeof head, in);
    std::fclose(in);
  }
  const auto starts = [&](std::initializer_list<unsigned char> bytes) {
    return got >= bytes.size() && std::equal(bytes.begin(), bytes.end(), head);
  };
  if (starts({0xFF, 0xFE, 0, 0}) || starts({0, 0, 0xFE, 0xFF}))
    return L"the file is UTF-32 text; only UTF-8 text is read (save it as UTF-8)";
  // Without a byte-order mark: ASCII characters with a zero byte beside
  // each, which no text format of a model starts with otherwise.
  const bool utf16 =
      starts({0xFF, 0xFE}) || starts({0xFE, 0xFF}) ||
      (got >= 4 && head[0] != 0 && head[2] != 0 && head[1] == 0 && head[3] == 0 && head[0] < 0x80 && head[2] < 0x80) ||
      (got >= 4 && head[1] != 0 && head[3] != 0 && head[0] == 0 && head[2] == 0 && head[1] < 0x80 && head[3] < 0x80);
  if (utf16) return L"the file is UTF-16 text; only UTF-8 text is read (save it as UTF-8)";
  if (starts({'g', 'l', 'T', 'F'}) && got >= 8 && head[4] == 1 && head[5] == 0 && head[6] == 0 && head[7] == 0)
    return L"a glTF 1.0 binary; binary glTF files are read in version 2.0 only";
  return std::wstring();
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
  if (const std::wstring unread = UnreadKind(file); !unread.empty()) {
    report.error = unread;
    return false;
  }
  return ModelReaderFor(path).read(path, doc, report);
}

bool OpenModelFile(const std::wstring& path, ModelReport& report) {
  report.files.push_back(path);
  return RhinoApp().OpenDocument(path.c_str(), [&](CRhinoDoc& doc) { return ReadModelFile(path, doc, report); });
}

bool OpenDemoDocument(ModelReport& report) {
  return RhinoApp().OpenDocument(nullptr, [&](CRhinoDoc& doc) { return ReadDemoDocument(doc, report); });
}

}  // namespace zem
