#include "importers/ObjFileReader.h"
#include "importers/TextureFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "standin/host/CRhinoCurveObject.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoMeshObject.h"
#include "standin/host/CRhinoPointCloudObject.h"
#include "standin/host/ON_PolylineCurve.h"
#include "standin/platform/TextEncoding.h"

#include <assimp/fast_atof.h>
#include <assimp/types.h>

namespace zem {

namespace {

namespace fs = std::filesystem;

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
  s = Trim(s);
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

// An index as written (1-based, or negative counting back from the end)
// turned into a 0-based index below `count`.
int ResolveIndex(std::string_view word, std::size_t count) {
  long long value = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size() || value == 0) throw Decline{};
  const long long index = value > 0 ? value - 1 : static_cast<long long>(count) + value;
  if (index < 0 || index >= static_cast<long long>(count)) throw Decline{};
  return static_cast<int>(index);
}

class ObjParser {
 public:
  ObjParser(const fs::path& file) : m_file(file) {
    ObjMaterial standard;
    standard.name = "DefaultMaterial";
    m_materials.push_back(standard);
  }

  void Line(std::string_view line);
  void Finish(CRhinoDoc& doc, ModelReport& report);

 private:
  void ReadMaterialLibrary(std::string_view name);
  void CreateObject(std::string_view name);
  void CreateMesh(std::string_view name);
  ObjMesh& CurrentMesh();
  int MaterialIndex(std::string_view name) const;
  void Face(std::string_view rest);
  void Segments(std::string_view rest, bool line);
  int Vertex(ObjMesh& mesh, const Corner& corner);

  fs::path m_file;
  std::vector<Float3> m_positions, m_normals;
  std::vector<std::array<float, 2>> m_texcoords;
  std::vector<ObjMaterial> m_materials;
  std::vector<ObjObject> m_objects;
  std::vector<ObjMesh> m_meshes;
  int m_object = -1, m_mesh = -1, m_material = -1;
  std::string m_activeGroup;
};

void ObjParser::Line(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() == '#') return;
  if (line.back() == '\\') throw Decline{};
  std::string_view rest = line;
  const std::string_view key = Word(rest);
  if (key == "v") {
    Float3 p;
    ParseFloats(rest, p.data(), 3, 3);
    m_positions.push_back(p);
  } else if (key == "vn") {
    Float3 n;
    ParseFloats(rest, n.data(), 3, 3);
    m_normals.push_back(n);
  } else if (key == "vt") {
    float t[3] = {0, 0, 0};
    ParseFloats(rest, t, 1, 3);
    m_texcoords.push_back({t[0], t[1]});
  } else if (key == "f") {
    Face(rest);
  } else if (key == "l") {
    Segments(rest, true);
  } else if (key == "p") {
    Segments(rest, false);
  } else if (key == "o") {
    const std::string_view name = Trim(rest);
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
      if (m_objects[i].name == name) {
        m_object = static_cast<int>(i);
        return;
      }
    }
    CreateObject(name);
  } else if (key == "g") {
    const std::string_view name = Trim(rest);
    if (name != m_activeGroup) {
      CreateObject(name);
      m_activeGroup = std::string(name);
    }
  } else if (key == "usemtl") {
    const std::string_view name = Trim(rest);
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
  } else if (key == "mtllib") {
    ReadMaterialLibrary(Trim(rest));
  } else if (key == "vp" || key == "curv" || key == "surf" || key == "cstype" || key == "deg") {
    throw Decline{};
  }
  // Smoothing groups, merging groups and other statements change nothing
  // the page shows.
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

void ObjParser::Face(std::string_view rest) {
  Corner corners[4];
  int count = 0;
  for (std::string_view w = Word(rest); !w.empty(); w = Word(rest)) {
    if (count == 4) throw Decline{};
    Corner& c = corners[count++];
    const std::size_t slash = w.find('/');
    c.v = ResolveIndex(w.substr(0, slash), m_positions.size());
    if (slash != std::string_view::npos) {
      std::string_view tail = w.substr(slash + 1);
      const std::size_t second = tail.find('/');
      const std::string_view t = tail.substr(0, second);
      if (!t.empty()) c.t = ResolveIndex(t, m_texcoords.size());
      if (second != std::string_view::npos) c.n = ResolveIndex(tail.substr(second + 1), m_normals.size());
    }
  }
  if (count < 3) throw Decline{};
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
      const float angle = std::acos(dot(left, diag)) + std::acos(dot(right, diag));
      if (angle > 3.14159265358979323846f) {
        start = i;
        break;
      }
    }
  }
  int ids[4];
  for (int k = 0; k < count; ++k) ids[k] = Vertex(mesh, corners[(start + k) % count]);
  mesh.triangles.insert(mesh.triangles.end(), {ids[0], ids[1], ids[2]});
  if (count == 4) mesh.triangles.insert(mesh.triangles.end(), {ids[0], ids[2], ids[3]});
}

void ObjParser::Segments(std::string_view rest, bool line) {
  std::vector<int> indices;
  for (std::string_view w = Word(rest); !w.empty(); w = Word(rest))
    indices.push_back(ResolveIndex(w.substr(0, w.find('/')), m_positions.size()));
  if (indices.empty() || (line && indices.size() < 2)) throw Decline{};
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
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return;
  std::string text;
  char block[1 << 16];
  for (std::size_t got; (got = std::fread(block, 1, sizeof block, in)) > 0;) text.append(block, got);
  std::fclose(in);

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
}

// Feeds `text` to the parser line by line; answers where the last,
// unfinished line begins (text.size() when every line is complete).
std::size_t FeedLines(ObjParser& parser, std::string_view text, bool last) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) {
      if (!last) return begin;
      parser.Line(text.substr(begin));
      return text.size();
    }
    parser.Line(text.substr(begin, end - begin));
    begin = end + 1;
  }
  return text.size();
}

ObjReadResult Conclude(ObjParser& parser, CRhinoDoc& doc, ModelReport& report) {
  parser.Finish(doc, report);
  return ObjReadResult::Read;
}

}  // namespace

ObjReadResult ReadObjText(std::string_view text, const fs::path& file, CRhinoDoc& doc, ModelReport& report) {
  try {
    ObjParser parser(file);
    FeedLines(parser, text, true);
    return Conclude(parser, doc, report);
  } catch (const Decline&) {
    return ObjReadResult::Declined;
  }
}

ObjReadResult ReadObjFile(const fs::path& file, CRhinoDoc& doc, ModelReport& report) {
  std::FILE* in = std::fopen(file.c_str(), "rb");
  if (!in) return ObjReadResult::Declined;
  try {
    // The file is read in blocks, so its text is never held whole.
    ObjParser parser(file);
    std::string buffer;
    std::vector<char> block(std::size_t{1} << 22);
    for (;;) {
      const std::size_t got = std::fread(block.data(), 1, block.size(), in);
      buffer.append(block.data(), got);
      if (std::ferror(in)) throw Decline{};
      const bool last = got == 0;
      const std::size_t used = FeedLines(parser, buffer, last);
      buffer.erase(0, used);
      if (last) break;
    }
    std::fclose(in);
    return Conclude(parser, doc, report);
  } catch (const Decline&) {
    std::fclose(in);
    return ObjReadResult::Declined;
  }
}

}  // namespace zem
