#include "importers/cad/CadDocument.h"

#include "standin/host/CRhinoBrepObject.h"
#include "standin/host/CRhinoCurveObject.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoPointObject.h"
#include "standin/host/CRhinoView.h"
#include "importers/DefaultViews.h"
#include "standin/host/ON_PolylineCurve.h"
#include "standin/platform/TextEncoding.h"

#include <cmath>
#include <limits>
#include <map>

namespace zem::cad {

namespace {

struct BadPlacement {};

class Placement {
 public:
  explicit Placement(const double* m) : m_m(m) {
    // Normals turn with the inverse transpose of the linear part.
    const double a = m[0], b = m[1], c = m[2], d = m[4], e = m[5], f = m[6], g = m[8], h = m[9], i = m[10];
    const double det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    const double s = det != 0 ? 1 / det : 0;
    const double n[9] = {(e * i - f * h) * s, (f * g - d * i) * s, (d * h - e * g) * s,
                         (c * h - b * i) * s, (a * i - c * g) * s, (b * g - a * h) * s,
                         (b * f - c * e) * s, (c * d - a * f) * s, (a * e - b * d) * s};
    for (int k = 0; k < 9; ++k) m_n[k] = n[k];
    m_flips = det < 0;
  }
  ON_3dPoint Point(double x, double y, double z) const {
    const double* m = m_m;
    const ON_3dPoint p(m[0] * x + m[1] * y + m[2] * z + m[3], m[4] * x + m[5] * y + m[6] * z + m[7],
                       m[8] * x + m[9] * y + m[10] * z + m[11]);
    constexpr double kMax = std::numeric_limits<float>::max();
    if (!(std::fabs(p.x) <= kMax && std::fabs(p.y) <= kMax && std::fabs(p.z) <= kMax)) throw BadPlacement{};
    return p;
  }
  ON_3fVector Normal(float x, float y, float z) const {
    const double* n = m_n;
    ON_3dVector v(n[0] * x + n[1] * y + n[2] * z, n[3] * x + n[4] * y + n[5] * z, n[6] * x + n[7] * y + n[8] * z);
    v.Unitize();
    return ON_3fVector(v);
  }
  // A mirroring placement turns the triangles inside out.
  bool Flips() const { return m_flips; }

 private:
  const double* m_m;
  double m_n[9];
  bool m_flips = false;
};

ON_Mesh PlacedMesh(const CadMesh& in, const Placement& placement) {
  ON_Mesh mesh;
  const std::size_t n = in.positions.size() / 3;
  mesh.m_V.SetCount(static_cast<int>(n));
  const bool normals = in.normals.size() == in.positions.size();
  if (normals) mesh.m_N.SetCount(static_cast<int>(n));
  for (std::size_t i = 0; i < n; ++i) {
    const float* p = &in.positions[3 * i];
    mesh.m_V[static_cast<int>(i)] = ON_3fPoint(placement.Point(p[0], p[1], p[2]));
    if (normals) {
      const float* v = &in.normals[3 * i];
      mesh.m_N[static_cast<int>(i)] = placement.Normal(v[0], v[1], v[2]);
    }
  }
  mesh.m_F.SetCount(static_cast<int>(in.triangles.size() / 3));
  for (std::size_t t = 0; t < in.triangles.size() / 3; ++t) {
    ON_MeshFace& face = mesh.m_F[static_cast<int>(t)];
    const std::uint32_t* v = &in.triangles[3 * t];
    face.vi[0] = static_cast<int>(v[0]);
    face.vi[1] = static_cast<int>(placement.Flips() ? v[2] : v[1]);
    face.vi[2] = face.vi[3] = static_cast<int>(placement.Flips() ? v[1] : v[2]);
  }
  if (!normals) mesh.ComputeVertexNormals();
  return mesh;
}

template <typename T>
std::unique_ptr<ON_PolylineCurve> PlacedPolyline(const std::vector<T>& xyz, const Placement& placement) {
  ON_Polyline points;
  points.Reserve(static_cast<int>(xyz.size() / 3));
  for (std::size_t i = 0; i + 2 < xyz.size(); i += 3) points.Append(placement.Point(xyz[i], xyz[i + 1], xyz[i + 2]));
  return std::make_unique<ON_PolylineCurve>(points);
}

class Builder {
 public:
  Builder(const CadScene& scene, CRhinoDoc& doc) : m_scene(scene), m_doc(doc) {}

