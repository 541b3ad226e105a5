#include "importers/cad/OcctImport.h"
#include "importers/cad/TrimmedFaces.h"

#include <BRepAdaptor_Curve.hxx>
#include <BRepBndLib.hxx>
#include <BRepMesh_IncrementalMesh.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <GCPnts_TangentialDeflection.hxx>
#include <IGESCAFControl_Reader.hxx>
#include <IMeshTools_Parameters.hxx>
#include <Message_ProgressIndicator.hxx>
#include <Message_ProgressScope.hxx>
#include <NCollection_DataMap.hxx>
#include <Poly_PolygonOnTriangulation.hxx>
#include <Poly_Triangulation.hxx>
#include <Quantity_ColorRGBA.hxx>
#include <STEPCAFControl_Reader.hxx>
#include <Standard_Failure.hxx>
#include <Standard_OutOfMemory.hxx>
#include <StdPrs_ToolTriangulatedShape.hxx>
#include <TDF_LabelSequence.hxx>
#include <TDF_Tool.hxx>
#include <TDataStd_Name.hxx>
#include <TDocStd_Document.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopTools_ShapeMapHasher.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <XCAFApp_Application.hxx>
#include <XCAFDoc_ColorTool.hxx>
#include <XCAFDoc_DocumentTool.hxx>
#include <XCAFDoc_ShapeTool.hxx>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <set>

namespace zem::cad {

namespace {

// Reports the kernel's own progress of one stage.
class StageProgress : public Message_ProgressIndicator {
 public:
  StageProgress(const ImportProgress& sink, const char* stage) : m_sink(sink), m_stage(stage) {}
  void Show(const Message_ProgressScope&, const Standard_Boolean) override {
    if (m_sink) m_sink(m_stage, GetPosition());
  }

