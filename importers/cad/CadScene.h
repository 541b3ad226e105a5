#pragma once
// What the CAD reader's child process hands to the program: the parts of a
// model, meshed once each, and their placed instances, in a compact binary
// form of our own. The child writes it to a private file; the program reads
// it back and checks every count, index and number before it believes it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zem::cad {

struct CadColour {
  std::uint8_t red = 0, green = 0, blue = 0;
  float alpha = 1;  // 1: opaque
  bool operator==(const CadColour&) const = default;
};

// Triangles of the faces of one colour in a body: three floats a vertex,
// a unit normal per vertex, three indices a triangle (counter-clockwise
// seen from outside).
struct CadMesh {
  std::vector<float> positions;
  std::vector<float> normals;
  std::vector<std::uint32_t> triangles;
};

// The faces of one body that share a colour, with the edges that bound them
// (polylines on the mesh, three floats a point).
struct CadGroup {
  std::int32_t colour = -1;  // -1: the colour of the instance
  CadMesh mesh;
  std::vector<std::vector<float>> edges;
};

// A solid, a shell or the free faces of a part.
struct CadBody {
  std::vector<CadGroup> groups;
};

// A part in its own coordinates; every instance shows it where it is placed.
struct CadPart {
  std::vector<CadBody> bodies;
  std::vector<std::vector<double>> curves;  // free curves as polylines, xyz
  std::vector<double> points;               // free points, xyz
};

struct CadInstance {
  std::uint32_t part = 0;
  std::int32_t layer = -1;   // -1: the document's default layer
  std::int32_t colour = -1;  // -1: none given (a neutral grey)
  std::string name;          // UTF-8
  // Row-major 3 x 4: rotation and scale, then translation, in millimetres.
  double transform[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
};

struct CadScene {
  std::vector<CadColour> colours;
  std::vector<std::string> layers;  // UTF-8 names
  std::vector<CadPart> parts;
  std::vector<CadInstance> instances;
  std::vector<std::string> notes;  // what the reader met and worked around
};

// The scene as bytes (native byte order, which the header records).
std::string EncodeCadScene(const CadScene& scene);

// Reads bytes that EncodeCadScene wrote; false with the reason in `error`
// for anything else (truncated, counts beyond the data, indices out of
// range, numbers that are not finite).
bool DecodeCadScene(std::string_view bytes, CadScene& scene, std::string& error);

}  // namespace zem::cad
