#include "importers/DocumentReader.h"

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoBrepObject.h"
#include "standin/host/CRhinoCurveObject.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoMeshObject.h"
#include "standin/host/CRhinoPointCloudObject.h"
#include "standin/host/CRhinoPointObject.h"
#include "standin/host/CRhinoTextDot.h"
#include "standin/host/BSplineBasis.h"
#include "importers/DefaultViews.h"
#include "importers/MeshFileReader.h"
#include "standin/host/ON_ArcCurve.h"
#include "standin/host/ON_LineCurve.h"
#include "standin/host/ON_NurbsCurve.h"
#include "standin/host/ON_PolylineCurve.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/RegularFile.h"
#include "standin/platform/TextEncoding.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace zem {

namespace {

using json = nlohmann::json;

constexpr double kPi = 3.141592653589793;
constexpr int kMaxDegree = 11;
constexpr int kMaxViewSize = 16384;

// Thrown inside the reader only; ReadDocumentText turns it into the error.
struct BadDocument {
  std::wstring message;
};

// The reader's position in the document, for messages.
class Place {
 public:
  std::string path;
  [[noreturn]] void Fail(const std::string& what) const {
    throw BadDocument{FromUtf8(path.empty() ? what : path + ": " + what)};
  }
};

class Reader {
 public:
  Reader(const std::wstring& baseFolder, CRhinoDoc& doc, ModelReport& report)
      : m_base(baseFolder), m_doc(doc), m_report(report) {}

  void ReadDocument(const json& root);

 private:
  // Scoped path element.
  struct Enter {
    Enter(Reader& r, const std::string& part) : reader(r), saved(r.m_place.path) {
      if (part.starts_with("[")) {
        r.m_place.path += part;
      } else {
        r.m_place.path += (r.m_place.path.empty() ? "" : ".") + part;
      }
    }
    ~Enter() { reader.m_place.path = saved; }
    Reader& reader;
    std::string saved;
  };

  [[noreturn]] void Fail(const std::string& what) const { m_place.Fail(what); }
  void Note(const std::string& what) { m_report.notes.push_back(FromUtf8(m_place.path + ": " + what)); }

  void Keys(const json& object, std::initializer_list<const char*> known);
  const json& Object(const json& j, const char* what);
  const json& Array(const json& j, const char* what);
  double Number(const json& j);
  double Number(const json& object, const char* key, double fallback);
  int Integer(const json& j, int lo, int hi);
  int Integer(const json& object, const char* key, int fallback, int lo, int hi);
  bool Bool(const json& object, const char* key, bool fallback);
  std::wstring Text(const json& object, const char* key, const std::wstring& fallback = L"");
  ON_Color Colour(const json& j);
  ON_Color Colour(const json& object, const char* key, ON_Color fallback);
  double Coordinate(const json& j);
  ON_3dPoint Point(const json& j);
  ON_3dPoint Point(const json& object, const char* key, const ON_3dPoint& fallback);
  ON_3dPoint Required(const json& object, const char* key);

  ON_Material ReadMaterial(const json& j);
  ON_Texture ReadTexture(const json& j);
  ON_Layer ReadLayer(const json& j, int index);
  void ReadObject(const json& j);
  ON_Mesh ReadMesh(const json& j);
  std::unique_ptr<ON_Curve> ReadCurve(const json& j);
  std::unique_ptr<ON_NurbsCurve> ReadNurbsCurve(const json& j);
  ON_NurbsSurface ReadSurface(const json& j);
  std::vector<double> ReadKnots(const json& j, int order, int cvCount);
  CDisplayPipelineAttributes ReadDisplayMode(const json& j);
  const CDisplayPipelineAttributes& FindMode(const std::wstring& name);
  void ReadView(const json& j);
  void ReadViewport(const json& j, CRhinoViewport& viewport);

