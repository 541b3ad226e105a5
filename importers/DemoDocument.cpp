#include "importers/DemoDocument.h"

#include "importers/DocumentReader.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/platform/ScratchFolder.h"
#include "standin/platform/TextEncoding.h"

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "embedded/zem_demo.h"

namespace zem {

namespace {

namespace fs = std::filesystem;

bool WriteFile(const fs::path& path, const unsigned char* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return static_cast<bool>(out);
}

}  // namespace

bool ReadDemoDocument(CRhinoDoc& doc, ModelReport& report) {
  // The pictures go into a new folder of the document's own (private, never
  // a shared name in the temporary folder), removed with the document.
  auto scratch = std::make_unique<ScratchFolder>("zem-demo-");
  const fs::path folder = scratch->Path();
  if (folder.empty() || !WriteFile(folder / "wood.jpg", zem_demo_wood_jpg, zem_demo_wood_jpg_size) ||
      !WriteFile(folder / "leaf.png", zem_demo_leaf_png, zem_demo_leaf_png_size) ||
      !WriteFile(folder / "sky.hdr", zem_demo_sky_hdr, zem_demo_sky_hdr_size)) {
    report.error = L"cannot write the demo's pictures to a temporary folder";
    return false;
  }
  const std::string_view text(reinterpret_cast<const char*>(zem_demo_demo_json), zem_demo_demo_json_size);
  if (!ReadDocumentText(text, FromSystemBytes(folder.string()), doc, report)) return false;
  doc.KeepScratchFolder(std::move(scratch));
  return true;
}

}  // namespace zem
