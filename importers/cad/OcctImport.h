#pragma once
// The child process's work: Open CASCADE reads a STEP or IGES file through
// XCAF, meshes every part once and turns the assembly into a CadScene.
#include "importers/cad/CadReader.h"
#include "importers/cad/CadScene.h"

#include <functional>
#include <string>

class STEPCAFControl_Reader;

namespace zem::cad {

// Told the stage ("reading", "translating", "meshing", "collecting") and how
// far it has come (0 to 1, or -1 when unknown), now and then.
using ImportProgress = std::function<void(const char* stage, double fraction)>;

// Fills `scene`; false with the reason in `error` when the file cannot be
// read or holds no geometry.
bool ImportWithOpenCascade(const std::string& path, MeshQuality quality, const ImportProgress& progress,
                           CadScene& scene, std::string& error);

// Sets what the STEP reader takes: colours and names; no layers,
// properties, GD&T, materials, views or SHUO (parts of these have crashed
// the kernel on real files, and the page shows none of them).
void ConfigureStepReader(STEPCAFControl_Reader& reader);

// Builds the trimmed faces that `path` names (see MeshTrimmedFaces) with
// their surfaces and edge loops, repairs and meshes them as models are
// meshed; a face that cannot be built or meshed gives an empty body.
bool ImportTrimmedFaces(const std::string& path, MeshQuality quality, const ImportProgress& progress, CadScene& scene,
                        std::string& error);

// The linear deflection (a share of the model's box diagonal) and the
// angular deflection (radians) of each quality.
double RelativeDeflection(MeshQuality quality);
double AngularDeflection(MeshQuality quality);

}  // namespace zem::cad