  std::wstring m_base;
  CRhinoDoc& m_doc;
  ModelReport& m_report;
  Place m_place;
  std::vector<CDisplayPipelineAttributes> m_modes;
};

void Reader::Keys(const json& object, std::initializer_list<const char*> known) {
  for (const auto& [key, value] : object.items()) {
    bool found = false;
    for (const char* k : known) found = found || key == k;
    if (!found) Note("unknown key \"" + key + "\" ignored");
  }
}

const json& Reader::Object(const json& j, const char* what) {
  if (!j.is_object()) Fail(std::string("expected ") + what + " (an object)");
  return j;
}

const json& Reader::Array(const json& j, const char* what) {
  if (!j.is_array()) Fail(std::string("expected ") + what + " (an array)");
  return j;
}

double Reader::Number(const json& j) {
  if (!j.is_number()) Fail("expected a number");
  const double v = j.get<double>();
  if (!std::isfinite(v)) Fail("number out of range");
  return v;
}

double Reader::Number(const json& object, const char* key, double fallback) {
  auto it = object.find(key);
  if (it == object.end()) return fallback;
  Enter e(*this, key);
  return Number(*it);
}

int Reader::Integer(const json& j, int lo, int hi) {
  if (!j.is_number_integer()) Fail("expected a whole number");
  const auto v = j.get<long long>();
  if (v < lo || v > hi) Fail("expected a whole number from " + std::to_string(lo) + " to " + std::to_string(hi));
  return static_cast<int>(v);
}

int Reader::Integer(const json& object, const char* key, int fallback, int lo, int hi) {
  auto it = object.find(key);
  if (it == object.end()) return fallback;
  Enter e(*this, key);
  return Integer(*it, lo, hi);
}

bool Reader::Bool(const json& object, const char* key, bool fallback) {
  auto it = object.find(key);
  if (it == object.end()) return fallback;
  Enter e(*this, key);
  if (!it->is_boolean()) Fail("expected true or false");
  return it->get<bool>();
}

std::wstring Reader::Text(const json& object, const char* key, const std::wstring& fallback) {
  auto it = object.find(key);
  if (it == object.end()) return fallback;
  Enter e(*this, key);
  if (!it->is_string()) Fail("expected a text");
  std::wstring text = FromUtf8(it->get_ref<const std::string&>());
  // A NUL would end the text wherever it is handled as a C string: it is
  // left out, and the rest kept.
  if (const auto nuls = std::erase(text, L'\0'); nuls > 0)
    Note(std::to_string(nuls) + " NUL character(s) in the text left out; the rest of the text kept");
  return text;
}

ON_Color Reader::Colour(const json& j) {
  if (j.is_string()) {
    const std::string& s = j.get_ref<const std::string&>();
    if (s.size() != 7 || s[0] != '#') Fail("expected a colour \"#rrggbb\"");
    int v[3];
    for (int k = 0; k < 3; ++k) {
      int byte = 0;
      for (int d = 0; d < 2; ++d) {
        const char c = s[static_cast<std::size_t>(1 + 2 * k + d)];
        const int h = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
        if (h < 0) Fail("expected a colour \"#rrggbb\"");
        byte = byte * 16 + h;
      }
      v[k] = byte;
    }
    return ON_Color(v[0], v[1], v[2]);
  }
  if (j.is_array() && j.size() == 3) {
    int v[3];
    for (int k = 0; k < 3; ++k) {
      Enter e(*this, "[" + std::to_string(k) + "]");
      v[k] = Integer(j[static_cast<std::size_t>(k)], 0, 255);
    }
    return ON_Color(v[0], v[1], v[2]);
  }
  Fail("expected a colour, \"#rrggbb\" or [red, green, blue] from 0 to 255");
}

ON_Color Reader::Colour(const json& object, const char* key, ON_Color fallback) {
  auto it = object.find(key);
  if (it == object.end()) return fallback;
  Enter e(*this, key);
  return Colour(*it);
}

double Reader::Coordinate(const json& j) {
  const double v = Number(j);
  // Pages carry single-precision numbers: a larger coordinate would turn
  // into infinity there, and every face touching it would be lost.
  if (std::fabs(v) > std::numeric_limits<float>::max()) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    Fail(std::string("coordinate ") + text + " is beyond single precision (at most 3.4e38)");
  }
  return v;
}

ON_3dPoint Reader::Point(const json& j) {
  if (!j.is_array() || j.size() != 3) Fail("expected a point [x, y, z]");
  ON_3dPoint p;
  for (int k = 0; k < 3; ++k) {
    Enter e(*this, "[" + std::to_string(k) + "]");
    p[k] = Coordinate(j[static_cast<std::size_t>(k)]);
  }
  return p;
}

ON_3dPoint Reader::Point(const json& object, const char* key, const ON_3dPoint& fallback) {
  auto it = object.find(key);
  if (it == object.end()) return fallback;
  Enter e(*this, key);
  return Point(*it);
}

ON_3dPoint Reader::Required(const json& object, const char* key) {
  if (!object.contains(key)) Fail(std::string("\"") + key + "\" is missing");
  return Point(object, key, {});
}

ON_Texture Reader::ReadTexture(const json& j) {
  Object(j, "a texture");
  Keys(j, {"file", "type", "mode", "enabled", "blendConstantA", "blendA"});
  ON_Texture t;
  std::wstring file = Text(j, "file");
  if (file.empty()) Fail("\"file\" is missing");
  std::filesystem::path native(NativePath(file));
  if (native.is_relative() && !m_base.empty()) {
    std::filesystem::path joined = std::filesystem::path(NativePath(m_base)) / native;
    std::error_code ec;
    if (std::filesystem::exists(joined, ec)) file = FromSystemBytes(joined.lexically_normal().string());
  }
  t.m_filename = file;
  const std::wstring type = Text(j, "type", L"bitmap");
  static const std::map<std::wstring, ON_Texture::TYPE> types{{L"bitmap", ON_Texture::bitmap_texture},
                                                              {L"bump", ON_Texture::bump_texture},
                                                              {L"transparency", ON_Texture::transparency_texture},
                                                              {L"environment", ON_Texture::emap_texture}};
  if (!types.count(type)) {
    Enter e(*this, "type");
    Fail("expected \"bitmap\", \"bump\", \"transparency\" or \"environment\"");
  }
  t.m_type = types.at(type);
  if (auto it = j.find("mode"); it != j.end()) {
    Enter e(*this, "mode");
    static const std::map<std::string, ON_Texture::MODE> modes{{"none", ON_Texture::no_texture_mode},
                                                               {"modulate", ON_Texture::modulate_texture},
                                                               {"decal", ON_Texture::decal_texture},
                                                               {"blend", ON_Texture::blend_texture}};
    if (it->is_string() && modes.count(it->get<std::string>())) {
      t.m_mode = modes.at(it->get<std::string>());
    } else if (it->is_number_integer()) {
      t.m_mode = static_cast<ON_Texture::MODE>(Integer(*it, 0, 1000));
    } else {
      Fail("expected \"modulate\", \"decal\", \"blend\", \"none\" or a mode number");
    }
  }
  t.m_bOn = Bool(j, "enabled", true);
  t.m_blend_constant_A = Number(j, "blendConstantA", 1.0);
  if (auto it = j.find("blendA"); it != j.end()) {
    Enter e(*this, "blendA");
    if (!it->is_array() || it->size() != 4) Fail("expected four numbers");
    for (int k = 0; k < 4; ++k) t.m_blend_A[k] = Number((*it)[static_cast<std::size_t>(k)]);
  }
  return t;
}

