#include "host/CRhinoDib.h"

#include "host/CRhinoFileUtilities.h"
#include "platform/TextEncoding.h"
#include "tests/support/HostTestSupport.h"

#include <gtest/gtest.h>

#include "tests/support/TestFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class BitmapTest : public ::testing::Test {
 protected:
  fs::path dir;
  void SetUp() override {
    dir = zem::testing::TestFolder("zem-bitmap");
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::wstring Path(const char* name) const { return zem::FromUtf8((dir / name).string()); }
};

// Row zero is the bottom row in files too; PNG keeps alpha, JPEG drops it.
TEST_F(BitmapTest, FilesKeepRowOrderAndOnlyPngKeepsAlpha) {
  CRhinoDib dib(8, 8, 32);
  dib.SetPixel(0, 0, 255, 0, 0, 255);  // bottom left: red
  dib.SetPixel(1, 1, 10, 20, 30, 0);
  dib.SetPixel(7, 7, 0, 0, 255, 255);  // top right: blue
  ASSERT_TRUE(dib.WriteToFile(Path("alpha.PNG").c_str())) << "the extension is matched without case";
  ASSERT_TRUE(dib.WriteToFile(Path("alpha.jpg").c_str()));
  CRhinoDib png, jpg;
  ASSERT_TRUE(png.ReadFromFile(Path("alpha.PNG").c_str()));
  ASSERT_TRUE(jpg.ReadFromFile(Path("alpha.jpg").c_str()));
  int r, g, b, a;
  png.GetPixel(0, 0, r, g, b, a);
  EXPECT_EQ(r, 255);
  png.GetPixel(7, 7, r, g, b, a);
  EXPECT_EQ(b, 255);
  png.GetPixel(1, 1, r, g, b, a);
  EXPECT_EQ(png.BitsPerPixel(), 32);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(r, 10);
  EXPECT_EQ(jpg.BitsPerPixel(), 24);
  jpg.GetPixel(1, 1, r, g, b, a);
  EXPECT_EQ(a, 255);
  std::ifstream j(dir / "alpha.jpg", std::ios::binary);
  EXPECT_EQ(j.get(), 0xFF) << "the file really is a JPEG";
}

TEST_F(BitmapTest, BrokenFilesAndPixelsOutsideAreRefusedAndTheBitmapKept) {
  CRhinoDib dib(5, 5, 24);
  std::ofstream(dir / "cut.png", std::ios::binary) << std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  std::ofstream(dir / "cut.jpg", std::ios::binary) << std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10);
  std::ofstream(dir / "text.jpg") << "hello";
  EXPECT_FALSE(dib.ReadFromFile(Path("cut.png").c_str()));
  EXPECT_FALSE(dib.ReadFromFile(Path("cut.jpg").c_str()));
  EXPECT_FALSE(dib.ReadFromFile(Path("text.jpg").c_str()));
  EXPECT_FALSE(dib.ReadFromFile(Path("missing.jpg").c_str()));
  EXPECT_EQ(dib.Width(), 5);
  // So are pixels outside the bitmap and sizes it cannot have.
  int r, g, b;
  EXPECT_FALSE(dib.SetPixel(5, 0, 1, 1, 1));
  EXPECT_FALSE(dib.GetPixel(0, -1, r, g, b));
  EXPECT_FALSE(CRhinoDib(0, 5, 24).BitmapInfoHeader());
  EXPECT_FALSE(CRhinoDib(5, 5, 16).BitmapInfoHeader());
}

TEST_F(BitmapTest, FindFileLooksInTheDocumentFolderAndTheSearchFolders) {
  std::ofstream(dir / "tex.png") << "x";
  ON_wString found;
  EXPECT_TRUE(CRhinoFileUtilities::FindFile(Path("tex.png").c_str(), found));
  EXPECT_EQ(found, Path("tex.png"));
  EXPECT_FALSE(CRhinoFileUtilities::FindFile(L"C:\\textures\\tex.png", found));
  CRhinoFileUtilities::AddSearchFolder(zem::FromUtf8(dir.string()).c_str());
  EXPECT_TRUE(CRhinoFileUtilities::FindFile(L"C:\\textures\\tex.png", found)) << "by its name in a search folder";
  CRhinoFileUtilities::ClearSearchFolders();
  RhinoApp().OpenDocument(Path("model.json").c_str(), [](CRhinoDoc&) { return true; });
  EXPECT_TRUE(CRhinoFileUtilities::FindFile(L"tex.png", found)) << "in the document's folder";
  RhinoApp().CloseDocument();
  EXPECT_FALSE(CRhinoFileUtilities::FindFile(L"", found));
}

}  // namespace
