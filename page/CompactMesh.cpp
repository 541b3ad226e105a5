#include "page/CompactMesh.h"

#include <meshoptimizer.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <mutex>
#include <numbers>

#include "page/ParallelFor.h"

namespace zem {

static_assert(std::endian::native == std::endian::little, "the codecs' vertices are laid out as in memory");

namespace {

// The formats the page's decoder reads: the vertex codec's first version
// and the index codec's second (meshoptimizer 0.14 and later read both).
void ChooseCodecVersions() {
  static std::once_flag once;
  std::call_once(once, [] {
    meshopt_encodeVertexVersion(0);
    meshopt_encodeIndexVersion(1);
  });
}

// Splits [0, count) into parts that run on the threads.
template <typename Work>
void ForRanges(int threads, std::size_t count, Work&& work) {
  const int parts = static_cast<int>(std::clamp<std::size_t>(count / 16384, 1, static_cast<std::size_t>(threads) * 4));
  ParallelFor(threads, parts, [&](int part) {
    work(count * static_cast<std::size_t>(part) / parts, count * static_cast<std::size_t>(part + 1) / parts);
  });
}

// The decoder's arithmetic, step by step in double precision and stored as
// float32, so each bound is checked on the very values the page will draw.
float DecodedValue(double min, double step, int q) { return static_cast<float>(min + q * step); }

double Cosine(const float a[3], const double b[3]) {
  const double la = std::sqrt(double(a[0]) * a[0] + double(a[1]) * a[1] + double(a[2]) * a[2]);
  const double lb = std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
  return (a[0] * b[0] + a[1] * b[1] + a[2] * b[2]) / (la * lb);
}

// The octahedral code of `bits` bits of direction n closest to it among the
// four codes around its exact projection; false when even that misses the
// bound.
bool OctCode(const double n[3], int bits, double minCosine, std::int16_t code[2]) {
  const double scale = (1 << (bits - 1)) - 1;
  const double s = std::abs(n[0]) + std::abs(n[1]) + std::abs(n[2]);
  double px = n[0] / s, py = n[1] / s;
  if (n[2] < 0) {
    const double t = px;
    px = (1 - std::abs(py)) * (t >= 0 ? 1 : -1);
    py = (1 - std::abs(t)) * (py >= 0 ? 1 : -1);
  }
  double best = -2;
  for (double cx : {std::floor(px * scale), std::ceil(px * scale)}) {
    for (double cy : {std::floor(py * scale), std::ceil(py * scale)}) {
      const int qx = static_cast<int>(std::clamp(cx, -scale, scale));
      const int qy = static_cast<int>(std::clamp(cy, -scale, scale));
      float d[3];
      DecodeOctahedral(qx, qy, bits, d);
      const double c = Cosine(d, n);
      if (c > best) best = c, code[0] = static_cast<std::int16_t>(qx), code[1] = static_cast<std::int16_t>(qy);
    }
  }
  return best >= minCosine;
}

// The normal of vertex i as the page writes it: (0, 0, 1) when not finite.
void PageNormal(const PageMesh& mesh, int i, float out[3]) {
  const float* n = &mesh.normals[3 * static_cast<std::size_t>(i)];
  const bool finite = std::isfinite(n[0]) && std::isfinite(n[1]) && std::isfinite(n[2]);
  out[0] = finite ? n[0] : 0, out[1] = finite ? n[1] : 0, out[2] = finite ? n[2] : 1;
}

// The texture coordinates of vertex i as the page writes them: (0, 0) when
// not finite.
void PageTexCoord(const PageMesh& mesh, int i, float out[2]) {
  const float* t = &mesh.texCoords[2 * static_cast<std::size_t>(i)];
  const bool finite = std::isfinite(t[0]) && std::isfinite(t[1]);
  out[0] = finite ? t[0] : 0, out[1] = finite ? t[1] : 0;
}

// Quantises `axes` values per vertex (read by value(k, a)) to 16 bits on
// their box, each component written at codes[stride * k + a]; false when a
// decoded value would miss tolerance * extent or, when given, `absolute`.
template <typename Value>
bool Quantise(std::size_t n, int axes, int stride, double tolerance, double absolute, int threads, Value&& value,
              double* min, double* step, std::vector<std::uint16_t>& codes) {
  double max[3] = {0, 0, 0};
  for (std::size_t k = 0; k < n; ++k) {
    for (int a = 0; a < axes; ++a) {
      const double c = value(k, a);
      if (k == 0 || c < min[a]) min[a] = c;
      if (k == 0 || c > max[a]) max[a] = c;
    }
  }
  for (int a = 0; a < axes; ++a) step[a] = (max[a] - min[a]) / 65535.0;
  codes.assign(static_cast<std::size_t>(stride) * n, 0);
  std::atomic<bool> within{true};
  ForRanges(threads, n, [&](std::size_t begin, std::size_t end) {
    for (std::size_t k = begin; k < end && within; ++k) {
      for (int a = 0; a < axes; ++a) {
        const double c = value(k, a);
        const int q = step[a] > 0 ? static_cast<int>(std::clamp(std::round((c - min[a]) / step[a]), 0.0, 65535.0)) : 0;
        codes[static_cast<std::size_t>(stride) * k + static_cast<std::size_t>(a)] = static_cast<std::uint16_t>(q);
        const double error = std::abs(double(DecodedValue(min[a], step[a], q)) - c);
        if (!(error <= (max[a] - min[a]) * tolerance) || !(error <= absolute)) within = false;
      }
    }
  });
  return within;
}

// values: n vertices of `size` bytes each.
template <typename T>
std::vector<std::uint8_t> EncodeVertices(const std::vector<T>& values, std::size_t n, std::size_t size) {
  std::vector<std::uint8_t> out(meshopt_encodeVertexBufferBound(n, size));
  out.resize(meshopt_encodeVertexBuffer(out.data(), out.size(), values.data(), n, size));
  return out;
}

}  // namespace

void DecodeOctahedral(int codeX, int codeY, int bits, float out[3]) {
  const double scale = (1 << (bits - 1)) - 1;
  double x = std::max(codeX / scale, -1.0), y = std::max(codeY / scale, -1.0);
  const double z = 1 - std::abs(x) - std::abs(y);
  if (z < 0) {
    const double t = x;
    x = (1 - std::abs(y)) * (t >= 0 ? 1 : -1);
    y = (1 - std::abs(t)) * (y >= 0 ? 1 : -1);
  }
  const double l = std::sqrt(x * x + y * y + z * z);
  out[0] = static_cast<float>(x / l), out[1] = static_cast<float>(y / l), out[2] = static_cast<float>(z / l);
}

CompactMesh EncodeCompactMesh(const PageMesh& mesh, int chunkLimit, int threads) {
  ChooseCodecVersions();
  threads = std::max(1, threads);
  CompactMesh out;

  // The triangles in page order as mesh vertices, split into buffers.
  std::vector<std::uint32_t> corners;
  corners.reserve(static_cast<std::size_t>(mesh.FaceCount()) * 6);
  std::vector<std::size_t> bufferStarts{0};
  out.bufferTriangles.push_back(0);
  for (int f = 0; f < mesh.FaceCount(); ++f) {
    const int* face = &mesh.faces[4 * static_cast<std::size_t>(f)];
    const bool quad = face[2] != face[3];
    for (int c : {0, 1, 2}) corners.push_back(static_cast<std::uint32_t>(face[c]));
    if (quad)
      for (int c : {0, 2, 3}) corners.push_back(static_cast<std::uint32_t>(face[c]));
    out.bufferTriangles.back() += quad ? 2 : 1;
    if (out.bufferTriangles.back() >= chunkLimit)
      bufferStarts.push_back(corners.size()), out.bufferTriangles.push_back(0);
  }
  bufferStarts.push_back(corners.size());

  // Each buffer's triangles ordered for the vertex cache, on the buffer's
  // own vertices (numbered locally, so that the work follows the buffer's
  // size, not the mesh's); runs of buffers on the threads, each run with a
  // table from mesh vertex to local number that it leaves as it found it.
  const int buffers = static_cast<int>(out.bufferTriangles.size());
  const int runs = std::min(buffers, threads * 4);
  ParallelFor(threads, runs, [&](int run) {
    std::vector<std::uint32_t> localOf(static_cast<std::size_t>(mesh.VertexCount()), ~0u);
    std::vector<std::uint32_t> local, meshVertex, ordered;
    for (int b = buffers * run / runs; b < buffers * (run + 1) / runs; ++b) {
      const std::size_t begin = bufferStarts[b], count = bufferStarts[b + 1] - begin;
      local.resize(count), ordered.resize(count), meshVertex.clear();
      for (std::size_t k = 0; k < count; ++k) {
        std::uint32_t& number = localOf[corners[begin + k]];
        if (number == ~0u)
          number = static_cast<std::uint32_t>(meshVertex.size()), meshVertex.push_back(corners[begin + k]);
        local[k] = number;
      }
      meshopt_optimizeVertexCache(ordered.data(), local.data(), count, meshVertex.size());
      for (std::size_t k = 0; k < count; ++k) corners[begin + k] = meshVertex[ordered[k]];
      for (std::uint32_t v : meshVertex) localOf[v] = ~0u;
    }
  });

  // Vertices numbered by first use over the whole mesh.
  std::vector<std::uint32_t> remap(static_cast<std::size_t>(mesh.VertexCount()));
  const std::size_t n = meshopt_optimizeVertexFetchRemap(remap.data(), corners.data(), corners.size(), remap.size());
  out.vertexCount = static_cast<int>(n);
  out.vertices.resize(n);
  for (std::size_t v = 0; v < remap.size(); ++v)
    if (remap[v] != ~0u) out.vertices[remap[v]] = static_cast<int>(v);
  ForRanges(threads, corners.size(), [&](std::size_t begin, std::size_t end) {
    for (std::size_t k = begin; k < end; ++k) corners[k] = remap[corners[k]];
  });

  // Positions: quantised on the box of the used vertices when every vertex
  // comes back within the bound.
  std::vector<std::uint16_t> positionCodes;
  auto position = [&](std::size_t k, int a) {
    return double(mesh.positions[3 * static_cast<std::size_t>(out.vertices[k]) + static_cast<std::size_t>(a)]);
  };
  out.quantisedPositions = Quantise(n, 3, 4, kPositionTolerance, HUGE_VAL, threads, position, out.positionMin,
                                    out.positionStep, positionCodes);

  // Normals: the fewest bits from 8 to 16 whose octahedral codes bring every
  // direction back within half a degree (a zero normal has no direction:
  // the floats are kept).
  const double minCosine = std::cos(kNormalToleranceDegrees * std::numbers::pi / 180.0);
  std::vector<std::int16_t> octs(2 * n);
  for (int bits = 8; bits <= 16 && out.normalBits == 0; ++bits) {
    std::atomic<bool> within{true};
    ForRanges(threads, n, [&](std::size_t begin, std::size_t end) {
      for (std::size_t k = begin; k < end && within; ++k) {
        float v[3];
        PageNormal(mesh, out.vertices[k], v);
        const double d[3] = {v[0], v[1], v[2]};
        if ((d[0] == 0 && d[1] == 0 && d[2] == 0) || !OctCode(d, bits, minCosine, &octs[2 * k])) within = false;
      }
    });
    if (within) out.normalBits = bits;
  }

  // Texture coordinates: quantised on their box within both bounds.
  std::vector<std::uint16_t> texCodes;
  if (!mesh.texCoords.empty()) {
    auto texCoord = [&](std::size_t k, int a) {
      float t[2];
      PageTexCoord(mesh, out.vertices[k], t);
      return double(t[a]);
    };
    out.texCoords =
        Quantise(n, 2, 2, kPositionTolerance, kTexCoordTolerance, threads, texCoord, out.texMin, out.texStep, texCodes)
            ? CompactMesh::TexCoords::Quantised
            : CompactMesh::TexCoords::Floats;
  }

  // The four sections, each compressed on a thread of its own.
  std::vector<std::uint8_t> sections[CompactMesh::kSections];
  ParallelFor(threads, CompactMesh::kSections, [&](int s) {
    std::vector<std::uint8_t>& bytes = sections[s];
    switch (s) {
      case CompactMesh::kPositions:
        if (out.quantisedPositions) {
          bytes = EncodeVertices(positionCodes, n, 8);
        } else {
          std::vector<float> floats(3 * n);
          for (std::size_t k = 0; k < 3 * n; ++k) floats[k] = static_cast<float>(position(k / 3, int(k % 3)));
          bytes = EncodeVertices(floats, n, 12);
        }
        break;
      case CompactMesh::kNormals:
        if (out.normalBits == 8) {
          std::vector<std::int8_t> narrow(4 * n, 0);
          for (std::size_t k = 0; k < n; ++k)
            narrow[4 * k] = static_cast<std::int8_t>(octs[2 * k]),
                       narrow[4 * k + 1] = static_cast<std::int8_t>(octs[2 * k + 1]);
          bytes = EncodeVertices(narrow, n, 4);
        } else if (out.normalBits > 8) {
          bytes = EncodeVertices(octs, n, 4);
        } else {
          std::vector<float> floats(3 * n);
          for (std::size_t k = 0; k < n; ++k) PageNormal(mesh, out.vertices[k], &floats[3 * k]);
          bytes = EncodeVertices(floats, n, 12);
        }
        break;
      case CompactMesh::kTexCoords:
        if (out.texCoords == CompactMesh::TexCoords::Quantised) {
          bytes = EncodeVertices(texCodes, n, 4);
        } else if (out.texCoords == CompactMesh::TexCoords::Floats) {
          std::vector<float> floats(2 * n);
          for (std::size_t k = 0; k < n; ++k) PageTexCoord(mesh, out.vertices[k], &floats[2 * k]);
          bytes = EncodeVertices(floats, n, 8);
        }
        break;
      default:
        bytes.resize(meshopt_encodeIndexBufferBound(corners.size(), n));
        bytes.resize(meshopt_encodeIndexBuffer(bytes.data(), bytes.size(), corners.data(), corners.size()));
        break;
    }
  });
  for (int s = 0; s < CompactMesh::kSections; ++s) {
    out.sections[s] = sections[s].size();
    out.bytes.insert(out.bytes.end(), sections[s].begin(), sections[s].end());
  }
  out.checksum = static_cast<std::uint32_t>(crc32_z(crc32_z(0, nullptr, 0), out.bytes.data(), out.bytes.size()));
  return out;
}

}  // namespace zem