ON_Material Reader::ReadMaterial(const json& j) {
  Object(j, "a material");
  Keys(j, {"name", "diffuse", "ambient", "emission", "specular", "reflection", "transparentColor", "shine",
           "reflectivity", "transparency", "ior", "textures"});
  ON_Material m;
  m.m_material_name = Text(j, "name");
  m.m_diffuse = Colour(j, "diffuse", m.m_diffuse);
  m.m_ambient = Colour(j, "ambient", m.m_ambient);
  m.m_emission = Colour(j, "emission", m.m_emission);
  m.m_specular = Colour(j, "specular", m.m_specular);
  m.m_reflection = Colour(j, "reflection", m.m_reflection);
  m.m_transparent = Colour(j, "transparentColor", m.m_transparent);
  {
    const double shine = Number(j, "shine", 0);
    Enter e(*this, "shine");
    if (shine < 0 || shine > ON_Material::MaxShine()) Fail("expected a shine from 0 to 255");
    m.SetShine(shine);
  }
  m.m_reflectivity = Number(j, "reflectivity", 0);
  m.m_transparency = Number(j, "transparency", 0);
  if (m.m_reflectivity < 0 || m.m_reflectivity > 1 || m.m_transparency < 0 || m.m_transparency > 1) {
    Fail("reflectivity and transparency run from 0 to 1");
  }
  m.m_index_of_refraction = Number(j, "ior", 1.0);
  if (auto it = j.find("textures"); it != j.end()) {
    Enter e(*this, "textures");
    Array(*it, "a list of textures");
    for (std::size_t i = 0; i < it->size(); ++i) {
      Enter ei(*this, "[" + std::to_string(i) + "]");
      m.m_textures.Append(ReadTexture((*it)[i]));
    }
  }
  return m;
}

ON_Layer Reader::ReadLayer(const json& j, int index) {
  Object(j, "a layer");
  Keys(j, {"name", "color", "visible", "locked", "material", "parent"});
  ON_Layer l;
  l.m_name = Text(j, "name", L"Layer " + std::to_wstring(index + 1));
  l.m_color = Colour(j, "color", ON_Color(0, 0, 0));
  l.m_bVisible = Bool(j, "visible", true);
  l.m_bLocked = Bool(j, "locked", false);
  l.m_material_index = Integer(j, "material", -1, -1, m_doc.m_material_table.MaterialCount() - 1);
  l.m_parent_index = Integer(j, "parent", -1, -1, index - 1);
  return l;
}

ON_Mesh Reader::ReadMesh(const json& j) {
  Object(j, "a mesh");
  Keys(j, {"vertices", "normals", "uvs", "faces"});
  ON_Mesh mesh;
  auto list = [&](const char* key) -> const json* {
    auto it = j.find(key);
    if (it == j.end()) return nullptr;
    Enter e(*this, key);
    return &Array(*it, "a list");
  };
  const json* vertices = list("vertices");
  if (!vertices) Fail("\"vertices\" is missing");
  {
    Enter e(*this, "vertices");
    mesh.m_V.Reserve(static_cast<int>(vertices->size()));
    for (std::size_t i = 0; i < vertices->size(); ++i) {
      Enter ei(*this, "[" + std::to_string(i) + "]");
      const ON_3dPoint p = Point((*vertices)[i]);
      const ON_3fPoint f(p);
      if (!std::isfinite(f.x) || !std::isfinite(f.y) || !std::isfinite(f.z)) Fail("coordinate out of range");
      mesh.m_V.Append(f);
    }
  }
  const int n = mesh.VertexCount();
  if (const json* faces = list("faces")) {
    Enter e(*this, "faces");
    mesh.m_F.Reserve(static_cast<int>(faces->size()));
    for (std::size_t i = 0; i < faces->size(); ++i) {
      Enter ei(*this, "[" + std::to_string(i) + "]");
      const json& f = (*faces)[i];
      if (!f.is_array() || (f.size() != 3 && f.size() != 4)) Fail("expected a face of 3 or 4 vertex indices");
      ON_MeshFace face;
      for (std::size_t k = 0; k < f.size(); ++k) {
        if (!f[k].is_number_integer() || f[k].get<long long>() < 0 || f[k].get<long long>() >= n) {
          Fail("vertex index out of range (the mesh has " + std::to_string(n) + " vertices)");
        }
        face.vi[k] = static_cast<int>(f[k].get<long long>());
      }
      if (f.size() == 3) face.vi[3] = face.vi[2];
      mesh.m_F.Append(face);
    }
  }
  if (const json* normals = list("normals")) {
    Enter e(*this, "normals");
    for (std::size_t i = 0; i < normals->size(); ++i) {
      Enter ei(*this, "[" + std::to_string(i) + "]");
      const ON_3dPoint np = Point((*normals)[i]);
      ON_3dVector v(np.x, np.y, np.z);
      if (!v.Unitize()) v = ON_3dVector::ZAxis;
      mesh.m_N.Append(ON_3fVector(v));
    }
  }
  if (mesh.m_N.Count() != n) {
    if (mesh.m_N.Count() != 0) {
      Enter e(*this, "normals");
      Note(std::to_string(mesh.m_N.Count()) + " normals for " + std::to_string(n) + " vertices: normals computed");
    }
    mesh.ComputeVertexNormals();
  }
  if (const json* uvs = list("uvs")) {
    Enter e(*this, "uvs");
    if (static_cast<int>(uvs->size()) != n) {
      Note(std::to_string(uvs->size()) + " texture coordinates for " + std::to_string(n) + " vertices: dropped");
    } else {
      for (std::size_t i = 0; i < uvs->size(); ++i) {
        Enter ei(*this, "[" + std::to_string(i) + "]");
        const json& t = (*uvs)[i];
        if (!t.is_array() || t.size() != 2) Fail("expected a texture coordinate [u, v]");
        const float u = static_cast<float>(Number(t[0])), v = static_cast<float>(Number(t[1]));
        if (!std::isfinite(u) || !std::isfinite(v)) Fail("coordinate out of range");
        mesh.m_T.Append(ON_2fPoint(u, v));
      }
    }
  }
  return mesh;
}

