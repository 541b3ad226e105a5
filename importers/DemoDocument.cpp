#include "importers/DemoDocument.h"

#include "importers/DocumentReader.h"
#include "standin/platform/TextEncoding.h"

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

#include "embedded/zem_demo.h"

namespace zem {

namespace {

namespace fs = std::filesystem;

// Written under a name of this process's own, then renamed, so that a
// program reading the demo at the same time never sees half a file.
bool WriteFile(const fs::path& path, const unsigned char* data, std::size_t size) {
  const fs::path part = path.string() + "." + std::to_string(::getpid()) + ".part";
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) return false;
  }
  std::error_code ec;
  fs::rename(part, path, ec);
  if (!ec) return true;
  fs::remove(part, ec);
  return false;
}

}  // namespace

bool ReadDemoDocument(CRhinoDoc& doc, ModelReport& report) {
  std::error_code ec;
  const fs::path folder = fs::temp_directory_path(ec) / "zem-demo";
  fs::create_directories(folder, ec);
  if (!WriteFile(folder / "wood.jpg", zem_demo_wood_jpg, zem_demo_wood_jpg_size) ||
      !WriteFile(folder / "leaf.png", zem_demo_leaf_png, zem_demo_leaf_png_size) ||
      !WriteFile(folder / "sky.hdr", zem_demo_sky_hdr, zem_demo_sky_hdr_size)) {
    report.error = L"cannot write the demo's pictures to " + FromUtf8(folder.string());
    return false;
  }
  const std::string_view text(reinterpret_cast<const char*>(zem_demo_demo_json), zem_demo_demo_json_size);
  return ReadDocumentText(text, FromUtf8(folder.string()), doc, report);
}

}  // namespace zem
