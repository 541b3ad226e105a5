#include "importers/ObjFileReader.h"
#include "importers/TextureFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "standin/host/CRhinoCurveObject.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoMeshObject.h"
#include "standin/host/CRhinoPointCloudObject.h"
#include "standin/host/ON_PolylineCurve.h"
#include "standin/platform/TextEncoding.h"
#include "standin/platform/RegularFile.h"

#include <assimp/fast_atof.h>
#include <assimp/types.h>

namespace zem {

namespace {

namespace fs = std::filesystem;

// A material library is a page of text; one larger than this is no library.
constexpr std::uintmax_t kMaxMaterialLibraryBytes = 64u << 20;

// Thrown inside the reader when the file needs the general reader.
struct Decline {};

using Float3 = std::array<float, 3>;

// One corner of a face: indices into the file's positions, texture
// coordinates and normals (-1 where the corner has none).
struct Corner {
  int v = -1, t = -1, n = -1;
  bool operator==(const Corner&) const = default;
};

struct CornerHash {
  std::size_t operator()(const Corner& c) const {
    return (static_cast<std::size_t>(c.v) * 0x9E3779B97F4A7C15ull) ^ (static_cast<std::size_t>(c.t) << 21) ^
           static_cast<std::size_t>(c.n);
  }
};

struct ObjMaterial {
  std::string name;
  Float3 ambient{0, 0, 0}, diffuse{0.6f, 0.6f, 0.6f}, specular{0, 0, 0}, emissive{0, 0, 0};
  float shininess = 0, alpha = 1, ior = 1;
  std::string texture;
};

// The faces, lines and points of one object in one material.
struct ObjMesh {
  std::string name;
  int material = 0;
  std::vector<Corner> vertices;                        // distinct corners, in order of first use
  std::vector<int> triangles;                          // three vertex numbers each
  std::vector<int> byPosition;                         // position -> first vertex made from it (+1), 0 none
  std::unordered_map<Corner, int, CornerHash> others;  // further corners of a position
  std::vector<std::array<int, 2>> segments;            // position indices
  std::vector<int> points;                             // position indices
  bool anyNormal = false, anyMissingNormal = false, anyTexture = false, anyMissingTexture = false;
  bool Empty() const { return triangles.empty() && segments.empty() && points.empty(); }
};

struct ObjObject {
  std::string name;
  std::vector<int> meshes;
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// The next blank-separated word of `s`, taken off its front.
std::string_view Word(std::string_view& s) {
  // The line's end is trimmed already: only the blanks before the word go.
  std::size_t begin = 0;
  while (begin < s.size() && (s[begin] == ' ' || s[begin] == '\t')) ++begin;
  s.remove_prefix(begin);
  std::size_t end = 0;
  while (end < s.size() && s[end] != ' ' && s[end] != '\t') ++end;
  std::string_view word = s.substr(0, end);
  s.remove_prefix(end);
  return word;
}

// Numbers are read with assimp's own conversion, which is not always the
// nearest float to the decimal text; reading them the same way keeps the
// page what the general reader makes of the file, to the last digit.
struct BadNumber {
  template <typename... Parts>
  explicit BadNumber(Parts&&...) {}
};

float ParseFloat(std::string_view word) {
  char text[64];
  if (word.empty() || word.size() >= sizeof text) throw Decline{};
  word.copy(text, word.size());
  text[word.size()] = '\0';
  float value = 0;
  const char* end = text;
  try {
    end = Assimp::fast_atoreal_move<float, BadNumber>(text, value);
  } catch (const BadNumber&) {
    throw Decline{};
  }
  if (end != text + word.size() || !std::isfinite(value)) throw Decline{};
  return value;
}

// Up to `most` numbers, at least `least`.
int ParseFloats(std::string_view rest, float* out, int least, int most) {
  int count = 0;
  for (std::string_view w = Word(rest); !w.empty(); w = Word(rest)) {
    if (count == most) throw Decline{};
    out[count++] = ParseFloat(w);
  }
  if (count < least) throw Decline{};
  return count;
}

// An index as written: 1-based, or negative counting back from the end of
// what the lines before it defined. Never 0, which the format has no use for.
int RawIndex(std::string_view word) {
  long long value = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size() || value == 0) throw Decline{};
  // No file holds this many of anything; such an index is out of range.
  if (value > INT_MAX || value < -INT_MAX) throw Decline{};
  return static_cast<int>(value);
}

// An index as written turned into a 0-based index below `count`, the
// number of items defined before it.
int Resolve(int raw, std::size_t count) {
  const long long index = raw > 0 ? raw - 1LL : static_cast<long long>(count) + raw;
  if (index < 0 || index >= static_cast<long long>(count)) throw Decline{};
  return static_cast<int>(index);
}

// A statement whose meaning depends on the lines before it: a face, line or
// point statement by the indices written in it, or a name that starts an
// object, a group or a material.
enum class StatementKind : unsigned char { Face, Line, Points, Object, Group, UseMaterial, MaterialLibrary };

struct Statement {
  StatementKind kind;
  int count = 0;          // corners of a face; indices of a line or points
  std::size_t first = 0;  // into the piece's indices, or its names
  // How many positions, texture coordinates and normals the piece had
  // defined before this statement.
  std::uint32_t positions = 0, texcoords = 0, normals = 0;
};

// One run of whole lines, parsed on its own: the numbers read and every
// other statement kept in order with its indices as written. Pieces of a
// file parse in parallel; ObjParser::Join then takes them in file order, so
// the result is the one reading the lines one by one gives.
struct Piece {
  std::vector<Float3> positions, normals;
  std::vector<std::array<float, 2>> texcoords;
  std::vector<Statement> statements;
  std::vector<int> indices;  // a face's corners as (v, t, n), 0 where absent; a line's or points' positions
  std::vector<std::string> names;