std::vector<double> Reader::ReadKnots(const json& j, int order, int cvCount) {
  Array(j, "a list of knots");
  std::vector<double> knots;
  for (std::size_t i = 0; i < j.size(); ++i) {
    Enter e(*this, "[" + std::to_string(i) + "]");
    knots.push_back(Number(j[i]));
  }
  // Also accepted with the two end knots that the geometry library leaves out.
  if (static_cast<int>(knots.size()) == order + cvCount && knots.size() >= 2) {
    knots.erase(knots.begin());
    knots.pop_back();
  }
  if (!IsValidKnotVector(order, cvCount, knots)) {
    Fail("expected " + std::to_string(order + cvCount - 2) + " knots that never decrease over a domain of some length");
  }
  return knots;
}

std::unique_ptr<ON_NurbsCurve> Reader::ReadNurbsCurve(const json& j) {
  const int degree = Integer(j, "degree", 3, 1, kMaxDegree);
  auto pit = j.find("points");
  if (pit == j.end()) Fail("\"points\" is missing");
  std::vector<ON_3dPoint> points;
  int count = 0;
  {
    Enter ep(*this, "points");
    Array(*pit, "a list of control points");
    count = static_cast<int>(pit->size());
    if (count < degree + 1) {
      Fail("a curve of degree " + std::to_string(degree) + " needs at least " + std::to_string(degree + 1) +
           " control points");
    }
    for (int i = 0; i < count; ++i) {
      Enter e(*this, "[" + std::to_string(i) + "]");
      points.push_back(Point((*pit)[static_cast<std::size_t>(i)]));
    }
  }
  std::vector<double> weights;
  if (auto wit = j.find("weights"); wit != j.end()) {
    Enter e(*this, "weights");
    Array(*wit, "a list of weights");
    if (static_cast<int>(wit->size()) != count) Fail("expected one weight per control point");
    for (int i = 0; i < count; ++i) {
      const double w = Number((*wit)[static_cast<std::size_t>(i)]);
      if (!(w > 0)) Fail("weights must be above 0");
      weights.push_back(w);
    }
  }
  auto curve = std::make_unique<ON_NurbsCurve>(3, !weights.empty(), degree + 1, count);
  for (int i = 0; i < count; ++i)
    curve->SetCV(i, points[static_cast<std::size_t>(i)], weights.empty() ? 1.0 : weights[static_cast<std::size_t>(i)]);
  if (auto kit = j.find("knots"); kit != j.end()) {
    Enter e(*this, "knots");
    curve->m_knot = ReadKnots(*kit, degree + 1, count);
  }
  if (!curve->IsValid()) Fail("not a valid curve");
  return curve;
}

std::unique_ptr<ON_Curve> Reader::ReadCurve(const json& j) {
  Object(j, "a curve");
  const std::wstring kind = Text(j, "kind");
  if (kind == L"line") {
    Keys(j, {"kind", "from", "to"});
    auto line = std::make_unique<ON_LineCurve>(Required(j, "from"), Required(j, "to"));
    if (!line->IsValid()) Fail("a line needs two different end points");
    return line;
  }
  if (kind == L"polyline") {
    Keys(j, {"kind", "points"});
    auto it = j.find("points");
    if (it == j.end()) Fail("\"points\" is missing");
    Enter e(*this, "points");
    Array(*it, "a list of points");
    ON_Polyline points;
    for (std::size_t i = 0; i < it->size(); ++i) {
      Enter ei(*this, "[" + std::to_string(i) + "]");
      points.Append(Point((*it)[i]));
    }
    if (points.Count() < 2) Fail("a polyline needs at least two points");
    return std::make_unique<ON_PolylineCurve>(points);
  }
  if (kind == L"arc" || kind == L"circle") {
    Keys(j, {"kind", "center", "radius", "normal", "xAxis", "startAngle", "endAngle"});
    const ON_3dPoint center = Required(j, "center");
    double radius = 0;
    if (auto r = j.find("radius"); r != j.end()) {
      Enter e(*this, "radius");
      radius = Coordinate(*r);
    }
    if (!(radius > 0)) Fail("\"radius\" must be above 0");
    const ON_3dPoint normal = Point(j, "normal", ON_3dPoint(0, 0, 1));
    const ON_3dPoint xAxis = Point(j, "xAxis", ON_3dPoint(1, 0, 0));
    const ON_3dVector n(normal.x, normal.y, normal.z);
    if (n.IsZero()) Fail("\"normal\" must not be zero");
    ON_Plane plane(center, n, ON_3dVector(xAxis.x, xAxis.y, xAxis.z));
    double a0 = 0, a1 = 360;
    if (kind == L"arc") {
      a0 = Number(j, "startAngle", 0);
      a1 = Number(j, "endAngle", 360);
      if (!(a1 > a0) || a1 - a0 > 360)
        Fail("an arc runs from \"startAngle\" to a larger \"endAngle\", at most 360 degrees on");
    }
    return std::make_unique<ON_ArcCurve>(ON_Arc(ON_Circle(plane, radius), ON_Interval(a0 * kPi / 180, a1 * kPi / 180)));
  }
  if (kind == L"nurbs") {
    Keys(j, {"kind", "degree", "points", "weights", "knots"});
    return ReadNurbsCurve(j);
  }
  Enter e(*this, "kind");
  Fail("expected a curve kind: \"line\", \"polyline\", \"arc\", \"circle\" or \"nurbs\"");
}

