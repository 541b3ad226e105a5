#pragma once
// The viewer's texts, linked into the program at build time from the files
// under page/viewer/. Each is plain ASCII, ends with a line feed, and is
// written into the page as one line (see JoinTemplateLines).
#include <array>
#include <string_view>

namespace zem::viewer {

struct ShaderScript {
  const char* id;    // element id, e.g. "back-vs"
  const char* type;  // "x-shader/x-vertex" or "x-shader/x-fragment"
  std::string_view text;
};

std::string_view StyleSheet();
// back-vs, back-fs, mat-vs, mat-fs, c-vs, c-fs, in the order of the page.
const std::array<ShaderScript, 6>& Shaders();
std::string_view VectorClass();  // ZEMVector
std::string_view MatrixClass();  // ZEMMat
std::string_view MainScript();
// zemMesh: decodes the stored meshes of a compact page inside initVB.
std::string_view MeshDecoder();
// meshoptimizer's decoder of its vertex and index codecs (the classic script
// of its npm package, lines as they are, ASCII), its licence text and the
// package's version.
std::string_view MeshoptDecoder();
std::string_view MeshoptLicence();
std::string_view MeshoptVersion();

}  // namespace zem::viewer
