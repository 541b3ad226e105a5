#pragma once
// Reads CAD models (STEP: .step, .stp; IGES: .iges, .igs; any case) through
// Open CASCADE into a host document: every solid, shell or the free faces
// of a part become a polysurface whose render mesh is the kernel's
// triangulation and whose wires are its edges; assemblies are flattened
// with their placements, colours become materials.
//
// The kernel runs in a child process of the program (zem-cad-reader, the
// program beside zem-webgl, started with kCadReaderCommand), under a time
// and a memory limit, so that a file that crashes it or makes it loop costs
// one clear error and nothing else; zem-webgl itself never loads the
// kernel's libraries. Nothing here throws.
#include "importers/ModelReport.h"
#include "importers/cad/CadScene.h"

#include <string>
#include <vector>

class CRhinoDoc;

namespace zem::cad {

enum class MeshQuality { Coarse, Normal, Fine };

struct CadReadOptions {
  MeshQuality quality = MeshQuality::Normal;
  int timeLimitSeconds = 120;      // reading and meshing together
  long long memoryLimitMb = 8192;  // the child's address space
  bool showProgress = false;       // a progress line on the error stream
  std::string program;             // the program to start; empty: kCadReaderProgram beside this one
};

// The child's program, and the command it is started with:
// `zem-cad-reader __read-cad ...`.
inline constexpr const char* kCadReaderProgram = "zem-cad-reader";
inline constexpr const char* kCadReaderCommand = "__read-cad";

bool IsCadFile(const std::wstring& path);

// Reads the file into `doc` (which should be empty); on failure the
// report's error says why, naming what happened ("the STEP reader crashed on
// this file"), and `doc` is left as it was.
bool ReadCadFile(const std::wstring& path, CRhinoDoc& doc, ModelReport& report, const CadReadOptions& options);

// The options the program's readers use (set once from the command line).
void SetCadReadOptions(const CadReadOptions& options);
const CadReadOptions& CadReadOptionsInUse();

// The row of the table of model readers: ReadCadFile with the options in use.
bool ReadCadModelFile(const std::wstring& path, CRhinoDoc& doc, ModelReport& report);

// Meshes trimmed faces in the child: `input` names a JSON file
// {"objects": [{"faces": [{"surface", "loops", "reversed"}, ...]}, ...]}
// (surfaces and curves as in the host document; the outer loop first).
// Part k of `scene` is object k and its body i face i, with no groups when
// the face could not be built or meshed.
bool MeshTrimmedFaces(const std::string& input, const CadReadOptions& options, CadScene& scene, std::string& error);

// The child's side (in zem_cad_kernel, which zem-cad-reader links):
// `args` are the arguments after kCadReaderCommand. Answers the child's
// exit code.
int RunCadReaderChild(const std::vector<std::string>& args);

}  // namespace zem::cad
