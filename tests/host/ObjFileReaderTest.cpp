#include "host/ObjFileReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/CRhinoCurveObject.h"
#include "host/CRhinoDoc.h"
#include "host/CRhinoMeshObject.h"
#include "host/CRhinoObjectIterator.h"
#include "host/CRhinoPointCloudObject.h"
#include "host/MeshFileReader.h"
#include "host/ON_PolylineCurve.h"
#include "platform/TextEncoding.h"

namespace {

namespace fs = std::filesystem;

std::string Text(const char* format, double a, double b = 0, double c = 0) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, format, a, b, c);
  return buffer;
}

// What a viewer of the page sees of a document, one line per object,
// material, triangle corner, curve point and point: positions, normals and
// texture coordinates to the six digits the page carries.
std::vector<std::string> Describe(const CRhinoDoc& doc) {
  std::vector<std::string> lines;
  CRhinoObjectIterator it(doc, CRhinoObjectIterator::all_objects, CRhinoObjectIterator::active_and_reference_objects);
  for (const CRhinoObject* object = it.First(); object; object = it.Next()) {
    const ON_Material& m = object->ObjectMaterial();
    std::string material = "object " + zem::ToUtf8(object->Attributes().m_name.Array()) + " material " + zem::ToUtf8(m.Name().Array()) + Text(" kd %g %g %g", m.m_diffuse.Red(), m.m_diffuse.Green(), m.m_diffuse.Blue()) +
                           Text(" ks %g %g %g", m.m_specular.Red(), m.m_specular.Green(), m.m_specular.Blue()) +
                           Text(" ka %g %g %g", m.m_ambient.Red(), m.m_ambient.Green(), m.m_ambient.Blue()) +
                           Text(" ke %g %g %g", m.m_emission.Red(), m.m_emission.Green(), m.m_emission.Blue()) +
                           Text(" shine %g transparency %g ior %g", m.Shine(), m.Transparency(), m.m_index_of_refraction);
    for (const ON_Texture& t : m.m_textures) material += " texture " + zem::ToUtf8(t.m_filename.Array());
    lines.push_back(material);
    if (const auto* mesh = dynamic_cast<const CRhinoMeshObject*>(object)) {
      const ON_Mesh& g = *mesh->Mesh();
      lines.push_back(Text("mesh of %g triangles", g.TriangleCount() + 2 * g.QuadCount()));
      auto corner = [&](int i) {
        std::string s = Text("%g %g %g", g.m_V[i].x, g.m_V[i].y, g.m_V[i].z);
        s += Text(" n %g %g %g", g.m_N[i].x, g.m_N[i].y, g.m_N[i].z);
        if (g.HasTextureCoordinates()) s += Text(" t %g %g", g.m_T[i].x, g.m_T[i].y);
        lines.push_back(s);
      };
      for (const ON_MeshFace& f : g.m_F) {
        corner(f.vi[0]), corner(f.vi[1]), corner(f.vi[2]);
        if (f.IsQuad()) corner(f.vi[0]), corner(f.vi[2]), corner(f.vi[3]);
      }
    } else if (const auto* curve = dynamic_cast<const CRhinoCurveObject*>(object)) {
      const auto* polyline = dynamic_cast<const ON_PolylineCurve*>(curve->Curve());
      lines.push_back("curve");
      if (polyline)
        for (const ON_3dPoint& p : polyline->m_pline) lines.push_back(Text("%g %g %g", p.x, p.y, p.z));
    } else if (const auto* cloud = dynamic_cast<const CRhinoPointCloudObject*>(object)) {
      lines.push_back("points");
      for (const ON_3dPoint& p : cloud->Points()) lines.push_back(Text("%g %g %g", p.x, p.y, p.z));
    }
  }
  return lines;
}

std::vector<fs::path> ObjFilesUnderTestData() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(ZEM_TEST_DATA_DIR)) {
    if (entry.path().extension() == ".obj") files.push_back(entry.path());
  }
  return files;
}

class ObjAgreesWithAssimp : public ::testing::TestWithParam<fs::path> {};

TEST_P(ObjAgreesWithAssimp, SameObjectsMaterialsTrianglesCurvesAndPoints) {
  const fs::path& file = GetParam();
  CRhinoDoc ours, theirs;
  zem::ModelReport ourReport, theirReport;
  ASSERT_EQ(zem::ReadObjFile(file, ours, ourReport), zem::ObjReadResult::Read);
  ASSERT_TRUE(zem::ReadMeshFileWithAssimp(zem::FromUtf8(file.string()), theirs, theirReport))
      << zem::ToUtf8(theirReport.error);
  const auto expected = Describe(theirs);
  ASSERT_GT(expected.size(), 0u);
  EXPECT_EQ(Describe(ours), expected);
}

INSTANTIATE_TEST_SUITE_P(TestData, ObjAgreesWithAssimp, ::testing::ValuesIn(ObjFilesUnderTestData()),
                         [](const auto& info) {
                           std::string name = info.param.stem().string();
                           for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

}  // namespace
