#pragma once
// The built-in demo document: a model that shows everything a page can
// show (materials plain, shiny, reflective, refractive and transparent;
// textures from a JPEG, a PNG with alpha and an RGBE file; meshes of quads
// and triangles; breps with and without render meshes; several kinds of
// curve; text dots; a hidden layer, a hidden and a locked object; a
// two-colour gradient background). Its files are built into the program;
// the texture pictures are written to a temporary folder when it is read.
#include "importers/ModelReport.h"

class CRhinoDoc;

namespace zem {

bool ReadDemoDocument(CRhinoDoc& doc, ModelReport& report);

}  // namespace zem