  // Empties the piece and keeps its storage for the next run of lines.
  void Clear() {
    positions.clear(), normals.clear(), texcoords.clear(), statements.clear(), indices.clear(), names.clear();
  }

  void Parse(std::string_view text) {
    while (!text.empty()) {
      const std::size_t end = text.find('\n');
      if (end == std::string_view::npos) {
        ParseLine(text);
        return;
      }
      ParseLine(text.substr(0, end));
      text.remove_prefix(end + 1);
    }
  }

 private:
  Statement& Add(StatementKind kind, int count, std::size_t first) {
    Statement& s = statements.emplace_back();
    s.kind = kind, s.count = count, s.first = first;
    s.positions = static_cast<std::uint32_t>(positions.size());
    s.texcoords = static_cast<std::uint32_t>(texcoords.size());
    s.normals = static_cast<std::uint32_t>(normals.size());
    return s;
  }

  void ParseLine(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') return;
    // Lines continued with a backslash are left to the general reader.
    if (line.back() == '\\') throw Decline{};
    std::string_view rest = line;
    const std::string_view key = Word(rest);
    if (key == "v") {
      Float3 p;
      ParseFloats(rest, p.data(), 3, 3);
      positions.push_back(p);
    } else if (key == "vn") {
      Float3 n;
      ParseFloats(rest, n.data(), 3, 3);
      normals.push_back(n);
    } else if (key == "vt") {
      float t[3] = {0, 0, 0};
      ParseFloats(rest, t, 1, 3);
      texcoords.push_back({t[0], t[1]});
    } else if (key == "f") {
      Face(rest);
    } else if (key == "l") {
      Indices(rest, StatementKind::Line);
    } else if (key == "p") {
      Indices(rest, StatementKind::Points);
    } else if (key == "o" || key == "g" || key == "usemtl" || key == "mtllib") {
      const StatementKind kind = key == "o"        ? StatementKind::Object
                                 : key == "g"      ? StatementKind::Group
                                 : key == "usemtl" ? StatementKind::UseMaterial
                                                   : StatementKind::MaterialLibrary;
      Add(kind, 0, names.size());
      names.emplace_back(Trim(rest));
    } else if (key == "vp" || key == "curv" || key == "surf" || key == "cstype" || key == "deg") {
      throw Decline{};
    }
    // Smoothing groups, merging groups and other statements change nothing
    // the page shows.
  }

