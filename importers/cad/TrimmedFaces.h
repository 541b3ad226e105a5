#pragma once
// Trimmed faces of a .3dm model rebuilt in Open CASCADE: the face's NURBS
// surface and its edge loops (3-D NURBS curves, the outer loop first, as
// the .3dm reader's hand-off gives them) made into a face, whose missing
// curves on the surface and loose ends the kernel's shape repair fills in.
#include <nlohmann/json.hpp>

#include <TopoDS_Face.hxx>

#include <string>

namespace zem::cad {

// The face, or a null face with the reason in `why`. `precision` is the
// distance below which points are taken as one.
TopoDS_Face BuildTrimmedFace(const nlohmann::json& face, double precision, std::string& why);

}  // namespace zem::cad
