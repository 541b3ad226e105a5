#include "page/ViewerTexts.h"

#include <cstddef>

#include "embedded/zem_meshopt.h"
#include "embedded/zem_viewer.h"

namespace zem::viewer {

#define ZEM_TEXT(symbol) std::string_view(reinterpret_cast<const char*>(symbol), symbol##_size)

std::string_view StyleSheet() { return ZEM_TEXT(zem_viewer_style_css); }

const std::array<ShaderScript, 6>& Shaders() {
  static const std::array<ShaderScript, 6> kShaders = {{
      {"back-vs", "x-shader/x-vertex", ZEM_TEXT(zem_viewer_back_vs_glsl)},
      {"back-fs", "x-shader/x-fragment", ZEM_TEXT(zem_viewer_back_fs_glsl)},
      {"mat-vs", "x-shader/x-vertex", ZEM_TEXT(zem_viewer_mat_vs_glsl)},
      {"mat-fs", "x-shader/x-fragment", ZEM_TEXT(zem_viewer_mat_fs_glsl)},
      {"c-vs", "x-shader/x-vertex", ZEM_TEXT(zem_viewer_c_vs_glsl)},
      {"c-fs", "x-shader/x-fragment", ZEM_TEXT(zem_viewer_c_fs_glsl)},
  }};
  return kShaders;
}

std::string_view VectorClass() { return ZEM_TEXT(zem_viewer_ZEMVector_js); }
std::string_view MatrixClass() { return ZEM_TEXT(zem_viewer_ZEMMat_js); }
std::string_view MainScript() { return ZEM_TEXT(zem_viewer_viewer_js); }
std::string_view MeshDecoder() { return ZEM_TEXT(zem_viewer_zemMesh_js); }
std::string_view MeshoptDecoder() { return ZEM_TEXT(zem_meshopt_meshopt_decoder_js); }
std::string_view MeshoptLicence() { return ZEM_TEXT(zem_meshopt_LICENSE_md); }
std::string_view MeshoptVersion() { return ZEM_MESHOPT_DECODER_VERSION; }

}  // namespace zem::viewer