  void Face(std::string_view rest) {
    int raw[12] = {};
    int count = 0;
    for (std::string_view w = Word(rest); !w.empty(); w = Word(rest)) {
      if (count == 4) throw Decline{};
      int* corner = &raw[3 * count++];
      const std::size_t slash = w.find('/');
      corner[0] = RawIndex(w.substr(0, slash));
      if (slash != std::string_view::npos) {
        std::string_view tail = w.substr(slash + 1);
        const std::size_t second = tail.find('/');
        const std::string_view t = tail.substr(0, second);
        if (!t.empty()) corner[1] = RawIndex(t);
        if (second != std::string_view::npos) corner[2] = RawIndex(tail.substr(second + 1));
      }
    }
    if (count < 3) throw Decline{};
    Add(StatementKind::Face, count, indices.size());
    indices.insert(indices.end(), raw, raw + 3 * count);
  }

  void Indices(std::string_view rest, StatementKind kind) {
    const std::size_t first = indices.size();
    for (std::string_view w = Word(rest); !w.empty(); w = Word(rest))
      indices.push_back(RawIndex(w.substr(0, w.find('/'))));
    const std::size_t count = indices.size() - first;
    if (count == 0 || (kind == StatementKind::Line && count < 2)) throw Decline{};
    Add(kind, static_cast<int>(count), first);
  }
};

// Splits `text` (whole lines) into `pieces.size()` runs of whole lines of
// about equal size and parses them, in parallel when the text is large
// enough to be worth threads. A piece may be empty. Declines when any piece
// declines; whatever a piece throws is thrown here once all have stopped.
void ParsePieces(std::string_view text, std::vector<Piece>& pieces) {
  const std::size_t count = pieces.size();
  std::vector<std::string_view> parts(count);
  std::size_t begin = 0;
  for (std::size_t k = 0; k < count; ++k) {
    std::size_t end = text.size();
    if (k + 1 < count) {
      // The piece ends after the line that holds the last byte of its share.
      const std::size_t share = text.size() * (k + 1) / count;
      if (share <= begin) {
        end = begin;
      } else {
        const std::size_t newline = text.find('\n', share - 1);
        end = newline == std::string_view::npos ? text.size() : newline + 1;
      }
    }
    parts[k] = text.substr(begin, end - begin);
    begin = end;
  }
  for (Piece& piece : pieces) piece.Clear();
  // Below this a piece parses faster than a thread starts.
  constexpr std::size_t kWorthAThread = 256 * 1024;
  if (count == 1 || text.size() < kWorthAThread) {
    for (std::size_t k = 0; k < count; ++k) pieces[k].Parse(parts[k]);
    return;
  }
  std::vector<std::exception_ptr> failures(count);
  auto parse = [&](std::size_t k) {
    try {
      pieces[k].Parse(parts[k]);
    } catch (...) {
      failures[k] = std::current_exception();
    }
  };
  {
    std::vector<std::jthread> helpers;
    helpers.reserve(count - 1);
    for (std::size_t k = 1; k < count; ++k) {
      try {
        helpers.emplace_back(parse, k);
      } catch (const std::system_error&) {
        parse(k);  // no thread to be had: this one parses it
      }
    }
    parse(0);
  }  // joined
  for (const std::exception_ptr& failure : failures)
    if (failure) std::rethrow_exception(failure);
}

class ObjParser {
 public:
  ObjParser(const fs::path& file) : m_file(file) {
    ObjMaterial standard;
    standard.name = "DefaultMaterial";
    m_materials.push_back(standard);
  }