ON_NurbsSurface Reader::ReadSurface(const json& j) {
  Object(j, "a surface");
  Keys(j, {"degree", "points", "weights", "knotsU", "knotsV"});
  int degree[2] = {3, 3};
  if (auto it = j.find("degree"); it != j.end()) {
    Enter e(*this, "degree");
    if (!it->is_array() || it->size() != 2) Fail("expected [degree in u, degree in v]");
    degree[0] = Integer((*it)[0], 1, kMaxDegree);
    degree[1] = Integer((*it)[1], 1, kMaxDegree);
  }
  auto pit = j.find("points");
  if (pit == j.end()) Fail("\"points\" is missing");
  std::vector<std::vector<ON_3dPoint>> rows;
  {
    Enter e(*this, "points");
    Array(*pit, "rows of control points");
    for (std::size_t i = 0; i < pit->size(); ++i) {
      Enter ei(*this, "[" + std::to_string(i) + "]");
      const json& row = Array((*pit)[i], "a row of control points");
      if (i > 0 && row.size() != rows.front().size()) Fail("every row needs as many points as the first");
      rows.emplace_back();
      for (std::size_t k = 0; k < row.size(); ++k) {
        Enter ek(*this, "[" + std::to_string(k) + "]");
        rows.back().push_back(Point(row[k]));
      }
    }
  }
  const int nu = static_cast<int>(rows.size()), nv = rows.empty() ? 0 : static_cast<int>(rows.front().size());
  if (nu < degree[0] + 1 || nv < degree[1] + 1) Fail("too few control points for the degrees");
  std::vector<double> weights;
  if (auto wit = j.find("weights"); wit != j.end()) {
    Enter e(*this, "weights");
    Array(*wit, "rows of weights");
    if (static_cast<int>(wit->size()) != nu) Fail("expected one row of weights per row of points");
    for (int i = 0; i < nu; ++i) {
      const json& row = (*wit)[static_cast<std::size_t>(i)];
      if (!row.is_array() || static_cast<int>(row.size()) != nv) Fail("expected one weight per control point");
      for (int k = 0; k < nv; ++k) {
        const double w = Number(row[static_cast<std::size_t>(k)]);
        if (!(w > 0)) Fail("weights must be above 0");
        weights.push_back(w);
      }
    }
  }
  ON_NurbsSurface s(!weights.empty(), degree[0] + 1, degree[1] + 1, nu, nv);
  for (int i = 0; i < nu; ++i) {
    for (int k = 0; k < nv; ++k) {
      s.SetCV(i, k, rows[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)],
              weights.empty() ? 1.0 : weights[static_cast<std::size_t>(i * nv + k)]);
    }
  }
  if (auto it = j.find("knotsU"); it != j.end()) {
    Enter e(*this, "knotsU");
    s.m_knot[0] = ReadKnots(*it, degree[0] + 1, nu);
  }
  if (auto it = j.find("knotsV"); it != j.end()) {
    Enter e(*this, "knotsV");
    s.m_knot[1] = ReadKnots(*it, degree[1] + 1, nv);
  }
  if (!s.IsValid()) Fail("not a valid surface");
  return s;
}

void Reader::ReadObject(const json& j) {
  Object(j, "an object");
  const std::wstring type = Text(j, "type");
  ON_3dmObjectAttributes a;
  a.m_name = Text(j, "name");
  a.m_layer_index = Integer(j, "layer", 0, 0, m_doc.m_layer_table.LayerCount() - 1);
  if (j.contains("color")) {
    a.m_color = Colour(j, "color", ON_Color(0, 0, 0));
    a.SetColorSource(ON_3dmObjectAttributes::color_from_object);
  }
  if (j.contains("colorSource")) {
    const std::wstring source = Text(j, "colorSource");
    Enter e(*this, "colorSource");
    if (source == L"layer") {
      a.SetColorSource(ON_3dmObjectAttributes::color_from_layer);
    } else if (source == L"object") {
      a.SetColorSource(ON_3dmObjectAttributes::color_from_object);
    } else if (source == L"material") {
      a.SetColorSource(ON_3dmObjectAttributes::color_from_material);
    } else {
      Fail("expected \"layer\", \"object\" or \"material\"");
    }
  }
  if (j.contains("material")) {
    a.m_material_index = Integer(j, "material", -1, -1, m_doc.m_material_table.MaterialCount() - 1);
    a.SetMaterialSource(ON_3dmObjectAttributes::material_from_object);
  }
  const bool hidden = Bool(j, "hidden", false), locked = Bool(j, "locked", false);
  if (hidden)
    a.SetMode(ON_3dmObjectAttributes::hidden_object);
  else if (locked)
    a.SetMode(ON_3dmObjectAttributes::locked_object);
  const bool reference = Bool(j, "reference", false);

  std::initializer_list<const char*> common = {"type",     "name",   "layer",  "color",    "colorSource",
                                               "material", "hidden", "locked", "reference"};
  auto keys = [&](std::initializer_list<const char*> own) {
    std::vector<const char*> all(common);
    all.insert(all.end(), own);
    for (const auto& [key, value] : j.items()) {
      bool found = false;
      for (const char* k : all) found = found || key == k;
      if (!found) Note("unknown key \"" + key + "\" ignored");
    }
  };
  auto member = [&](const char* key) -> const json& {
    auto it = j.find(key);
    if (it == j.end()) Fail(std::string("\"") + key + "\" is missing");
    return *it;
  };

  std::unique_ptr<CRhinoObject> object;
  if (type == L"mesh") {
    keys({"mesh"});
    const json& m = member("mesh");
    Enter e(*this, "mesh");
    object = std::make_unique<CRhinoMeshObject>(ReadMesh(m));
  } else if (type == L"brep" || type == L"surface") {
    const bool renderMeshes = Bool(j, "renderMeshes", true);
    auto brep = std::make_unique<ON_Brep>();
    if (type == L"surface") {
      keys({"surface", "renderMeshes"});
      const json& m = member("surface");
      Enter e(*this, "surface");
      brep = ON_Brep::FromSurface(ReadSurface(m));
    } else {
      keys({"faces", "edges", "renderMeshes"});
      const json& faces = member("faces");
      Enter e(*this, "faces");
      Array(faces, "a list of faces");
      for (std::size_t i = 0; i < faces.size(); ++i) {
        Enter ei(*this, "[" + std::to_string(i) + "]");
        const json& f = Object(faces[i], "a face");
        Keys(f, {"mesh", "surface"});
        ON_BrepFace face;
        if (f.contains("surface")) {
          Enter es(*this, "surface");
          ON_NurbsSurface s = ReadSurface(f["surface"]);
          face.m_surface = std::make_shared<ON_NurbsSurface>(s);
          if (!j.contains("edges")) {
            auto single = ON_Brep::FromSurface(s);
            for (auto& edge : single->m_E) brep->m_E.push_back(edge);
          }
        }
        if (f.contains("mesh")) {
          Enter em(*this, "mesh");
          face.m_render_mesh = std::make_shared<ON_Mesh>(ReadMesh(f["mesh"]));
        }
        if (!face.m_surface && !face.m_render_mesh) Fail("a face needs a \"surface\" or a \"mesh\"");
        brep->m_F.push_back(face);
      }
      if (auto it = j.find("edges"); it != j.end()) {
        Enter ee(*this, "edges");
        Array(*it, "a list of curves");
        for (std::size_t i = 0; i < it->size(); ++i) {
          Enter ei(*this, "[" + std::to_string(i) + "]");
          brep->m_E.push_back(std::shared_ptr<const ON_Curve>(ReadCurve((*it)[i])));
        }
      }
    }
    if (renderMeshes) {
      brep->CreateRenderMeshes();
    } else {
      for (ON_BrepFace& face : brep->m_F) face.m_render_mesh.reset();
    }
    object = std::make_unique<CRhinoBrepObject>(std::move(brep));
  } else if (type == L"curve") {
    keys({"curve"});
    const json& m = member("curve");
    Enter e(*this, "curve");
    object = std::make_unique<CRhinoCurveObject>(ReadCurve(m));
  } else if (type == L"textDot") {
    keys({"point", "text"});
    const ON_3dPoint p = Required(j, "point");
    object = std::make_unique<CRhinoTextDot>(p, Text(j, "text").c_str());
  } else if (type == L"point") {
    keys({"point"});
    object = std::make_unique<CRhinoPointObject>(Required(j, "point"));
  } else if (type == L"pointCloud") {
    keys({"points"});
    const json& list = member("points");
    Enter e(*this, "points");
    Array(list, "a list of points");
    ON_SimpleArray<ON_3dPoint> points;
    for (std::size_t i = 0; i < list.size(); ++i) {
      Enter ei(*this, "[" + std::to_string(i) + "]");
      points.Append(Point(list[i]));
    }
    object = std::make_unique<CRhinoPointCloudObject>(std::move(points));
  } else {
    Enter e(*this, "type");
    Fail(
        "expected an object type: \"mesh\", \"brep\", \"surface\", \"curve\", \"textDot\", \"point\" or "
        "\"pointCloud\"");
  }
  object->ModifyAttributes(a);
  m_doc.AddObject(object.release(), reference);
}

