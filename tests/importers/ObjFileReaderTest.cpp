#include "importers/ObjFileReader.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "standin/host/CRhinoCurveObject.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoMeshObject.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "standin/host/CRhinoPointCloudObject.h"
#include "importers/MeshFileReader.h"
#include "standin/host/ON_PolylineCurve.h"
#include "standin/platform/TextEncoding.h"

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
    std::string material =
        "object " + zem::ToUtf8(object->Attributes().m_name.Array()) + " material " + zem::ToUtf8(m.Name().Array()) +
        Text(" kd %g %g %g", m.m_diffuse.Red(), m.m_diffuse.Green(), m.m_diffuse.Blue()) +
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

class ObjFileReaderTest : public ::testing::TestWithParam<fs::path> {};

// Every OBJ file under tests/data reads as assimp reads it.
TEST_P(ObjFileReaderTest, AgreesWithAssimpOnObjectsMaterialsTrianglesCurvesAndPoints) {
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

INSTANTIATE_TEST_SUITE_P(TestData, ObjFileReaderTest, ::testing::ValuesIn(ObjFilesUnderTestData()),
                         [](const auto& info) {
                           std::string name = info.param.stem().string();
                           for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

std::filesystem::path WriteFile(const std::string& name, const std::string& text) {
  const fs::path path = fs::temp_directory_path() / ("zem-obj-" + std::to_string(::getpid()) + "-" + name);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

const ON_Mesh* FirstMesh(const CRhinoDoc& doc) {
  CRhinoObjectIterator it(doc, CRhinoObjectIterator::all_objects, CRhinoObjectIterator::active_and_reference_objects);
  for (const CRhinoObject* object = it.First(); object; object = it.Next())
    if (const auto* mesh = dynamic_cast<const CRhinoMeshObject*>(object)) return mesh->Mesh();
  return nullptr;
}

// A strip of n quads sharing their edges, each corner with the same texture
// coordinate and normal wherever it is used.
std::string Strip(int n) {
  std::string text = "vn 0 1 0\nvt 0 0\n";
  for (int i = 0; i <= n; ++i) text += "v " + std::to_string(i) + " 0 0\nv " + std::to_string(i) + " 0 1\n";
  for (int i = 0; i < n; ++i) {
    const int a = 2 * i + 1;
    text += "f " + std::to_string(a) + "/1/1 " + std::to_string(a + 2) + "/1/1 " + std::to_string(a + 3) + "/1/1 " +
            std::to_string(a + 1) + "/1/1\n";
  }
  return text;
}

TEST_F(ObjFileReaderTest, KeepsSharedCornersOneVertexAndSplitsTheRest) {
  CRhinoDoc doc;
  zem::ModelReport report;
  const fs::path strip = WriteFile("strip.obj", Strip(50));
  ASSERT_EQ(zem::ReadObjFile(strip, doc, report), zem::ObjReadResult::Read);
  const ON_Mesh* mesh = FirstMesh(doc);
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->VertexCount(), 102);
  EXPECT_EQ(mesh->FaceCount(), 100);

  // The same position with another texture coordinate is another vertex;
  // corners without a normal are never shared.
  CRhinoDoc seams, bare;
  const fs::path seam = WriteFile("seam.obj",
                                  "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 1\nvn 0 0 1\n"
                                  "f 1/1/1 2/1/1 3/1/1\nf 1/2/1 3/1/1 2/1/1\n");
  ASSERT_EQ(zem::ReadObjFile(seam, seams, report), zem::ObjReadResult::Read);
  EXPECT_EQ(FirstMesh(seams)->VertexCount(), 4);
  const fs::path flat = WriteFile("flat.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 1 3 2\n");
  ASSERT_EQ(zem::ReadObjFile(flat, bare, report), zem::ObjReadResult::Read);
  EXPECT_EQ(FirstMesh(bare)->VertexCount(), 6);
  for (const fs::path& p : {strip, seam, flat}) fs::remove(p);
}

// The text is parsed in as many pieces as there are threads, cut after the
// line on which each share ends. A comment of growing length in front moves
// the cuts over every kind of line (CR LF ends, comments, a long line, each
// face form, negative indices); more threads than lines leave pieces empty.
TEST_F(ObjFileReaderTest, ReadsTheSameDocumentWithAnyNumberOfThreads) {
  const fs::path file = fs::path(ZEM_TEST_DATA_DIR) / "obj" / "mixed-forms.obj";
  std::ifstream in(file, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(text.size(), 1000u);
  for (std::size_t pad = 0; pad < text.size(); pad += 11) {
    SCOPED_TRACE("comment of " + std::to_string(pad));
    const std::string padded = "#" + std::string(pad, '-') + "\n" + text;
    CRhinoDoc one;
    zem::ModelReport oneReport;
    ASSERT_EQ(zem::ReadObjText(padded, file, one, oneReport, 1), zem::ObjReadResult::Read);
    const auto expected = Describe(one);
    for (int threads : {2, 3, 7, 64}) {
      SCOPED_TRACE(std::to_string(threads) + " threads");
      CRhinoDoc doc;
      zem::ModelReport report;
      ASSERT_EQ(zem::ReadObjText(padded, file, doc, report, threads), zem::ObjReadResult::Read);
      EXPECT_EQ(Describe(doc), expected);
      EXPECT_EQ(report.notes, oneReport.notes);
    }
  }
  // Declined whatever the pieces: a line continued with a backslash, an
  // index to a position defined only after the face.
  for (const char* declined : {"v 0 0 0\nv 1 0 0\nv 0 1 0\n# the face goes on \\\nf 1 2 \\\n3\n",
                               "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\r\nf 1 2 4\r\nv 1 1 1\r\n"}) {
    for (int threads : {1, 2, 3, 64}) {
      SCOPED_TRACE(std::string(declined) + " in " + std::to_string(threads));
      CRhinoDoc doc;
      zem::ModelReport report;
      EXPECT_EQ(zem::ReadObjText(declined, file, doc, report, threads), zem::ObjReadResult::Declined);
      EXPECT_EQ(doc.ObjectSlotCount(), 0);
    }
  }
}

// Files the reader leaves to assimp: the document and the notes stay
// untouched, and reading the file still ends as assimp ends it.
TEST_F(ObjFileReaderTest, LeavesFilesItDeclinesToTheGeneralReader) {
  for (const char* text : {"v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 2 0\nf 1 2 3 4 5\n",  // pentagon
                           "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 7\n",                        // out of range
                           "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 0\n",                        // index 0
                           "v 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 1\nf 1//1 2 3\n",           // partial normals
                           "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 1\nf 1/1 2 3/1\n",            // partial uv
                           "v 0 0 0 1\nv 1 0 0 1\nv 0 1 0 1\nf 1 2 3\n",                  // weights
                           "v 0 0 nan\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"}) {                   // not finite
    SCOPED_TRACE(text);
    const fs::path file = WriteFile("declined.obj", text);
    CRhinoDoc doc, viaAssimp;
    zem::ModelReport report, assimpReport;
    EXPECT_EQ(zem::ReadObjFile(file, doc, report), zem::ObjReadResult::Declined);
    EXPECT_EQ(doc.ObjectSlotCount(), 0);
    EXPECT_EQ(doc.m_material_table.MaterialCount(), 0);
    EXPECT_TRUE(report.notes.empty());
    const bool read = zem::ReadMeshFile(zem::FromUtf8(file.string()), doc, report);
    const bool assimpRead = zem::ReadMeshFileWithAssimp(zem::FromUtf8(file.string()), viaAssimp, assimpReport);
    EXPECT_EQ(read, assimpRead);
    EXPECT_EQ(report.error, assimpReport.error);
    if (read) {
      EXPECT_EQ(Describe(doc), Describe(viaAssimp));
    }
    fs::remove(file);
  }
}

}  // namespace
