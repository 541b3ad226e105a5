#include "page/CompactMesh.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

namespace zem {

static_assert(std::endian::native == std::endian::little, "the stored block is written as it lies in memory");

namespace {

class ByteBlock {
 public:
  explicit ByteBlock(std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}
  template <typename T>
  void Append(const std::vector<T>& values) {
    const std::size_t at = m_bytes.size();
    const std::size_t size = values.size() * sizeof(T);
    m_bytes.resize(at + (size + 3) / 4 * 4, 0);
    if (size > 0) std::memcpy(m_bytes.data() + at, values.data(), size);
  }

 private:
  std::vector<std::uint8_t>& m_bytes;
};

// The decoder's arithmetic, step by step in double precision and stored as
// float32, so the bound is checked on the very values the page will draw.
float DecodedCoordinate(double min, double step, int q) { return static_cast<float>(min + q * step); }

void DecodedOct(int qx, int qy, double scale, float out[3]) {
  double x = std::max(qx / scale, -1.0), y = std::max(qy / scale, -1.0);
  const double z = 1 - std::abs(x) - std::abs(y);
  if (z < 0) {
    const double t = x;
    x = (1 - std::abs(y)) * (t >= 0 ? 1 : -1);
    y = (1 - std::abs(t)) * (y >= 0 ? 1 : -1);
  }
  const double l = std::sqrt(x * x + y * y + z * z);
  out[0] = static_cast<float>(x / l), out[1] = static_cast<float>(y / l), out[2] = static_cast<float>(z / l);
}

double Cosine(const float a[3], const double b[3]) {
  const double la = std::sqrt(double(a[0]) * a[0] + double(a[1]) * a[1] + double(a[2]) * a[2]);
  const double lb = std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
  return (a[0] * b[0] + a[1] * b[1] + a[2] * b[2]) / (la * lb);
}

// The octahedral code of direction n (components up to scale) closest to
// it among the four codes around its exact projection; false when even
// that misses the bound.
template <typename Code>
bool OctCode(const double n[3], double minCosine, Code code[2]) {
  constexpr double scale = std::numeric_limits<Code>::max();
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
      DecodedOct(qx, qy, scale, d);
      const double c = Cosine(d, n);
      if (c > best) best = c, code[0] = static_cast<Code>(qx), code[1] = static_cast<Code>(qy);
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

const float* Position(const PageMesh& mesh, int i) { return &mesh.positions[3 * static_cast<std::size_t>(i)]; }

}  // namespace

CompactMesh EncodeCompactMesh(const PageMesh& mesh, int chunkLimit) {
  CompactMesh out;
  out.texCoords = !mesh.texCoords.empty();

  // The triangles in page order, their corners numbered by first use.
  std::vector<int> stored(static_cast<std::size_t>(mesh.VertexCount()), -1);
  std::vector<std::uint32_t> corners;
  corners.reserve(static_cast<std::size_t>(mesh.FaceCount()) * 6);
  auto corner = [&](int i) {
    if (stored[i] < 0) stored[i] = static_cast<int>(out.vertices.size()), out.vertices.push_back(i);
    corners.push_back(static_cast<std::uint32_t>(stored[i]));
  };
  std::vector<std::size_t> bufferEnds;  // end of each buffer in corners
  out.buffers.emplace_back();
  for (int f = 0; f < mesh.FaceCount(); ++f) {
    const int* face = &mesh.faces[4 * static_cast<std::size_t>(f)];
    const bool quad = face[2] != face[3];
    corner(face[0]), corner(face[1]), corner(face[2]);
    if (quad) corner(face[0]), corner(face[2]), corner(face[3]);
    out.buffers.back().triangles += quad ? 2 : 1;
    if (out.buffers.back().triangles >= chunkLimit) bufferEnds.push_back(corners.size()), out.buffers.emplace_back();
  }
  bufferEnds.push_back(corners.size());
  const std::size_t n = out.vertices.size();
  out.vertexCount = static_cast<int>(n);

  // Positions: quantised on the box of the used vertices when every vertex
  // comes back within the bound.
  std::vector<std::uint16_t> quantised(3 * n);
  double min[3] = {0, 0, 0}, max[3] = {0, 0, 0};
  for (std::size_t k = 0; k < n; ++k) {
    const float* p = Position(mesh, out.vertices[k]);
    const double c[3] = {p[0], p[1], p[2]};
    for (int a = 0; a < 3; ++a) {
      if (k == 0 || c[a] < min[a]) min[a] = c[a];
      if (k == 0 || c[a] > max[a]) max[a] = c[a];
    }
  }
  out.quantisedPositions = true;
  for (int a = 0; a < 3; ++a) {
    out.positionMin[a] = min[a];
    out.positionStep[a] = (max[a] - min[a]) / 65535.0;
  }
  for (std::size_t k = 0; k < n && out.quantisedPositions; ++k) {
    const float* c = Position(mesh, out.vertices[k]);
    for (int a = 0; a < 3; ++a) {
      const double step = out.positionStep[a];
      const int q = step > 0 ? static_cast<int>(std::clamp(std::round((c[a] - min[a]) / step), 0.0, 65535.0)) : 0;
      quantised[3 * k + a] = static_cast<std::uint16_t>(q);
      const double error = std::abs(double(DecodedCoordinate(min[a], step, q)) - c[a]);
      if (!(error <= (max[a] - min[a]) * kPositionTolerance)) out.quantisedPositions = false;
    }
  }

  // Normals: 8-bit octahedral codes when every direction comes back within
  // half a degree, else 16-bit ones (a zero normal has no direction: the
  // floats are kept).
  const double minCosine = std::cos(kNormalToleranceDegrees * std::numbers::pi / 180.0);
  auto encodeNormals = [&](auto& codes) {
    codes.resize(2 * n);
    for (std::size_t k = 0; k < n; ++k) {
      float v[3];
      PageNormal(mesh, out.vertices[k], v);
      const double d[3] = {v[0], v[1], v[2]};
      if ((d[0] == 0 && d[1] == 0 && d[2] == 0) || !OctCode(d, minCosine, &codes[2 * k])) return false;
    }
    return true;
  };
  std::vector<std::int8_t> octs;
  std::vector<std::int16_t> fineOcts;
  out.octNormalBits = encodeNormals(octs) ? 8 : encodeNormals(fineOcts) ? 16 : 0;

  ByteBlock block(out.bytes);
  if (out.quantisedPositions) {
    block.Append(quantised);
  } else {
    std::vector<float> floats(3 * n);
    for (std::size_t k = 0; k < n; ++k) {
      const float* p = Position(mesh, out.vertices[k]);
      floats[3 * k] = p[0], floats[3 * k + 1] = p[1], floats[3 * k + 2] = p[2];
    }
    block.Append(floats);
  }
  if (out.octNormalBits == 8) {
    block.Append(octs);
  } else if (out.octNormalBits == 16) {
    block.Append(fineOcts);
  } else {
    std::vector<float> floats(3 * n);
    for (std::size_t k = 0; k < n; ++k) {
      PageNormal(mesh, out.vertices[k], &floats[3 * k]);
    }
    block.Append(floats);
  }
  if (out.texCoords) {
    std::vector<float> floats(2 * n);
    for (std::size_t k = 0; k < n; ++k) {
      const float* t = &mesh.texCoords[2 * static_cast<std::size_t>(out.vertices[k])];
      const bool finite = std::isfinite(t[0]) && std::isfinite(t[1]);
      floats[2 * k] = finite ? t[0] : 0, floats[2 * k + 1] = finite ? t[1] : 0;
    }
    block.Append(floats);
  }

  // Indices, buffer by buffer: 16 bits above the buffer's lowest vertex
  // when its vertices lie close enough together, else 32 bits.
  std::size_t begin = 0;
  for (std::size_t b = 0; b < out.buffers.size(); ++b) {
    const std::size_t end = bufferEnds[b];
    CompactMesh::Buffer& buffer = out.buffers[b];
    std::uint32_t low = 0, high = 0;
    if (end > begin) {
      const auto [lo, hi] = std::minmax_element(corners.begin() + begin, corners.begin() + end);
      low = *lo, high = *hi;
    }
    if (high - low <= 65535) {
      buffer.base = static_cast<int>(low);
      std::vector<std::uint16_t> narrow(end - begin);
      for (std::size_t k = begin; k < end; ++k) narrow[k - begin] = static_cast<std::uint16_t>(corners[k] - low);
      block.Append(narrow);
    } else {
      buffer.wide = true;
      block.Append(std::vector<std::uint32_t>(corners.begin() + begin, corners.begin() + end));
    }
    begin = end;
  }
  return out;
}

}  // namespace zem