 private:
  const ImportProgress& m_sink;
  const char* m_stage;
};

std::string Utf8(const TCollection_ExtendedString& text) {
  std::string bytes(static_cast<std::size_t>(text.LengthOfCString()) + 1, '\0');
  char* out = bytes.data();
  const int n = text.ToUTF8CString(out);
  bytes.resize(static_cast<std::size_t>(std::max(0, n)));
  return bytes;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Whether the file names tessellated items (AP242), which this version of
// the kernel does not read.
bool MentionsTessellation(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string block(1 << 16, '\0');
  std::string carry;
  while (in) {
    in.read(block.data(), static_cast<std::streamsize>(block.size()));
    std::string text = carry + block.substr(0, static_cast<std::size_t>(in.gcount()));
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (text.find("TESSELLATED_") != std::string::npos) return true;
    carry = text.size() > 16 ? text.substr(text.size() - 16) : text;
  }
  return false;
}

using ShapeColours = NCollection_DataMap<TopoDS_Shape, int, TopTools_ShapeMapHasher>;

class Import {
 public:
  Import(const std::string& path, MeshQuality quality, const ImportProgress& progress, CadScene& scene)
      : m_path(path), m_quality(quality), m_progress(progress), m_scene(scene) {
    m_stem = std::filesystem::path(path).stem().string();
  }

  bool Run(bool iges, std::string& error);

 private:
  int ColourIndex(const Quantity_ColorRGBA& rgba);
  int OwnColour(const TDF_Label& label);
  std::string NameOf(const TDF_Label& label) const;
  std::string Step(const TDF_Label& component, int index) const;
  int LayerIndex(const std::string& name);
  std::uint32_t PartOf(const TDF_Label& label);
  void Walk(const TDF_Label& label, const gp_Trsf& placement, int inherited, int instanceColour, int layer,
            const std::string& path);
  void AddInstance(const TDF_Label& part, const gp_Trsf& placement, int colour, int layer, const std::string& path);
  void Collect(std::uint32_t index);
  void CollectFreeGeometry(const TopoDS_Shape& shape, CadPart& out);
  void NameInstances();

  std::string m_path, m_stem;
  MeshQuality m_quality;
  const ImportProgress& m_progress;
  CadScene& m_scene;
  bool m_iges = false;
  Handle(XCAFDoc_ShapeTool) m_shapes;
  Handle(XCAFDoc_ColorTool) m_colours;
  std::map<std::string, std::uint32_t> m_partIndex;  // label entry -> part
  std::vector<TDF_Label> m_partLabels;
  std::vector<std::string> m_partNames;
  std::vector<std::string> m_instancePaths;
  std::map<std::string, int> m_layerIndex;
  int m_hidden = 0;
  double m_deflection = 0, m_angle = 0.5;
};

int Import::ColourIndex(const Quantity_ColorRGBA& rgba) {
  Standard_Real r = 0, g = 0, b = 0;
  rgba.GetRGB().Values(r, g, b, Quantity_TOC_sRGB);
  auto channel = [](double v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  CadColour colour{channel(r), channel(g), channel(b), std::clamp(static_cast<float>(rgba.Alpha()), 0.0f, 1.0f)};
  const auto found = std::find(m_scene.colours.begin(), m_scene.colours.end(), colour);
  if (found != m_scene.colours.end()) return static_cast<int>(found - m_scene.colours.begin());
  m_scene.colours.push_back(colour);
  return static_cast<int>(m_scene.colours.size()) - 1;
}

int Import::OwnColour(const TDF_Label& label) {
  Quantity_ColorRGBA rgba;
  if (m_colours->GetColor(label, XCAFDoc_ColorSurf, rgba) || m_colours->GetColor(label, XCAFDoc_ColorGen, rgba))
    return ColourIndex(rgba);
  return -1;
}

std::string Import::NameOf(const TDF_Label& label) const {
  // IGES names are not read (see Run), so every IGES label is unnamed.
  Handle(TDataStd_Name) name;
  if (m_iges || !label.FindAttribute(TDataStd_Name::GetID(), name)) return std::string();
  return Utf8(name->Get());
}

// A component's part of an instance path: its own name, or its part's name
// and its place among its siblings (names the kernel made up, "=>[0:1:1:2]",
// say nothing).
std::string Import::Step(const TDF_Label& component, int index) const {
  std::string name = NameOf(component);
  if (!name.empty() && name.rfind("=>", 0) != 0) return name;
  TDF_Label referred;
  if (XCAFDoc_ShapeTool::GetReferredShape(component, referred)) name = NameOf(referred);
  if (name.empty()) name = m_stem;
  return name + ":" + std::to_string(index);
}

int Import::LayerIndex(const std::string& name) {
  const auto [it, added] = m_layerIndex.emplace(name, static_cast<int>(m_scene.layers.size()));
  if (added) m_scene.layers.push_back(name);
  return it->second;
}

std::uint32_t Import::PartOf(const TDF_Label& label) {
  TCollection_AsciiString entry;
  TDF_Tool::Entry(label, entry);
  const auto [it, added] = m_partIndex.emplace(entry.ToCString(), static_cast<std::uint32_t>(m_partLabels.size()));
  if (added) {
    m_partLabels.push_back(label);
    std::string name = NameOf(label);
    if (name.empty()) name = m_stem + " " + std::to_string(m_partLabels.size());
    m_partNames.push_back(name);
  }
  return it->second;
}

void Import::AddInstance(const TDF_Label& part, const gp_Trsf& placement, int colour, int layer,
                         const std::string& path) {
  CadInstance instance;
  instance.part = PartOf(part);
  instance.layer = layer;
  instance.colour = colour;
  instance.name = m_partNames[instance.part];
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col) instance.transform[row * 4 + col] = placement.Value(row + 1, col + 1);
  m_scene.instances.push_back(std::move(instance));
  m_instancePaths.push_back(path);
}

// Colours: an instance's own colour wins over its part's, a part's over the
// assemblies around it; faces and bodies with colours of their own keep
// them (Collect).
void Import::Walk(const TDF_Label& label, const gp_Trsf& placement, int inherited, int instanceColour, int layer,
                  const std::string& path) {
  if (!m_colours->IsVisible(label)) {
    ++m_hidden;
    return;
  }
  if (XCAFDoc_ShapeTool::IsReference(label)) {
    TDF_Label referred;
    if (!XCAFDoc_ShapeTool::GetReferredShape(label, referred)) return;
    const gp_Trsf placed = placement * XCAFDoc_ShapeTool::GetLocation(label).Transformation();
    Walk(referred, placed, inherited, OwnColour(label), layer, path);
    return;
  }
  int colour = instanceColour;
  if (colour < 0) colour = OwnColour(label);
  if (colour < 0) colour = inherited;
  if (XCAFDoc_ShapeTool::IsAssembly(label)) {
    TDF_LabelSequence components;
    XCAFDoc_ShapeTool::GetComponents(label, components, false);
    for (int k = 1; k <= components.Length(); ++k)
      Walk(components(k), placement, colour, -1, layer, path + "/" + Step(components(k), k));
    return;
  }
  AddInstance(label, placement, colour, layer, path);
}

void Import::NameInstances() {
  std::map<std::string, int> uses;
  for (const auto& instance : m_scene.instances) ++uses[instance.name];
  for (std::size_t i = 0; i < m_scene.instances.size(); ++i) {
    CadInstance& instance = m_scene.instances[i];
    if (uses[instance.name] > 1 && !m_instancePaths[i].empty()) instance.name = m_instancePaths[i];
  }
}

// The triangles and edges of a meshed body's faces, grouped by colour.
void CollectBody(const TopoDS_Shape& body, int bodyColour, const ShapeColours& faceColours, CadBody& out,
                 int& failedFaces) {
  std::map<int, std::size_t> groupOf;
  TopTools_IndexedMapOfShape edgesDone;
  for (TopExp_Explorer faces(body, TopAbs_FACE); faces.More(); faces.Next()) {
    const TopoDS_Face& face = TopoDS::Face(faces.Current());
    TopLoc_Location location;
    const Handle(Poly_Triangulation)& triangulation = BRep_Tool::Triangulation(face, location);
    if (triangulation.IsNull() || triangulation->NbTriangles() == 0) {
      ++failedFaces;
      continue;
    }
    if (!triangulation->HasNormals()) StdPrs_ToolTriangulatedShape::ComputeNormals(face, triangulation);
    const int* own = faceColours.Seek(face);
    const int colour = own ? *own : bodyColour;
    const auto [it, added] = groupOf.emplace(colour, out.groups.size());
    if (added) out.groups.emplace_back().colour = colour;
    CadGroup& group = out.groups[it->second];
    CadMesh& mesh = group.mesh;

    const gp_Trsf& trsf = location.Transformation();
    const bool moved = location.IsIdentity() == Standard_False;
    const bool reversed = face.Orientation() == TopAbs_REVERSED;
    const std::uint32_t base = static_cast<std::uint32_t>(mesh.positions.size() / 3);
    const int nodes = triangulation->NbNodes();
    for (int i = 1; i <= nodes; ++i) {
      gp_Pnt p = triangulation->Node(i);
      gp_Dir n = triangulation->Normal(i);
      if (moved) p.Transform(trsf), n.Transform(trsf);
      if (reversed) n.Reverse();
      mesh.positions.insert(mesh.positions.end(),
                            {static_cast<float>(p.X()), static_cast<float>(p.Y()), static_cast<float>(p.Z())});
      mesh.normals.insert(mesh.normals.end(),
                          {static_cast<float>(n.X()), static_cast<float>(n.Y()), static_cast<float>(n.Z())});
    }
    const int triangles = triangulation->NbTriangles();
    for (int t = 1; t <= triangles; ++t) {
      int a = 0, b = 0, c = 0;
      triangulation->Triangle(t).Get(a, b, c);
      if (reversed) std::swap(b, c);
      mesh.triangles.insert(mesh.triangles.end(),
                            {base + static_cast<std::uint32_t>(a - 1), base + static_cast<std::uint32_t>(b - 1),
                             base + static_cast<std::uint32_t>(c - 1)});
    }

    // Edges as the mesh draws them: the polygon each edge has on this face's
    // triangulation. Seams and collapsed edges are no edges a user sees.
    for (TopExp_Explorer edges(face, TopAbs_EDGE); edges.More(); edges.Next()) {
      const TopoDS_Edge& edge = TopoDS::Edge(edges.Current());
      if (BRep_Tool::Degenerated(edge) || BRep_Tool::IsClosed(edge, face) || edgesDone.Contains(edge)) continue;
      TopLoc_Location edgeLocation;
      const Handle(Poly_PolygonOnTriangulation) polygon =
          BRep_Tool::PolygonOnTriangulation(edge, triangulation, edgeLocation);
      if (polygon.IsNull() || polygon->NbNodes() < 2) continue;
      edgesDone.Add(edge);
      const gp_Trsf& edgeTrsf = edgeLocation.Transformation();
      std::vector<float>& line = group.edges.emplace_back();
      for (int i = 1; i <= polygon->NbNodes(); ++i) {
        const int node = polygon->Node(i);
        if (node < 1 || node > nodes) continue;
        const gp_Pnt p = triangulation->Node(node).Transformed(edgeTrsf);
        line.insert(line.end(), {static_cast<float>(p.X()), static_cast<float>(p.Y()), static_cast<float>(p.Z())});
      }
      if (line.size() < 6) group.edges.pop_back();
    }
  }
  std::erase_if(out.groups, [](const CadGroup& g) { return g.mesh.triangles.empty(); });
}

void Import::CollectFreeGeometry(const TopoDS_Shape& shape, CadPart& out) {
  for (TopExp_Explorer edges(shape, TopAbs_EDGE, TopAbs_FACE); edges.More(); edges.Next()) {
    const TopoDS_Edge& edge = TopoDS::Edge(edges.Current());
    if (BRep_Tool::Degenerated(edge)) continue;
    try {
      BRepAdaptor_Curve curve(edge);
      GCPnts_TangentialDeflection points(curve, m_angle, m_deflection, 2);
      std::vector<double>& line = out.curves.emplace_back();
      for (int i = 1; i <= points.NbPoints(); ++i) {
        const gp_Pnt p = points.Value(i);
        line.insert(line.end(), {p.X(), p.Y(), p.Z()});
      }
      if (line.size() < 6) out.curves.pop_back();
    } catch (const Standard_Failure&) {
      // An edge without a curve the kernel can walk is left out.
    }
  }
  for (TopExp_Explorer vertices(shape, TopAbs_VERTEX, TopAbs_EDGE); vertices.More(); vertices.Next()) {
    const gp_Pnt p = BRep_Tool::Pnt(TopoDS::Vertex(vertices.Current()));
    out.points.insert(out.points.end(), {p.X(), p.Y(), p.Z()});
  }
}

void Import::Collect(std::uint32_t index) {
  const TDF_Label& label = m_partLabels[index];
  const TopoDS_Shape shape = XCAFDoc_ShapeTool::GetShape(label);
  CadPart& part = m_scene.parts[index];
  // Colours the file gives to bodies and faces of the part.
  ShapeColours colours;
  TDF_LabelSequence subShapes;
  XCAFDoc_ShapeTool::GetSubShapes(label, subShapes);
  for (const TDF_Label& sub : subShapes) {
    const int colour = OwnColour(sub);
    if (colour < 0) continue;
    const TopoDS_Shape subShape = XCAFDoc_ShapeTool::GetShape(sub);
    // A solid's or shell's colour is that of its faces without their own
    // (bodyColour below).
    if (subShape.ShapeType() == TopAbs_FACE) colours.Bind(subShape, colour);
  }
  auto bodyColour = [&](const TopoDS_Shape& body) {
    for (const TDF_Label& sub : subShapes) {
      if (XCAFDoc_ShapeTool::GetShape(sub).IsSame(body)) return OwnColour(sub);
    }
    return -1;
  };
  int failedFaces = 0;
  for (TopExp_Explorer solids(shape, TopAbs_SOLID); solids.More(); solids.Next())
    CollectBody(solids.Current(), bodyColour(solids.Current()), colours, part.bodies.emplace_back(), failedFaces);
  for (TopExp_Explorer shells(shape, TopAbs_SHELL, TopAbs_SOLID); shells.More(); shells.Next())
    CollectBody(shells.Current(), bodyColour(shells.Current()), colours, part.bodies.emplace_back(), failedFaces);
  TopoDS_Compound freeFaces;
  BRep_Builder builder;
  builder.MakeCompound(freeFaces);
  bool anyFree = false;
  for (TopExp_Explorer faces(shape, TopAbs_FACE, TopAbs_SHELL); faces.More(); faces.Next()) {
    builder.Add(freeFaces, faces.Current());
    anyFree = true;
  }
  if (anyFree) CollectBody(freeFaces, -1, colours, part.bodies.emplace_back(), failedFaces);
  std::erase_if(part.bodies, [](const CadBody& body) { return body.groups.empty(); });
  CollectFreeGeometry(shape, part);
  if (failedFaces > 0)
    m_scene.notes.push_back(std::to_string(failedFaces) + " face(s) of " + m_partNames[index] +
                            " could not be meshed and are left out");
}

bool Import::Run(bool iges, std::string& error) {
  m_iges = iges;
  Handle(XCAFApp_Application) application = XCAFApp_Application::GetApplication();
  Handle(TDocStd_Document) document;
  application->NewDocument("MDTV-XCAF", document);
  // Labels the file leaves unnamed stay unnamed (no kernel names such as
  // "SOLID"): the reader names them after the file.
  XCAFDoc_ShapeTool::SetAutoNaming(false);

  if (m_progress) m_progress("reading", -1);
  bool transferred = false;
  Handle(StageProgress) translating = new StageProgress(m_progress, "translating");
  if (iges) {
    IGESCAFControl_Reader reader;
    reader.SetColorMode(true);
    // The kernel's reading of IGES entity names has crashed on real files;
    // parts are named after the file instead.
    reader.SetNameMode(false);
    reader.SetLayerMode(false);
    if (reader.ReadFile(m_path.c_str()) != IFSelect_RetDone) {
      error = "not an IGES file the reader can read";
      return false;
    }
    if (m_progress) m_progress("translating", 0);
    transferred = reader.Transfer(document, translating->Start());
  } else {
    STEPCAFControl_Reader reader;
    ConfigureStepReader(reader);
    if (reader.ReadFile(m_path.c_str()) != IFSelect_RetDone) {
      error = "not a STEP file the reader can read";
      return false;
    }
    if (m_progress) m_progress("translating", 0);
    transferred = reader.Transfer(document, translating->Start());
  }
  m_shapes = XCAFDoc_DocumentTool::ShapeTool(document->Main());
  m_colours = XCAFDoc_DocumentTool::ColorTool(document->Main());
  TDF_LabelSequence roots;
  m_shapes->GetFreeShapes(roots);
  if (!transferred && roots.IsEmpty()) {
    error = !iges && MentionsTessellation(m_path)
                ? "the file holds only tessellated geometry (AP242), which this STEP reader cannot read"
                : std::string("no geometry found");
    return false;
  }

  // A layer per top-level part: the parts of the one assembly at the top,
  // or the file's top-level shapes.
  constexpr std::size_t kMaxLayers = 200;
  const gp_Trsf identity;
  std::vector<std::pair<TDF_Label, int>> tops;  // label, inherited colour
  if (roots.Length() == 1 && XCAFDoc_ShapeTool::IsAssembly(roots.First()) && m_colours->IsVisible(roots.First())) {
    TDF_LabelSequence components;
    XCAFDoc_ShapeTool::GetComponents(roots.First(), components, false);
    const int rootColour = OwnColour(roots.First());
    for (const TDF_Label& component : components) tops.emplace_back(component, rootColour);
  } else {
    for (const TDF_Label& root : roots) tops.emplace_back(root, -1);
  }
  const std::string rootName = roots.Length() == 1 ? NameOf(roots.First()) : std::string();
  int k = 0;
  for (const auto& [label, colour] : tops) {
    ++k;
    int layer = -1;
    if (tops.size() <= kMaxLayers) {
      TDF_Label named = label;
      if (XCAFDoc_ShapeTool::IsReference(label)) XCAFDoc_ShapeTool::GetReferredShape(label, named);
      std::string name = NameOf(named);
      if (name.empty()) name = NameOf(label);
      layer = LayerIndex(name.empty() ? m_stem : name);
    }
    Walk(label, identity, colour, -1, layer, (rootName.empty() ? "" : rootName + "/") + Step(label, k));
  }
  if (tops.size() > kMaxLayers)
    m_scene.notes.push_back(std::to_string(tops.size()) + " top-level parts; all are put on the default layer");
  if (m_hidden > 0) m_scene.notes.push_back(std::to_string(m_hidden) + " hidden part(s) or instance(s) left out");
  NameInstances();

  // The deflection follows the size of the whole model as placed.
  Bnd_Box box;
  std::vector<Bnd_Box> partBoxes(m_partLabels.size());
  for (std::size_t i = 0; i < m_partLabels.size(); ++i)
    BRepBndLib::Add(XCAFDoc_ShapeTool::GetShape(m_partLabels[i]), partBoxes[i]);
  for (const CadInstance& instance : m_scene.instances) {
    const Bnd_Box& part = partBoxes[instance.part];
    if (part.IsVoid()) continue;
    gp_Trsf placement;
    const double* m = instance.transform;
    placement.SetValues(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10], m[11]);
    box.Add(part.Transformed(placement));
  }
  if (box.IsVoid()) {
    error = "no geometry found";
    return false;
  }
  const double diagonal = std::sqrt(box.SquareExtent());
  m_deflection = std::max(diagonal * RelativeDeflection(m_quality), 1e-6);
  m_angle = AngularDeflection(m_quality);

  // Every part is meshed once, however many instances it has, all parts
  // in one run so that their faces share the cores.
  TopoDS_Compound parts;
  BRep_Builder builder;
  builder.MakeCompound(parts);
  for (const TDF_Label& label : m_partLabels) builder.Add(parts, XCAFDoc_ShapeTool::GetShape(label));
  IMeshTools_Parameters parameters;
  parameters.Deflection = m_deflection;
  parameters.Angle = m_angle;
  parameters.InParallel = Standard_True;
  parameters.Relative = Standard_False;
  if (m_progress) m_progress("meshing", 0);
  Handle(StageProgress) meshing = new StageProgress(m_progress, "meshing");
  BRepMesh_IncrementalMesh mesher(parts, parameters, meshing->Start());

  m_scene.parts.resize(m_partLabels.size());
  for (std::uint32_t i = 0; i < m_partLabels.size(); ++i) {
    if (m_progress) m_progress("collecting", static_cast<double>(i) / static_cast<double>(m_partLabels.size()));
    Collect(i);
  }
  bool any = false;
  for (const CadInstance& instance : m_scene.instances) {
    const CadPart& part = m_scene.parts[instance.part];
    any = any || !part.bodies.empty() || !part.curves.empty() || !part.points.empty();
  }
  if (!any) {
    error = "no geometry found";
    return false;
  }
  return true;
}

}  // namespace

void ConfigureStepReader(STEPCAFControl_Reader& reader) {
  reader.SetColorMode(true);
  reader.SetNameMode(true);
  reader.SetLayerMode(false);
  reader.SetPropsMode(false);
  reader.SetGDTMode(false);  // GD&T reading has crashed on real files
  reader.SetMatMode(false);
  reader.SetViewMode(false);
  reader.SetSHUOMode(false);
}

double RelativeDeflection(MeshQuality quality) {
  switch (quality) {
    case MeshQuality::Coarse:
      return 0.004;
    case MeshQuality::Fine:
      return 0.0003;
    case MeshQuality::Normal:
      break;
  }
  return 0.001;
}

double AngularDeflection(MeshQuality quality) {
  switch (quality) {
    case MeshQuality::Coarse:
      return 0.6;
    case MeshQuality::Fine:
      return 0.2;
    case MeshQuality::Normal:
      break;
  }
  return 0.35;
}

bool ImportWithOpenCascade(const std::string& path, MeshQuality quality, const ImportProgress& progress,
                           CadScene& scene, std::string& error) {
  const std::string ext = Lower(std::filesystem::path(path).extension().string());
  Import import(path, quality, progress, scene);
  try {
    return import.Run(ext == ".iges" || ext == ".igs", error);
  } catch (const Standard_OutOfMemory&) {
    throw std::bad_alloc();
  } catch (const Standard_Failure& failure) {
    error = std::string("the reader stopped: ") +
            (failure.GetMessageString() ? failure.GetMessageString() : "a kernel failure");
    return false;
  }
}

bool ImportTrimmedFaces(const std::string& path, MeshQuality quality, const ImportProgress& progress, CadScene& scene,
                        std::string& error) {
  if (progress) progress("reading", -1);
  nlohmann::json root;
  {
    std::ifstream in(path, std::ios::binary);
    root = nlohmann::json::parse(in, nullptr, false);
  }
  if (root.is_discarded() || !root.is_object() || !root.contains("objects") || !root["objects"].is_array()) {
    error = "the trimmed faces to mesh are not readable";
    return false;
  }
  // The faces of every object, each made once; the model's box gives the
  // precision and the deflection, as for models.
  Bnd_Box box;
  for (const auto& object : root["objects"]) {
    if (!object.is_object() || !object.contains("faces") || !object["faces"].is_array()) continue;
    for (const auto& face : object["faces"]) {
      if (!face.is_object() || !face.contains("surface") || !face["surface"].is_object()) continue;
      const auto& rows = face["surface"].value("points", nlohmann::json::array());
      for (const auto& row : rows)
        if (row.is_array())
          for (const auto& p : row)
            if (p.is_array() && p.size() == 3 && p[0].is_number() && p[1].is_number() && p[2].is_number())
              box.Add(gp_Pnt(p[0].get<double>(), p[1].get<double>(), p[2].get<double>()));
    }
  }
  if (box.IsVoid()) {
    error = "no trimmed faces to mesh";
    return false;
  }
  const double diagonal = std::sqrt(box.SquareExtent());
  const double precision = std::max(diagonal * 1e-7, 1e-9);
  if (progress) progress("building", -1);
  std::vector<std::vector<TopoDS_Face>> faces;
  TopoDS_Compound all;
  BRep_Builder builder;
  builder.MakeCompound(all);
  int unbuilt = 0;
  for (const auto& object : root["objects"]) {
    auto& list = faces.emplace_back();
    if (!object.is_object() || !object.contains("faces") || !object["faces"].is_array()) continue;
    for (const auto& face : object["faces"]) {
      std::string why;
      list.push_back(BuildTrimmedFace(face, precision, why));
      if (list.back().IsNull()) {
        ++unbuilt;
        continue;
      }
      builder.Add(all, list.back());
    }
  }
  IMeshTools_Parameters parameters;
  parameters.Deflection = std::max(diagonal * RelativeDeflection(quality), 1e-6);
  parameters.Angle = AngularDeflection(quality);
  parameters.InParallel = Standard_True;
  parameters.Relative = Standard_False;
  if (progress) progress("meshing", 0);
  Handle(StageProgress) meshing = new StageProgress(progress, "meshing");
  BRepMesh_IncrementalMesh mesher(all, parameters, meshing->Start());
  if (progress) progress("collecting", -1);
  const ShapeColours none;
  for (const auto& list : faces) {
    CadPart& part = scene.parts.emplace_back();
    for (const TopoDS_Face& face : list) {
      CadBody& body = part.bodies.emplace_back();
      int failed = 0;
      if (!face.IsNull()) CollectBody(face, -1, none, body, failed);
    }
  }
  if (unbuilt > 0) scene.notes.push_back(std::to_string(unbuilt) + " trimmed face(s) could not be built");
  return true;
}

}  // namespace zem::cad