  // Takes the next piece of the file, in file order.
  void Join(const Piece& piece);
  void Finish(CRhinoDoc& doc, ModelReport& report);

 private:
  void ReadMaterialLibrary(std::string_view name);
  void CreateObject(std::string_view name);
  void CreateMesh(std::string_view name);
  ObjMesh& CurrentMesh();
  int MaterialIndex(std::string_view name) const;
  void Name(StatementKind kind, std::string_view name);
  void Face(const int* raw, int count, std::size_t positions, std::size_t texcoords, std::size_t normals);
  void Segments(const int* raw, int count, std::size_t positions, bool line);
  int Vertex(ObjMesh& mesh, const Corner& corner);

  fs::path m_file;
  std::vector<fs::path> m_libraries;  // the material libraries read
  std::vector<Float3> m_positions, m_normals;
  std::vector<std::array<float, 2>> m_texcoords;
  std::vector<ObjMaterial> m_materials;
  std::vector<ObjObject> m_objects;
  std::vector<ObjMesh> m_meshes;
  int m_object = -1, m_mesh = -1, m_material = -1;
  std::string m_activeGroup;
};

void ObjParser::Join(const Piece& piece) {
  const std::size_t positions = m_positions.size(), texcoords = m_texcoords.size(), normals = m_normals.size();
  m_positions.insert(m_positions.end(), piece.positions.begin(), piece.positions.end());
  m_texcoords.insert(m_texcoords.end(), piece.texcoords.begin(), piece.texcoords.end());
  m_normals.insert(m_normals.end(), piece.normals.begin(), piece.normals.end());
  for (const Statement& s : piece.statements) {
    switch (s.kind) {
      case StatementKind::Face:
        Face(&piece.indices[s.first], s.count, positions + s.positions, texcoords + s.texcoords, normals + s.normals);
        break;
      case StatementKind::Line:
      case StatementKind::Points:
        Segments(&piece.indices[s.first], s.count, positions + s.positions, s.kind == StatementKind::Line);
        break;
      default:
        Name(s.kind, piece.names[s.first]);
        break;
    }
  }
}

void ObjParser::Name(StatementKind kind, std::string_view name) {
  if (kind == StatementKind::Object) {
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
      if (m_objects[i].name == name) {
        m_object = static_cast<int>(i);
        return;
      }
    }
    CreateObject(name);
  } else if (kind == StatementKind::Group) {
    if (name != m_activeGroup) {
      CreateObject(name);
      m_activeGroup = std::string(name);
    }
  } else if (kind == StatementKind::UseMaterial) {
    int index = MaterialIndex(name);
    if (index < 0) {
      // A material the libraries do not hold keeps its name with the
      // standard colours.
      ObjMaterial unknown;
      unknown.name = std::string(name);
      m_materials.push_back(unknown);
      index = static_cast<int>(m_materials.size()) - 1;
    }
    m_material = index;
    // A material chosen before any object starts the default object.
    if (m_object < 0) CreateObject("defaultobject");
    if (m_mesh < 0 || (m_meshes[m_mesh].material != index && !m_meshes[m_mesh].Empty())) CreateMesh(name);
    m_meshes[m_mesh].material = index;
  } else if (kind == StatementKind::MaterialLibrary) {
    ReadMaterialLibrary(name);
  }
}

void ObjParser::CreateObject(std::string_view name) {
  m_objects.push_back({std::string(name), {}});
  m_object = static_cast<int>(m_objects.size()) - 1;
  CreateMesh(name);
  if (m_material >= 0) m_meshes[m_mesh].material = m_material;
}

void ObjParser::CreateMesh(std::string_view name) {
  if (m_object < 0) {
    m_objects.push_back({"defaultobject", {}});
    m_object = 0;
  }
  ObjMesh mesh;
  mesh.name = std::string(name);
  mesh.material = m_material >= 0 ? m_material : 0;
  m_meshes.push_back(std::move(mesh));
  m_mesh = static_cast<int>(m_meshes.size()) - 1;
  m_objects[m_object].meshes.push_back(m_mesh);
}

ObjMesh& ObjParser::CurrentMesh() {
  if (m_object < 0) CreateObject("defaultobject");
  if (m_mesh < 0) CreateMesh(m_objects[m_object].name);
  return m_meshes[m_mesh];
}

int ObjParser::MaterialIndex(std::string_view name) const {
  for (std::size_t i = 0; i < m_materials.size(); ++i) {
    if (m_materials[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

int ObjParser::Vertex(ObjMesh& mesh, const Corner& corner) {
  const int next = static_cast<int>(mesh.vertices.size());
  if (corner.n < 0) {
    // Without a normal the corner's normal is computed from its own face.
    mesh.vertices.push_back(corner);
    return next;
  }
  if (mesh.byPosition.size() <= static_cast<std::size_t>(corner.v)) mesh.byPosition.resize(m_positions.size(), 0);
  int& first = mesh.byPosition[corner.v];
  if (first == 0) {
    first = next + 1;
    mesh.vertices.push_back(corner);
    return next;
  }
  if (mesh.vertices[first - 1] == corner) return first - 1;
  const auto [it, added] = mesh.others.try_emplace(corner, next);
  if (added) mesh.vertices.push_back(corner);
  return it->second;
}

void ObjParser::Face(const int* raw, int count, std::size_t positions, std::size_t texcoords, std::size_t normals) {
  Corner corners[4];
  for (int k = 0; k < count; ++k) {
    Corner& c = corners[k];
    const int* r = &raw[3 * k];
    c.v = Resolve(r[0], positions);
    if (r[1] != 0) c.t = Resolve(r[1], texcoords);
    if (r[2] != 0) c.n = Resolve(r[2], normals);
  }
  ObjMesh& mesh = CurrentMesh();
  for (int k = 0; k < count; ++k) {
    (corners[k].n >= 0 ? mesh.anyNormal : mesh.anyMissingNormal) = true;
    (corners[k].t >= 0 ? mesh.anyTexture : mesh.anyMissingTexture) = true;
  }
  // A mesh whose corners only partly carry normals or texture coordinates
  // is filled in by the general reader's own rules.
  if ((mesh.anyNormal && mesh.anyMissingNormal) || (mesh.anyTexture && mesh.anyMissingTexture)) throw Decline{};
  int start = 0;
  if (count == 4) {
    // A quadrangle is split along the diagonal from its concave corner, if
    // it has one.
    for (int i = 0; i < 4; ++i) {
      auto at = [&](int k) {
        const Float3& p = m_positions[corners[(i + k) % 4].v];
        return std::array<float, 3>{p[0], p[1], p[2]};
      };
      const auto v = at(0), v0 = at(3), v1 = at(2), v2 = at(1);
      auto sub = [](const Float3& a, const Float3& b) { return Float3{a[0] - b[0], a[1] - b[1], a[2] - b[2]}; };
      auto norm = [](Float3 a) {
        const float len = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
        if (len > 0) a = {a[0] / len, a[1] / len, a[2] / len};
        return a;
      };
      auto dot = [](const Float3& a, const Float3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
      const Float3 left = norm(sub(v0, v)), diag = norm(sub(v1, v)), right = norm(sub(v2, v));
      // The corner is concave when the angles from the diagonal to both
      // sides add up to more than pi, that is when the cosines add up to
      // less than zero. The sum of the cosines settles it without the arc
      // cosines unless it is so near zero (or a cosine so far out of range)
      // that their rounding could decide; then they are computed as the
      // general reader computes them.
      const float cosLeft = dot(left, diag), cosRight = dot(right, diag), cosSum = cosLeft + cosRight;
      const bool clear = std::fabs(cosLeft) <= 1 && std::fabs(cosRight) <= 1 && std::fabs(cosSum) > 1e-3f;
      const bool concave = clear ? cosSum < 0 : std::acos(cosLeft) + std::acos(cosRight) > 3.14159265358979323846f;
      if (concave) {
        start = i;
        break;
      }
    }
  }
  int ids[4] = {};
  for (int k = 0; k < count; ++k) ids[k] = Vertex(mesh, corners[(start + k) % count]);
  std::vector<int>& t = mesh.triangles;
  t.push_back(ids[0]), t.push_back(ids[1]), t.push_back(ids[2]);
  if (count == 4) t.push_back(ids[0]), t.push_back(ids[2]), t.push_back(ids[3]);
}

void ObjParser::Segments(const int* raw, int count, std::size_t positions, bool line) {
  std::vector<int> indices(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) indices[k] = Resolve(raw[k], positions);
  ObjMesh& mesh = CurrentMesh();
  if (line) {
    for (std::size_t i = 0; i + 1 < indices.size(); ++i) mesh.segments.push_back({indices[i], indices[i + 1]});
  } else {
    mesh.points.insert(mesh.points.end(), indices.begin(), indices.end());
  }
}

void ObjParser::ReadMaterialLibrary(std::string_view name) {
  std::string relative(name);
  std::replace(relative.begin(), relative.end(), '\\', '/');
  fs::path path(relative);
  if (path.is_relative()) path = m_file.parent_path() / path;
  std::vector<unsigned char> bytes;
  std::string why;
  if (!ReadRegularFile(path.string(), kMaxMaterialLibraryBytes, bytes, why)) return;
  m_libraries.push_back(path);
  const std::string text(bytes.begin(), bytes.end());

  ObjMaterial* current = nullptr;
  auto colour = [&](std::string_view rest, Float3& out) {
    float c[3] = {0, 0, 0};
    const int count = ParseFloats(rest, c, 1, 3);
    out = count == 1 ? Float3{c[0], c[0], c[0]} : Float3{c[0], c[1], c[2]};
  };
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos) end = text.size();
    std::string_view rest = Trim(std::string_view(text).substr(begin, end - begin));
    begin = end + 1;
    if (rest.empty() || rest.front() == '#') continue;
    const std::string_view key = Word(rest);
    if (key == "newmtl") {
      const std::string_view materialName = Trim(rest);
      const int existing = MaterialIndex(materialName);
      if (existing >= 0) throw Decline{};
      m_materials.push_back({});
      current = &m_materials.back();
      current->name = std::string(materialName);
      continue;
    }
    if (!current) continue;
    if (key == "Kd")
      colour(rest, current->diffuse);
    else if (key == "Ka")
      colour(rest, current->ambient);
    else if (key == "Ks")
      colour(rest, current->specular);
    else if (key == "Ke")
      colour(rest, current->emissive);
    else if (key == "Ns")
      ParseFloats(rest, &current->shininess, 1, 1);
    else if (key == "Ni")
      ParseFloats(rest, &current->ior, 1, 1);
    else if (key == "d")
      ParseFloats(rest, &current->alpha, 1, 1);
    else if (key == "Tr") {
      float tr = 0;
      ParseFloats(rest, &tr, 1, 1);
      current->alpha = 1.0f - tr;
    } else if (key == "map_Kd") {
      const std::string_view file = Trim(rest);
      if (file.empty() || file.front() == '-') throw Decline{};
      current->texture = std::string(file);
    } else if (key.starts_with("map_") || key == "bump" || key == "disp" || key == "decal" || key == "refl" ||
               key == "illum" || key == "Tf" || key.starts_with("P") || key == "aniso" || key == "anisor" ||
               key == "norm") {
      // Maps and terms the page does not use.
    }
  }
}

ON_Color ColourOf(const Float3& c) {
  auto channel = [](float v) {
    return static_cast<int>(std::lround(std::clamp(std::isfinite(v) ? v : 0.0f, 0.0f, 1.0f) * 255));
  };
  return ON_Color(channel(c[0]), channel(c[1]), channel(c[2]));
}

// (x, y, z) Y up turned to (x, -z, y) Z up; adding zero makes a zero
// coordinate positive, as the general reader's matrix product does.
ON_3fPoint ZUp(const Float3& p) { return ON_3fPoint(p[0] + 0.0f, -p[2] + 0.0f, p[1] + 0.0f); }

void ObjParser::Finish(CRhinoDoc& doc, ModelReport& report) {
  for (const fs::path& library : m_libraries) report.files.push_back(FromSystemBytes(library.string()));
  // Normals turn by the inverse transpose of the Y-up to Z-up matrix,
  // computed as the general reader computes it, so the signs of zero
  // components come out the same.
  aiMatrix3x3 normalMatrix(aiMatrix4x4(1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1));
  normalMatrix.Inverse().Transpose();
  std::vector<int> documentMaterial;
  for (std::size_t i = 0; i < m_materials.size(); ++i) {
    const ObjMaterial& m = m_materials[i];
    ON_Material material;
    material.m_material_name = FromUtf8(m.name);
    material.m_diffuse = ColourOf(m.diffuse);
    material.m_specular = ColourOf(m.specular);
    material.m_ambient = ColourOf(m.ambient);
    material.m_emission = ColourOf(m.emissive);
    if (std::isfinite(m.shininess))
      material.SetShine(std::clamp(m.shininess, 0.0f, 128.0f) / 128.0 * ON_Material::MaxShine());
    material.m_transparency = std::clamp(1.0 - m.alpha, 0.0, 1.0);
    if (m.ior > 0) material.m_index_of_refraction = m.ior;
    if (!m.texture.empty()) {
      const std::wstring path = FindTextureFile(m_file, m.texture, static_cast<int>(i), report);
      const int t = material.AddTexture(path.c_str(), ON_Texture::bitmap_texture);
      material.m_textures[t].m_bOn = true;
      material.m_textures[t].m_mode = ON_Texture::modulate_texture;
    }
    documentMaterial.push_back(doc.m_material_table.AddMaterial(material));
  }

  for (const ObjObject& object : m_objects) {
    for (int meshIndex : object.meshes) {
      ObjMesh& in = m_meshes[meshIndex];
      if (in.Empty()) continue;
      ON_3dmObjectAttributes attributes;
      attributes.m_name = FromUtf8(in.name);
      attributes.m_material_index = documentMaterial[in.material];
      attributes.SetMaterialSource(ON_3dmObjectAttributes::material_from_object);
      const std::string label = "mesh " + in.name;

      if (!in.triangles.empty()) {
        ON_Mesh mesh;
        const int n = static_cast<int>(in.vertices.size());
        mesh.m_V.SetCount(n);
        for (int i = 0; i < n; ++i) mesh.m_V[i] = ZUp(m_positions[in.vertices[i].v]);
        if (in.anyNormal) {
          mesh.m_N.SetCount(n);
          for (int i = 0; i < n; ++i) {
            const Float3& f = m_normals[in.vertices[i].n];
            const aiVector3D z = normalMatrix * aiVector3D(f[0], f[1], f[2]);
            ON_3dVector d(z.x, z.y, z.z);
            d.Unitize();
            mesh.m_N[i] = ON_3fVector(d);
          }
        } else {
          report.notes.push_back(FromUtf8(label + ": no normals; normals computed"));
        }
        const int faces = static_cast<int>(in.triangles.size() / 3);
        mesh.m_F.SetCount(faces);
        for (int f = 0; f < faces; ++f) {
          ON_MeshFace& face = mesh.m_F[f];
          face.vi[0] = in.triangles[3 * f], face.vi[1] = in.triangles[3 * f + 1];
          face.vi[2] = face.vi[3] = in.triangles[3 * f + 2];
        }
        std::vector<int>().swap(in.triangles);
        if (!in.anyNormal) mesh.ComputeVertexNormals();
        if (in.anyTexture) {
          mesh.m_T.SetCount(n);
          for (int i = 0; i < n; ++i) {
            const int t = in.vertices[i].t;
            mesh.m_T[i] = t >= 0 ? ON_2fPoint(m_texcoords[t][0], m_texcoords[t][1]) : ON_2fPoint(0, 0);
          }
        }
        auto* meshObject = new CRhinoMeshObject(std::move(mesh));
        meshObject->ModifyAttributes(attributes);
        doc.AddObject(meshObject);
      }
      // Line segments joined where one ends and the next begins.
      for (std::size_t s = 0; s < in.segments.size();) {
        ON_Polyline chain;
        const ON_3fPoint a = ZUp(m_positions[in.segments[s][0]]);
        chain.Append({a.x, a.y, a.z});
        ON_3fPoint last = a;
        while (s < in.segments.size() && ZUp(m_positions[in.segments[s][0]]) == last) {
          last = ZUp(m_positions[in.segments[s][1]]);
          chain.Append({last.x, last.y, last.z});
          ++s;
        }
        auto* curve = new CRhinoCurveObject(std::make_unique<ON_PolylineCurve>(chain));
        curve->ModifyAttributes(attributes);
        doc.AddObject(curve);
      }
      if (!in.points.empty()) {
        ON_SimpleArray<ON_3dPoint> points;
        for (int p : in.points) {
          const ON_3fPoint q = ZUp(m_positions[p]);
          points.Append({q.x, q.y, q.z});
        }
        auto* cloud = new CRhinoPointCloudObject(std::move(points));
        cloud->ModifyAttributes(attributes);
        doc.AddObject(cloud);
      }
      in = ObjMesh();
    }
  }
  if (doc.ObjectSlotCount() == 0 && !m_positions.empty()) report.error = OnlyPointsError(m_positions.size());
}

int PieceCount(int threads) {
  if (threads > 0) return threads;
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

struct CloseFile {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

ObjReadResult ReadObjText(std::string_view text, const fs::path& file, CRhinoDoc& doc, ModelReport& report,
                          int threads) {
  try {
    ObjParser parser(file);
    std::vector<Piece> pieces(static_cast<std::size_t>(PieceCount(threads)));
    ParsePieces(text, pieces);
    for (const Piece& piece : pieces) parser.Join(piece);
    parser.Finish(doc, report);
    return ObjReadResult::Read;
  } catch (const Decline&) {
    return ObjReadResult::Declined;
  }
}

ObjReadResult ReadObjFile(const fs::path& file, CRhinoDoc& doc, ModelReport& report, int threads) {
  const std::unique_ptr<std::FILE, CloseFile> in(std::fopen(file.c_str(), "rb"));
  if (!in) return ObjReadResult::Declined;
  try {
    // The file is read in blocks, so its text is never held whole; each
    // block's whole lines are parsed in pieces, in parallel, and joined in
    // order. The pieces keep their storage from block to block.
    constexpr std::size_t kBlock = std::size_t{1} << 22;
    ObjParser parser(file);
    std::vector<Piece> pieces(static_cast<std::size_t>(PieceCount(threads)));
    std::string buffer;
    for (;;) {
      const std::size_t kept = buffer.size();
      buffer.resize(kept + kBlock);
      const std::size_t got = std::fread(buffer.data() + kept, 1, kBlock, in.get());
      buffer.resize(kept + got);
      if (std::ferror(in.get())) throw Decline{};
      const bool last = got == 0;
      // Up to the end of the last whole line; at the end of the file, all.
      const std::size_t newline = buffer.rfind('\n');
      const std::size_t whole = last ? buffer.size() : newline == std::string::npos ? 0 : newline + 1;
      ParsePieces(std::string_view(buffer).substr(0, whole), pieces);
      for (const Piece& piece : pieces) parser.Join(piece);
      buffer.erase(0, whole);
      if (last) break;
    }
    parser.Finish(doc, report);
    return ObjReadResult::Read;
  } catch (const Decline&) {
    return ObjReadResult::Declined;
  }
}

}  // namespace zem
