#include "importers/cad/CadScene.h"

#include <cmath>
#include <cstring>
#include <type_traits>

namespace zem::cad {

namespace {

constexpr char kMagic[8] = {'Z', 'E', 'M', 'C', 'A', 'D', '1', '\n'};
constexpr std::uint32_t kByteOrder = 0x01020304;

class Writer {
 public:
  template <typename T>
  void Put(T value) {
    static_assert(std::is_trivially_copyable_v<T>);
    m_bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
  }
  void Count(std::size_t n) { Put(static_cast<std::uint32_t>(n)); }
  void Text(const std::string& text) {
    Count(text.size());
    m_bytes += text;
  }
  template <typename T>
  void Raw(const std::vector<T>& values) {
    if (values.empty()) return;
    m_bytes.append(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T));
  }
  std::string Take() { return std::move(m_bytes); }

 private:
  std::string m_bytes;
};

struct Bad {
  std::string what;
};

class Reader {
 public:
  explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

  template <typename T>
  T Get(const char* what) {
    T value;
    Need(sizeof value, what);
    std::memcpy(&value, m_bytes.data() + m_at, sizeof value);
    m_at += sizeof value;
    return value;
  }
  // A count of items of `itemBytes` each, which the rest of the data must
  // be able to hold (so a forged count allocates nothing).
  std::size_t Count(std::size_t itemBytes, const char* what) {
    const std::size_t n = Get<std::uint32_t>(what);
    if (itemBytes > 0 && n > (m_bytes.size() - m_at) / itemBytes)
      throw Bad{std::string(what) + ": count beyond the data"};
    return n;
  }
  template <typename T>
  void Array(std::vector<T>& values, std::size_t n, const char* what) {
    Need(n * sizeof(T), what);
    values.resize(n);
    if (n == 0) return;  // (an empty vector's data() may be null)
    std::memcpy(values.data(), m_bytes.data() + m_at, n * sizeof(T));
    m_at += n * sizeof(T);
  }
  std::string Text(const char* what) {
    const std::size_t n = Count(1, what);
    std::string text(m_bytes.substr(m_at, n));
    m_at += n;
    return text;
  }
  bool AtEnd() const { return m_at == m_bytes.size(); }

 private:
  void Need(std::size_t n, const char* what) {
    if (n > m_bytes.size() - m_at) throw Bad{std::string(what) + ": the data ends early"};
  }
  std::string_view m_bytes;
  std::size_t m_at = 0;
};

template <typename T>
void RequireFinite(const std::vector<T>& values, const char* what) {
  for (T v : values)
    if (!std::isfinite(v)) throw Bad{std::string(what) + ": a number that is not finite"};
}

void RequireColour(std::int32_t colour, std::size_t colours, const char* what) {
  if (colour < -1 || (colour >= 0 && static_cast<std::size_t>(colour) >= colours))
    throw Bad{std::string(what) + ": colour index out of range"};
}

void ReadPolylines(Reader& in, std::vector<std::vector<float>>& lines, const char* what) {
  lines.resize(in.Count(4, what));
  for (auto& line : lines) {
    in.Array(line, in.Count(12, what) * 3, what);
    RequireFinite(line, what);
  }
}

void ReadGroup(Reader& in, CadGroup& group, std::size_t colours) {
  group.colour = in.Get<std::int32_t>("group colour");
  RequireColour(group.colour, colours, "group");
  CadMesh& mesh = group.mesh;
  const std::size_t vertices = in.Count(12, "mesh vertices");
  in.Array(mesh.positions, vertices * 3, "mesh positions");
  RequireFinite(mesh.positions, "mesh positions");
  if (in.Get<std::uint8_t>("mesh normals flag")) {
    in.Array(mesh.normals, vertices * 3, "mesh normals");
    RequireFinite(mesh.normals, "mesh normals");
  }
  in.Array(mesh.triangles, in.Count(12, "mesh triangles") * 3, "mesh triangles");
  for (std::uint32_t index : mesh.triangles)
    if (index >= vertices) throw Bad{"mesh triangles: vertex index out of range"};
  ReadPolylines(in, group.edges, "edges");
}

}  // namespace