  void Run() {
    std::vector<int> layers;
    for (const auto& name : m_scene.layers) {
      ON_Layer layer;
      layer.m_name = FromUtf8(name).c_str();
      layers.push_back(m_doc.m_layer_table.AddLayer(layer));
    }
    for (const CadInstance& instance : m_scene.instances) {
      const Placement placement(instance.transform);
      ON_3dmObjectAttributes attributes;
      attributes.m_name = FromUtf8(instance.name).c_str();
      if (instance.layer >= 0) attributes.m_layer_index = layers[static_cast<std::size_t>(instance.layer)];
      const CadPart& part = m_scene.parts[instance.part];
      for (const CadBody& body : part.bodies) {
        for (const CadGroup& group : body.groups) {
          Colour(group.colour >= 0 ? group.colour : instance.colour, attributes);
          auto brep = std::make_unique<ON_Brep>();
          ON_BrepFace& face = brep->m_F.emplace_back();
          face.m_render_mesh = std::make_shared<ON_Mesh>(PlacedMesh(group.mesh, placement));
          for (const auto& edge : group.edges) brep->m_E.push_back(PlacedPolyline(edge, placement));
          auto* object = new CRhinoBrepObject(std::move(brep));
          object->ModifyAttributes(attributes);
          m_doc.AddObject(object);
        }
      }
      // Wire geometry takes the instance's colour, or the dark of edges.
      Colour(instance.colour, attributes);
      for (const auto& curve : part.curves) {
        auto* object = new CRhinoCurveObject(PlacedPolyline(curve, placement));
        object->ModifyAttributes(attributes);
        m_doc.AddObject(object);
      }
      for (std::size_t i = 0; i + 2 < part.points.size(); i += 3) {
        auto* object = new CRhinoPointObject(placement.Point(part.points[i], part.points[i + 1], part.points[i + 2]));
        object->ModifyAttributes(attributes);
        m_doc.AddObject(object);
      }
    }
  }

 private:
  // The colour's material (made at first use) and display colour; without
  // a colour, the neutral grey with dark edges.
  void Colour(int colour, ON_3dmObjectAttributes& attributes) {
    const CadColour& c = colour >= 0 ? m_scene.colours[static_cast<std::size_t>(colour)] : kNeutralGrey;
    auto [it, added] = m_materials.emplace(colour, -1);
    if (added) {
      ON_Material material;
      material.m_material_name = colour >= 0 ? L"CAD colour " + std::to_wstring(m_materials.size()) : L"CAD grey";
      material.m_diffuse = ON_Color(c.red, c.green, c.blue);
      material.m_ambient = ON_Color(c.red / 4, c.green / 4, c.blue / 4);
      material.m_specular = ON_Color(90, 90, 90);
      material.SetShine(0.3 * ON_Material::MaxShine());
      material.m_transparency = 1.0 - c.alpha;
      it->second = m_doc.m_material_table.AddMaterial(material);
    }
    attributes.m_material_index = it->second;
    attributes.SetMaterialSource(ON_3dmObjectAttributes::material_from_object);
    const CadColour& draw = colour >= 0 ? c : kDarkEdges;
    attributes.m_color = ON_Color(draw.red, draw.green, draw.blue);
    attributes.SetColorSource(ON_3dmObjectAttributes::color_from_object);
  }

  const CadScene& m_scene;
  CRhinoDoc& m_doc;
  std::map<int, int> m_materials;  // scene colour (-1: none) -> document material
};

}  // namespace

bool BuildCadDocument(const CadScene& scene, const std::wstring& title, CRhinoDoc& doc, ModelReport& report) {
  try {
    Builder(scene, doc).Run();
  } catch (const BadPlacement&) {
    report.error = L"a placement puts the model beyond single precision";
    return false;
  }
  if (doc.ObjectSlotCount() == 0) {
    report.error = L"no geometry found";
    return false;
  }
  for (const auto& note : scene.notes) report.notes.push_back(FromUtf8(note));
  doc.SetTitle(title.c_str());
  AddDefaultViews(doc, L"Rendered");
  // A CAD program shows a part shaded in its colours with its edges drawn.
  if (CRhinoView* view = doc.FindView(L"Perspective")) {
    CDisplayPipelineAttributes mode = *FindDisplayMode(L"Rendered");
    mode.m_bShowSurfaceWires = true;
    view->SetDisplayMode(mode);
  }
  return true;
}

}  // namespace zem::cad