CDisplayPipelineAttributes Reader::ReadDisplayMode(const json& j) {
  Object(j, "a display mode");
  Keys(j,
       {"name", "base", "shading", "objectMaterial", "curves", "surfaceWires", "meshWires", "background", "material"});
  const std::wstring name = Text(j, "name");
  if (name.empty()) Fail("\"name\" is missing");
  CDisplayPipelineAttributes mode = FindMode(Text(j, "base", L"Shaded"));
  mode.m_szEnglishName = name;
  mode.m_Id = ON_CreateUuid();
  mode.m_bShadingOn = Bool(j, "shading", mode.m_bShadingOn);
  mode.m_bUseObjectMaterial = Bool(j, "objectMaterial", mode.m_bUseObjectMaterial);
  mode.m_bShowCurves = Bool(j, "curves", mode.m_bShowCurves);
  mode.m_bShowSurfaceWires = Bool(j, "surfaceWires", mode.m_bShowSurfaceWires);
  mode.m_bShowMeshWires = Bool(j, "meshWires", mode.m_bShowMeshWires);
  if (auto it = j.find("background"); it != j.end()) {
    Enter e(*this, "background");
    const json& b = Object(*it, "a background");
    Keys(b, {"fill", "color", "topLeft", "bottomLeft", "topRight", "bottomRight"});
    const std::wstring fill = Text(b, "fill", L"application");
    static const std::map<std::wstring, int> fills{{L"application", CDisplayPipelineAttributes::FBFM_DEFAULT_COLOR},
                                                   {L"solid", CDisplayPipelineAttributes::FBFM_SOLID_COLOR},
                                                   {L"gradient2", CDisplayPipelineAttributes::FBFM_GRADIENT_2_COLOR},
                                                   {L"gradient4", CDisplayPipelineAttributes::FBFM_GRADIENT_4_COLOR}};
    if (!fills.count(fill)) {
      Enter ef(*this, "fill");
      Fail("expected \"application\", \"solid\", \"gradient2\" or \"gradient4\"");
    }
    mode.SetBackgroundFillMode(fills.at(fill));
    mode.m_SolidColor = Colour(b, "color", mode.m_SolidColor);
    mode.m_GradTopLeft = Colour(b, "topLeft", mode.m_GradTopLeft);
    mode.m_GradBotLeft = Colour(b, "bottomLeft", mode.m_GradBotLeft);
    mode.m_GradTopRight = Colour(b, "topRight", fill == L"gradient2" ? mode.m_GradTopLeft : mode.m_GradTopRight);
    mode.m_GradBotRight = Colour(b, "bottomRight", fill == L"gradient2" ? mode.m_GradBotLeft : mode.m_GradBotRight);
  }
  if (auto it = j.find("material"); it != j.end()) {
    Enter e(*this, "material");
    const json& m = Object(*it, "a material");
    Keys(m, {"diffuse", "specular", "shine"});
    mode.m_FrontMaterial.m_diffuse = Colour(m, "diffuse", mode.m_FrontMaterial.m_diffuse);
    mode.m_FrontMaterial.m_specular = Colour(m, "specular", mode.m_FrontMaterial.m_specular);
    const double shine = Number(m, "shine", mode.m_FrontMaterial.Shine());
    if (shine < 0 || shine > ON_Material::MaxShine()) Fail("expected a shine from 0 to 255");
    mode.m_FrontMaterial.SetShine(shine);
  }
  return mode;
}

