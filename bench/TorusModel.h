#pragma once
// The yard-stick model of the benchmarks: a torus of 1,000,000 triangles
// (1000 segments around the ring, 500 around the tube) as an OBJ file with
// normals, texture coordinates, an MTL and a 256 x 256 PNG texture.
#include <filesystem>

namespace zem::bench {

// The larger tori have `factor` times the segments both ways, so factor^2
// times the triangles (factor 2: 4,000,000), in torus-<factor>x.obj.
std::filesystem::path TorusFile(const std::filesystem::path& folder, int factor = 1);

// Writes the torus OBJ (torus.obj for factor 1), torus.mtl and torus.png
// into folder. False when a file cannot be written.
bool WriteTorus(const std::filesystem::path& folder, int factor = 1);

// Writes the torus into folder unless its OBJ is there already, saying so
// on the terminal. False (with a message) when it cannot be written.
bool EnsureTorus(const std::filesystem::path& folder, int factor = 1);

}  // namespace zem::bench
