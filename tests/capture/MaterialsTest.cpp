// Exported materials, their records in the page and their texture images.
#include <gtest/gtest.h>

#include "capture/ZEM_Rhino_WebGLExport.h"
#include "tests/support/CaptureTestSupport.h"
#include "tests/support/MailTestSupport.h"
#include "standin/host/CRhinoDib.h"
#include "standin/host/CRhinoDoc.h"

namespace {

using zem::testing::Calls;
using zem::testing::Count;

class Materials : public zem::testing::TempFolderTest {
 protected:
  // Writes the records and initTextures of the document's materials and
  // answers the page text.
  std::string Records(ZEM_Rhino_WebGLExport& writer) {
    EXPECT_TRUE(writer.OpenPage(PagePath()));
    writer.WriteMaterials();
    writer.WriteInitTextures();
    writer.WriteBody();
    EXPECT_TRUE(writer.ClosePage());
    return ReadPage();
  }
  // A picture file of w x h pixels; the top half red, the bottom blue.
  std::wstring Picture(const std::string& name, int w, int h, int bits = 24, int alpha = -1) {
    CRhinoDib dib(w, h, bits);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) dib.SetPixel(x, y, y >= h / 2 ? 255 : 0, 0, y >= h / 2 ? 0 : 255, alpha);
    std::wstring path = (folder / name).wstring();
    EXPECT_TRUE(dib.WriteToFile(path.c_str()));
    return path;
  }
  ON_Material Textured(const std::wstring& file, const wchar_t* name = L"textured") {
    ON_Material m;
    m.m_material_name = name;
    m.AddTexture(file.c_str());
    return m;
  }
  CRhinoDoc doc;
  CDisplayPipelineAttributes display;
};

TEST_F(Materials, ADocumentWithoutMaterialsWritesOnlyTheDefaultRecord) {
  display.m_bUseObjectMaterial = true;
  ZEM_Rhino_WebGLExport writer(doc, display);
  writer.PrepareMaterialsAndTextures();
  EXPECT_EQ(writer.MaterialNumberOf(-1), 0);
  std::string page = Records(writer);
  auto records = Calls(page, "mat.push(");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].size(), 15u);
  EXPECT_EQ(records[0][11], 1);   // refraction
  EXPECT_EQ(records[0][14], -1);  // no image
  EXPECT_NE(page.find("function initTextures(textures){ }\r\n"), std::string::npos);
}

TEST_F(Materials, MaterialsThatLookTheSameAreMerged) {
  ON_Material a;
  a.m_material_name = L"steel";
  a.m_diffuse = ON_Color(10, 20, 30);
  ON_Material b = a;
  b.m_transparent = ON_Color(1, 2, 3);  // plays no part in the page
  ON_Material c = a;
  c.m_material_name = L"Steel";  // names are compared exactly
  ON_Material d = a;
  d.m_diffuse = ON_Color(10, 20, 31);
  ON_Material e = a;
  e.SetShine(10);
  for (const auto& m : {a, b, c, d, e}) doc.m_material_table.AddMaterial(m);
  ZEM_Rhino_WebGLExport writer(doc, display);
  writer.PrepareMaterialsAndTextures();
  EXPECT_EQ(writer.m_materialMap, (std::vector<int>{0, 0, 1, 2, 3}));
  EXPECT_EQ(writer.m_materials, (std::vector<int>{0, 2, 3, 4}));
  EXPECT_EQ(writer.MaterialNumberOf(1), 0);
  EXPECT_EQ(writer.MaterialNumberOf(-1), 4);  // the default record follows
}

TEST_F(Materials, WithoutObjectMaterialsEveryRecordIsTheDisplayModesButImagesAreStillMade) {
  ON_Material m = Textured(Picture("wood.jpg", 16, 16));
  m.m_diffuse = ON_Color(255, 0, 0);
  doc.m_material_table.AddMaterial(m);
  display.m_bUseObjectMaterial = false;
  display.m_FrontMaterial.m_diffuse = ON_Color(0, 255, 0);
  ZEM_Rhino_WebGLExport writer(doc, display);
  writer.PrepareMaterialsAndTextures();
  EXPECT_EQ(writer.ImageCount(), 1);
  EXPECT_FALSE(writer.HasTexture(0));
  std::string page = Records(writer);
  auto records = Calls(page, "mat.push(");
  ASSERT_EQ(records.size(), 2u);
  for (const auto& record : records)
    EXPECT_EQ((std::vector{record[0], record[1], record[13], record[14]}), (std::vector<double>{0, 1, 0, -1}));
  EXPECT_NE(page.find("document.getElementById(\"tex1\")"), std::string::npos);
}

