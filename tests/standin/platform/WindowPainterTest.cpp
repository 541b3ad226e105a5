#include "standin/platform/WindowPainter.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "standin/platform/CWnd.h"
#include "standin/platform/Controls.h"
#include "standin/platform/Fonts.h"
#include "standin/platform/Resources.h"
#include "standin/platform/TextEncoding.h"
#include "tests/support/TestFolder.h"

namespace {

namespace fs = std::filesystem;

constexpr UINT kTestTemplate = 9001;

struct Image {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  int At(int x, int y, int channel) const { return rgb[(static_cast<std::size_t>(y) * width + x) * 3 + channel]; }
  int Luma(int x, int y) const { return (At(x, y, 0) + At(x, y, 1) + At(x, y, 2)) / 3; }
};

Image ReadPng(const fs::path& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Image out;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
  image.format = PNG_FORMAT_RGB;
  out.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr)) return Image{};
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  return out;
}

// The test dialog: a checked check box in the dialog font.
class TestDialog : public CDialog {
 public:
  BOOL OnInitDialog() override {
    zip = CreateWindowExW(0, L"Button", L"Send ZIP file", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 70, 120, 21,
                          m_hWnd, reinterpret_cast<HMENU>(std::uintptr_t{103}), nullptr, nullptr);
    ::SendMessageW(zip, WM_SETFONT, ::SendMessageW(m_hWnd, WM_GETFONT, 0, 0), FALSE);
    ::SendMessageW(zip, BM_SETCHECK, BST_CHECKED, 0);
    return TRUE;
  }
  HWND zip{};
};

class PainterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    zem::DialogTemplate t;
    t.cx = 120;
    t.cy = 90;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    zem::RegisterDialogTemplate(AfxGetStaticModuleState()->m_hCurrentInstanceHandle, kTestTemplate, t);
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    ASSERT_TRUE(m_dialog.Create(kTestTemplate)) << zem::ToUtf8(zem::FontError());
    m_dialog.ShowWindow(SW_SHOW);
  }
  Image Render(const std::string& name) {
    // One folder per test: tests run in parallel processes.
    const fs::path folder =
        zem::testing::ArtifactFolder("platform") / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(folder);
    const fs::path path = folder / name;
    std::wstring error;
    EXPECT_TRUE(zem::RenderWindowToPng(m_dialog.m_hWnd, path.string(), &error));
    return ReadPng(path);
  }
  // Pixels that differ between two pictures: what the change drew.
  struct Ink {
    RECT box{1 << 20, 1 << 20, -1, -1};
    int count = 0;
  };
  static Ink Difference(const Image& with, const Image& without) {
    Ink ink;
    for (int y = 0; y < with.height; ++y)
      for (int x = 0; x < with.width; ++x) {
        if (with.Luma(x, y) == without.Luma(x, y)) continue;
        ++ink.count;
        ink.box = RECT{std::min<LONG>(ink.box.left, x), std::min<LONG>(ink.box.top, y),
                       std::max<LONG>(ink.box.right, x + 1), std::max<LONG>(ink.box.bottom, y + 1)};
      }
    return ink;
  }
  TestDialog m_dialog;
};

TEST_F(PainterTest, TextExtentMatchesTheDrawnInkWidth) {
  const Image full = Render("test-dialog.png");
  SetWindowTextW(m_dialog.zip, L"");
  const Ink ink = Difference(full, Render("test-dialog-without-zip-text.png"));
  HDC dc = GetDC(m_dialog.zip);
  SIZE extent;
  ASSERT_TRUE(GetTextExtentPoint32W(dc, L"Send ZIP file", 13, &extent));
  ReleaseDC(m_dialog.zip, dc);
  EXPECT_NEAR(ink.box.right - ink.box.left, extent.cx, 3);
  EXPECT_LE(ink.box.bottom - ink.box.top, extent.cy);
}

}  // namespace
