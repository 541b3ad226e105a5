#pragma once
// The yard-stick model of the benchmarks: a torus of 1,000,000 triangles
// (1000 segments around the ring, 500 around the tube) as an OBJ file with
// normals, texture coordinates, an MTL and a 256 x 256 PNG texture.
#include <filesystem>

namespace zem::bench {

// Writes torus.obj, torus.mtl and torus.png into folder. False when a file
// cannot be written.
bool WriteTorus(const std::filesystem::path& folder);

// Writes the torus into folder unless torus.obj is there already, saying
// so on the terminal. False (with a message) when it cannot be written.
bool EnsureTorus(const std::filesystem::path& folder);

}  // namespace zem::bench