const CDisplayPipelineAttributes& Reader::FindMode(const std::wstring& name) {
  for (const CDisplayPipelineAttributes& mode : m_modes) {
    if (mode.m_szEnglishName == name) return mode;
  }
  if (const CDisplayPipelineAttributes* named = FindDisplayMode(name.c_str())) return *named;
  Fail("no display mode \"" + ToUtf8(name) + "\"");
}

void Reader::ReadViewport(const json& j, CRhinoViewport& viewport) {
  ON_Viewport& vp = viewport.VP();
  int width = 800, height = 600;
  if (auto it = j.find("size"); it != j.end()) {
    Enter e(*this, "size");
    if (!it->is_array() || it->size() != 2) Fail("expected [width, height]");
    width = Integer((*it)[0], 1, kMaxViewSize);
    height = Integer((*it)[1], 1, kMaxViewSize);
  }
  vp.SetScreenPort(0, width, height, 0);
  const std::wstring projection = Text(j, "projection", L"perspective");
  if (projection != L"perspective" && projection != L"parallel") {
    Enter e(*this, "projection");
    Fail("expected \"perspective\" or \"parallel\"");
  }
  vp.SetProjection(projection == L"perspective");
  const double lens = Number(j, "lens", 50);
  if (!(lens > 0)) {
    Enter e(*this, "lens");
    Fail("the lens length must be above 0");
  }
  if (auto it = j.find("camera"); it != j.end()) {
    Enter e(*this, "camera");
    const json& c = Object(*it, "a camera");
    Keys(c, {"location", "target", "up"});
    const ON_3dPoint location = Required(c, "location"), target = Required(c, "target");
    const ON_3dPoint up = Point(c, "up", ON_3dPoint(0, 0, 1));
    if (!vp.SetCamera(location, target, ON_3dVector(up.x, up.y, up.z))) {
      Fail("the camera needs a target away from its location and an up vector across its direction");
    }
    vp.SetCamera35mmLensLength(lens);
    const double distance = (target - location).Length();
    vp.SetFrustumNearFar(distance * 1e-3, distance * 1e3);
    if (!vp.IsPerspectiveProjection()) {
      // A parallel camera sees at the target what a perspective one would.
      vp.SetCamera35mmLensLength(lens);
    }
  } else {
    const ON_3dPoint d = Point(j, "direction", ON_3dPoint(-1, 1.6, -1.1));
    const ON_3dVector direction(d.x, d.y, d.z);
    if (direction.IsZero()) Fail("\"direction\" must not be zero");
    ON_3dVector up = std::fabs(direction.z) > 0.99 * direction.Length() ? ON_3dVector::YAxis : ON_3dVector::ZAxis;
    vp.SetCamera(ON_3dPoint(0, 0, 0) - direction, ON_3dPoint(0, 0, 0), up);
    vp.SetCamera35mmLensLength(lens);
    ON_BoundingBox box = m_doc.BoundingBox();
    if (!box.IsValid()) {
      box.Set({-10, -10, -10}, false);
      box.Set({10, 10, 10}, true);
    }
    vp.ZoomExtents(box);
  }
}

void Reader::ReadView(const json& j) {
  Object(j, "a view");
  Keys(j, {"name", "displayMode", "viewports", "activeViewport", "size", "projection", "lens", "camera", "direction"});
  const std::wstring name = Text(j, "name", L"View " + std::to_wstring(m_doc.ViewCount() + 1));
  const CDisplayPipelineAttributes& mode = [&]() -> const CDisplayPipelineAttributes& {
    Enter e(*this, "displayMode");
    return FindMode(Text(j, "displayMode", L"Rendered"));
  }();
  CRhinoView* view = m_doc.CreateView(name.c_str());
  view->SetDisplayMode(mode);
  if (auto it = j.find("viewports"); it != j.end()) {
    Enter e(*this, "viewports");
    Array(*it, "a list of viewports");
    if (it->empty()) Fail("a view needs at least one viewport");
    for (std::size_t i = 0; i < it->size(); ++i) {
      Enter ei(*this, "[" + std::to_string(i) + "]");
      const json& v = Object((*it)[i], "a viewport");
      Keys(v, {"name", "size", "projection", "lens", "camera", "direction"});
      CRhinoViewport* viewport = i == 0 ? &view->MainViewport() : view->AddViewport(L"");
      viewport->SetName(Text(v, "name", i == 0 ? name : L"Detail " + std::to_wstring(i)).c_str());
      ReadViewport(v, *viewport);
    }
    const int active = Integer(j, "activeViewport", 0, 0, static_cast<int>(it->size()) - 1);
    view->SetActiveViewport(view->ViewportAt(active).ViewportId());
  } else {
    ReadViewport(j, view->MainViewport());
  }
}

