#pragma once
// A fast reader of Wavefront OBJ files (with their MTL libraries) that gives
// the same document as the general mesh-file reader (objects, materials,
// textures, triangles, lines and points, turned Z up), but keeps vertices
// that faces share as one vertex (one per distinct position / texture /
// normal index triple), so a large indexed model stays a fraction of the
// size. Corners without a normal keep a vertex of their own, so computed
// normals come out as the general reader computes them.
//
// What it does not read the same way (polygons of more than four corners,
// indices out of range, unusual vertex or texture statements) it declines,
// and the caller reads the file through the general reader instead.
#include <filesystem>

#include "importers/ModelReport.h"

class CRhinoDoc;

namespace zem {

enum class ObjReadResult { Read, Declined };

// Reads `file` into `doc` (objects, materials and notes; no views or
// title). On Declined, `doc` and `report` are left as they were. The text is
// parsed in `threads` pieces at a time (0: one per core), in parallel when
// it is large; any number of threads gives the same document.
ObjReadResult ReadObjFile(const std::filesystem::path& file, CRhinoDoc& doc, ModelReport& report, int threads = 0);

// The same over text in memory; MTL libraries and textures are looked up
// beside `file`.
ObjReadResult ReadObjText(std::string_view text, const std::filesystem::path& file, CRhinoDoc& doc, ModelReport& report,
                          int threads = 0);

}  // namespace zem