TEST_F(Materials, EnabledBitmapTexturesGetNumberedImages) {
  const std::wstring jpg = Picture("a.jpg", 40, 30);
  ON_Material disabled = Textured(jpg, L"disabled");
  disabled.m_textures[0].m_bOn = false;
  ON_Material decal = Textured(Picture("b.Png", 8, 8, 32, 128), L"decal");  // any case keeps alpha
  decal.m_textures[0].m_mode = ON_Texture::decal_texture;
  doc.m_material_table.AddMaterial(Textured(jpg, L"first"));
  doc.m_material_table.AddMaterial(disabled);
  doc.m_material_table.AddMaterial(decal);
  doc.m_material_table.AddMaterial(Textured(jpg, L"same file again"));
  display.m_bUseObjectMaterial = true;
  ZEM_Rhino_WebGLExport writer(doc, display);
  writer.PrepareMaterialsAndTextures();
  EXPECT_EQ(writer.m_materialTextures, (std::vector<int>{0, -1, 1, 2}));
  EXPECT_EQ(writer.ImageCount(), 3);
  EXPECT_EQ(std::pair(writer.Images()[0].jpeg, writer.Images()[1].jpeg), std::pair(true, false));
  // Records 0 to 2, and the default record.
  EXPECT_EQ((std::vector{writer.HasTexture(0), writer.HasTexture(1), writer.HasTexture(2), writer.HasTexture(4)}),
            (std::vector{true, false, true, false}));
  std::string page = Records(writer);
  auto records = Calls(page, "mat.push(");
  ASSERT_EQ(records.size(), 5u);
  // Texture mode and image number of the first three records.
  EXPECT_EQ(
      (std::vector{records[0][13], records[0][14], records[1][13], records[1][14], records[2][13], records[2][14]}),
      (std::vector<double>{1, 0, 0, -1, 2, 1}));
  EXPECT_EQ(Count(page, "gl.createTexture(); textures.push("), 3u);
}

TEST_F(Materials, ImagesAre256SquareKeepTheirOrientationAndLeaveNoFileBehind) {
  doc.m_material_table.AddMaterial(Textured(Picture("exact.png", 256, 256, 32, 255), L"exact"));
  doc.m_material_table.AddMaterial(Textured(Picture("odd.png", 255, 256, 32, 255), L"odd"));
  ZEM_Rhino_WebGLExport writer(doc, display);
  writer.PrepareMaterialsAndTextures();
  ASSERT_EQ(writer.ImageCount(), 2);
  // The temporary pictures are gone once read back.
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    EXPECT_EQ(entry.path().filename().string().rfind("_tex", 0), std::string::npos) << entry.path();
  for (int image = 0; image < 2; ++image) {
    std::ofstream(folder / "back.png", std::ios::binary) << zem::testing::DecodeBase64(writer.Images()[image].base64);
    CRhinoDib dib;
    ASSERT_TRUE(dib.ReadFromFile((folder / "back.png").wstring().c_str()));
    EXPECT_EQ(dib.Width(), 256);
    EXPECT_EQ(dib.Height(), 256);
    int r, g, b, a;
    dib.GetPixel(100, 250, r, g, b, a);  // upper rows red
    EXPECT_EQ(r, 255);
    EXPECT_EQ(b, 0);
    dib.GetPixel(100, 5, r, g, b, a);  // lower rows blue
    EXPECT_EQ(r, 0);
    EXPECT_EQ(b, 255);
    // The exact size is taken as it is: the colour edge stays sharp.
    dib.GetPixel(100, 128, r, g, b, a);
    if (image == 0) {
      EXPECT_EQ(r, 255);
    }
  }
}

// A texture that cannot be loaded, or whose image cannot be written to the
// temporary folder, takes no image slot.
TEST_F(Materials, TexturesThatCannotBeLoadedOrWrittenGetNoImage) {
  std::filesystem::path junk = folder / "junk.jpg";
  std::ofstream(junk) << "not a picture";
  doc.m_material_table.AddMaterial(Textured((folder / "missing.jpg").wstring(), L"missing"));
  doc.m_material_table.AddMaterial(Textured(junk.wstring(), L"junk"));
  doc.m_material_table.AddMaterial(Textured(Picture("fine.jpg", 2, 2), L"fine"));
  ZEM_Rhino_WebGLExport writer(doc, display);
  writer.PrepareMaterialsAndTextures();
  EXPECT_EQ(writer.m_materialTextures, (std::vector<int>{-1, -1, 0}));
  EXPECT_EQ(writer.ImageCount(), 1);

  setenv("TMPDIR", (folder / "no such folder").c_str(), 1);
  ZEM_Rhino_WebGLExport unwritable(doc, display);
  unwritable.PrepareMaterialsAndTextures();
  EXPECT_EQ(unwritable.m_materialTextures, (std::vector<int>{-1, -1, -1}));
  EXPECT_EQ(Count(Records(unwritable), "getElementById(\"tex"), 0u);
}

TEST_F(Materials, MaterialsPastTheLastImageSlotAreShadedWithoutTexture) {
  const std::wstring jpg = Picture("tiny.jpg", 1, 1);
  const int count = ZEM_WebGLExport::kMaxImages + 3;
  for (int i = 0; i < count; ++i) doc.m_material_table.AddMaterial(Textured(jpg, std::to_wstring(i).c_str()));
  display.m_bUseObjectMaterial = true;
  ZEM_Rhino_WebGLExport writer(doc, display);
  writer.PrepareMaterialsAndTextures();
  EXPECT_EQ(writer.ImageCount(), ZEM_WebGLExport::kMaxImages);
  EXPECT_EQ(writer.m_materialTextures[ZEM_WebGLExport::kMaxImages - 1], ZEM_WebGLExport::kMaxImages - 1);
  EXPECT_EQ(writer.m_materialTextures[ZEM_WebGLExport::kMaxImages], -1);
  EXPECT_FALSE(writer.HasTexture(ZEM_WebGLExport::kMaxImages));
  std::string page = Records(writer);
  EXPECT_EQ(Count(page, "gl.createTexture(); textures.push("), static_cast<std::size_t>(ZEM_WebGLExport::kMaxImages));
}

}  // namespace
