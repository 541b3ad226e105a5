#include "standin/host/CRhinoDib.h"

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoFileUtilities.h"
#include "standin/platform/TextEncoding.h"

#include <gtest/gtest.h>

#include "tests/support/TempFolderTest.h"

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class BitmapTest : public zem::testing::TempFolderTest {
 protected:
  std::wstring Path(const char* name) const { return zem::FromUtf8((folder / name).string()); }
};

TEST_F(BitmapTest, BrokenFilesAndPixelsOutsideAreRefusedAndTheBitmapKept) {
  CRhinoDib dib(5, 5, 24);
  std::ofstream(folder / "cut.png", std::ios::binary) << std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  std::ofstream(folder / "cut.jpg", std::ios::binary) << std::string("\xFF\xD8\xFF\xE0\0\x10JFIF", 10);
  std::ofstream(folder / "text.jpg") << "hello";
  for (const char* name : {"cut.png", "cut.jpg", "text.jpg", "missing.jpg"})
    EXPECT_FALSE(dib.ReadFromFile(Path(name).c_str())) << name;
  EXPECT_EQ(dib.Width(), 5);
  // So are pixels outside the bitmap and sizes it cannot have.
  int r, g, b;
  EXPECT_FALSE(dib.SetPixel(5, 0, 1, 1, 1));
  EXPECT_FALSE(dib.GetPixel(0, -1, r, g, b));
  EXPECT_FALSE(CRhinoDib(0, 5, 24).BitmapInfoHeader());
  EXPECT_FALSE(CRhinoDib(5, 5, 16).BitmapInfoHeader());
}

TEST_F(BitmapTest, FindFileLooksInTheDocumentFolder) {
  std::ofstream(folder / "tex.png") << "x";
  ON_wString found;
  EXPECT_TRUE(CRhinoFileUtilities::FindFile(Path("tex.png").c_str(), found));
  EXPECT_EQ(found, Path("tex.png"));
  EXPECT_FALSE(CRhinoFileUtilities::FindFile(L"C:\\textures\\tex.png", found));
  RhinoApp().OpenDocument(Path("model.json").c_str(), [](CRhinoDoc&) { return true; });
  EXPECT_TRUE(CRhinoFileUtilities::FindFile(L"tex.png", found)) << "in the document's folder";
  RhinoApp().CloseDocument();
  EXPECT_FALSE(CRhinoFileUtilities::FindFile(L"", found));
}

}  // namespace