void Reader::ReadDocument(const json& root) {
  Object(root, "a document");
  Keys(root, {"format", "version", "title", "notes", "createdBy", "lastEditedBy", "viewportBackground", "materials",
              "layers", "objects", "displayModes", "views", "activeView", "units"});
  if (Text(root, "format") != L"zem-document") Fail("not a zem document (\"format\": \"zem-document\" is missing)");
  Integer(root, "version", 1, 1, 1);
  m_doc.SetTitle(Text(root, "title", L"Untitled").c_str());
  if (root.contains("units")) {
    using U = ON::LengthUnitSystem;
    static const std::map<std::wstring, U> units{{L"none", U::None},
                                                 {L"angstroms", U::Angstroms},
                                                 {L"nanometers", U::Nanometers},
                                                 {L"microns", U::Microns},
                                                 {L"millimeters", U::Millimeters},
                                                 {L"centimeters", U::Centimeters},
                                                 {L"decimeters", U::Decimeters},
                                                 {L"meters", U::Meters},
                                                 {L"dekameters", U::Dekameters},
                                                 {L"hectometers", U::Hectometers},
                                                 {L"kilometers", U::Kilometers},
                                                 {L"megameters", U::Megameters},
                                                 {L"gigameters", U::Gigameters},
                                                 {L"microinches", U::Microinches},
                                                 {L"mils", U::Mils},
                                                 {L"inches", U::Inches},
                                                 {L"feet", U::Feet},
                                                 {L"yards", U::Yards},
                                                 {L"miles", U::Miles},
                                                 {L"printerspoints", U::PrintersPoints},
                                                 {L"picas", U::Picas},
                                                 {L"nauticalmiles", U::NauticalMiles},
                                                 {L"astronomicalunits", U::AstronomicalUnits},
                                                 {L"lightyears", U::LightYears},
                                                 {L"parsecs", U::Parsecs},
                                                 {L"customunits", U::CustomUnits}};
    const std::wstring name = Text(root, "units");
    Enter e(*this, "units");
    if (!units.count(name)) Fail("expected a unit of length such as \"millimeters\" or \"inches\"");
    m_doc.SetModelUnits(units.at(name));
  }
  m_doc.Properties().Notes().m_notes = Text(root, "notes");
  m_doc.Properties().RevisionHistory().m_sCreatedBy = Text(root, "createdBy");
  m_doc.Properties().RevisionHistory().m_sLastEditedBy = Text(root, "lastEditedBy");
  if (root.contains("viewportBackground")) {
    m_doc.SetViewportBackgroundColor(Colour(root, "viewportBackground", ON_Color(160, 160, 160)));
  }
  auto each = [&](const char* key, auto&& read) {
    auto it = root.find(key);
    if (it == root.end()) return;
    Enter e(*this, key);
    Array(*it, "a list");
    for (std::size_t i = 0; i < it->size(); ++i) {
      Enter ei(*this, "[" + std::to_string(i) + "]");
      read((*it)[i], static_cast<int>(i));
    }
  };
  each("materials", [&](const json& j, int) { m_doc.m_material_table.AddMaterial(ReadMaterial(j)); });
  each("layers", [&](const json& j, int i) {
    ON_Layer layer = ReadLayer(j, i);
    if (i == 0) {
      m_doc.m_layer_table.ModifyLayer(layer, 0);
    } else {
      m_doc.m_layer_table.AddLayer(layer);
    }
  });
  each("objects", [&](const json& j, int) { ReadObject(j); });
  each("displayModes", [&](const json& j, int) { m_modes.push_back(ReadDisplayMode(j)); });
  each("views", [&](const json& j, int) { ReadView(j); });
  if (m_doc.ViewCount() == 0) AddDefaultViews(m_doc);
  if (auto it = root.find("activeView"); it != root.end()) {
    Enter e(*this, "activeView");
    if (it->is_string()) {
      CRhinoView* view = m_doc.FindView(FromUtf8(it->get<std::string>()).c_str());
      if (!view) Fail("no view of that name");
      for (int i = 0; i < m_doc.ViewCount(); ++i) {
        if (m_doc.View(i) == view) m_doc.SetInitialViewIndex(i);
      }
    } else {
      m_doc.SetInitialViewIndex(Integer(*it, 0, m_doc.ViewCount() - 1));
    }
  }
}

// Line and column (from 1) of a byte offset.
std::string LineAndColumn(std::string_view text, std::size_t offset) {
  std::size_t line = 1, column = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace

bool ReadDocumentFile(const std::wstring& path, CRhinoDoc& doc, ModelReport& report) {
  const std::filesystem::path file(NativePath(path));
  if (!WithinWholeFileLimit(file, report)) return false;
  std::vector<unsigned char> bytes;
  std::string why;
  if (!ReadRegularFile(file.string(), std::numeric_limits<std::uintmax_t>::max(), bytes, why)) {
    report.error = FromUtf8(why);
    return false;
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return ReadDocumentText(text, FromSystemBytes(file.parent_path().string()), doc, report);
}

bool ReadDocumentText(std::string_view text, const std::wstring& baseFolder, CRhinoDoc& doc, ModelReport& report) {
  report.error.clear();
  json root;
  try {
    root = json::parse(text.begin(), text.end());
  } catch (const json::out_of_range& e) {
    // Numbers beyond the range of a double.
    std::string what = e.what();
    const std::size_t bracket = what.find("] ");
    report.error = FromUtf8("malformed JSON: " + (bracket == std::string::npos ? what : what.substr(bracket + 2)));
    return false;
  } catch (const json::parse_error& e) {
    std::string what = e.what();
    // nlohmann's message after its "[json.exception.parse_error.101] parse error at line 1, column 2: " prefix.
    const std::size_t colon = what.find(": ");
    const std::string detail = colon == std::string::npos ? what : what.substr(colon + 2);
    report.error = FromUtf8("malformed JSON at " + LineAndColumn(text, e.byte > 0 ? e.byte - 1 : 0) + ": " + detail);
    return false;
  }
  // Read into a scratch document first, so that a failure leaves `doc` as
  // it was.
  CRhinoDoc scratch;
  ModelReport scratchReport;
  try {
    Reader reader(baseFolder, scratch, scratchReport);
    reader.ReadDocument(root);
  } catch (const BadDocument& bad) {
    report.error = bad.message;
    report.notes.insert(report.notes.end(), scratchReport.notes.begin(), scratchReport.notes.end());
    return false;
  } catch (const json::exception& e) {
    report.error = FromUtf8(std::string("unexpected value: ") + e.what());
    return false;
  }
  doc.TakeContents(scratch);
  report.notes.insert(report.notes.end(), scratchReport.notes.begin(), scratchReport.notes.end());
  return true;
}

}  // namespace zem