std::string EncodeCadScene(const CadScene& scene) {
  Writer out;
  for (char c : kMagic) out.Put(c);
  out.Put(kByteOrder);
  out.Count(scene.colours.size());
  for (const CadColour& c : scene.colours) {
    out.Put(c.red), out.Put(c.green), out.Put(c.blue), out.Put(std::uint8_t{0}), out.Put(c.alpha);
  }
  out.Count(scene.layers.size());
  for (const auto& layer : scene.layers) out.Text(layer);
  out.Count(scene.parts.size());
  auto polylines = [&](const auto& lines) {
    out.Count(lines.size());
    for (const auto& line : lines) {
      out.Count(line.size() / 3);
      out.Raw(line);
    }
  };
  for (const CadPart& part : scene.parts) {
    out.Count(part.bodies.size());
    for (const CadBody& body : part.bodies) {
      out.Count(body.groups.size());
      for (const CadGroup& group : body.groups) {
        const CadMesh& mesh = group.mesh;
        out.Put(group.colour);
        out.Count(mesh.positions.size() / 3);
        out.Raw(mesh.positions);
        const bool normals = !mesh.positions.empty() && mesh.normals.size() == mesh.positions.size();
        out.Put(static_cast<std::uint8_t>(normals));
        if (normals) out.Raw(mesh.normals);
        out.Count(mesh.triangles.size() / 3);
        out.Raw(mesh.triangles);
        polylines(group.edges);
      }
    }
    polylines(part.curves);
    out.Count(part.points.size() / 3);
    out.Raw(part.points);
  }
  out.Count(scene.instances.size());
  for (const CadInstance& instance : scene.instances) {
    out.Put(instance.part), out.Put(instance.layer), out.Put(instance.colour);
    out.Text(instance.name);
    for (double v : instance.transform) out.Put(v);
  }
  out.Count(scene.notes.size());
  for (const auto& note : scene.notes) out.Text(note);
  return out.Take();
}

bool DecodeCadScene(std::string_view bytes, CadScene& scene, std::string& error) {
  scene = CadScene();
  try {
    Reader in(bytes);
    for (char c : kMagic)
      if (in.Get<char>("header") != c) throw Bad{"header: not a hand-off of the CAD reader"};
    if (in.Get<std::uint32_t>("header") != kByteOrder) throw Bad{"header: written with another byte order"};
    scene.colours.resize(in.Count(8, "colours"));
    for (CadColour& c : scene.colours) {
      c.red = in.Get<std::uint8_t>("colour"), c.green = in.Get<std::uint8_t>("colour");
      c.blue = in.Get<std::uint8_t>("colour"), in.Get<std::uint8_t>("colour");
      c.alpha = in.Get<float>("colour");
      if (!(c.alpha >= 0 && c.alpha <= 1)) throw Bad{"colour: alpha outside 0 to 1"};
    }
    scene.layers.resize(in.Count(4, "layers"));
    for (auto& layer : scene.layers) layer = in.Text("layer name");
    scene.parts.resize(in.Count(12, "parts"));
    for (CadPart& part : scene.parts) {
      part.bodies.resize(in.Count(4, "bodies"));
      for (CadBody& body : part.bodies) {
        body.groups.resize(in.Count(17, "groups"));
        for (CadGroup& group : body.groups) ReadGroup(in, group, scene.colours.size());
      }
      part.curves.resize(in.Count(4, "curves"));
      for (auto& curve : part.curves) {
        in.Array(curve, in.Count(24, "curve points") * 3, "curve points");
        RequireFinite(curve, "curve points");
      }
      in.Array(part.points, in.Count(24, "points") * 3, "points");
      RequireFinite(part.points, "points");
    }
    scene.instances.resize(in.Count(112, "instances"));
    for (CadInstance& instance : scene.instances) {
      instance.part = in.Get<std::uint32_t>("instance part");
      if (instance.part >= scene.parts.size()) throw Bad{"instance: part index out of range"};
      instance.layer = in.Get<std::int32_t>("instance layer");
      if (instance.layer < -1 ||
          (instance.layer >= 0 && static_cast<std::size_t>(instance.layer) >= scene.layers.size()))
        throw Bad{"instance: layer index out of range"};
      instance.colour = in.Get<std::int32_t>("instance colour");
      RequireColour(instance.colour, scene.colours.size(), "instance");
      instance.name = in.Text("instance name");
      for (double& v : instance.transform) {
        v = in.Get<double>("instance placement");
        if (!std::isfinite(v)) throw Bad{"instance placement: a number that is not finite"};
      }
    }
    scene.notes.resize(in.Count(4, "notes"));
    for (auto& note : scene.notes) note = in.Text("note");
    if (!in.AtEnd()) throw Bad{"data after the end"};
  } catch (const Bad& bad) {
    scene = CadScene();
    error = bad.what;
    return false;
  }
  return true;
}

}  // namespace zem::cad
