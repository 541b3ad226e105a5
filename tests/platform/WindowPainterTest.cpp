#include "platform/WindowPainter.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/CWnd.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/Resources.h"
#include "platform/SystemMenu.h"
#include "platform/TextEncoding.h"

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

fs::path Artifacts() {
  const char* folder = std::getenv("ZEM_TEST_ARTIFACTS");
  const fs::path path = (folder ? fs::path(folder) : fs::current_path() / "test-artifacts") / "platform";
  fs::create_directories(path);
  return path;
}

// The test dialog: statics, an edit with ES_RIGHT, a drop-down list, a
// checked and a disabled check box, a default button.
class TestDialog : public CDialog {
 public:
  BOOL OnInitDialog() override {
    SetWindowTextW(L"Export to WebGL");
    label = Add(L"Static", L"Title", SS_CENTERIMAGE, 0, 10, 10, 60, 21);
    edit = Add(L"Edit", L"42.5", ES_RIGHT | ES_AUTOHSCROLL, 101, 80, 10, 120, 21);
    SetWindowLongW(edit, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
    list = Add(L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 102, 80, 40, 120, 21);
    for (const wchar_t* item : {L"Self", L"New window"}) ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    ::SendMessageW(list, CB_SETCURSEL, 1, 0);
    zip = Add(L"Button", L"Send ZIP file", BS_AUTOCHECKBOX, 103, 10, 70, 120, 21);
    ::SendMessageW(zip, BM_SETCHECK, BST_CHECKED, 0);
    greyed = Add(L"Button", L"Send by e-mail", BS_AUTOCHECKBOX, 104, 10, 95, 120, 21);
    ::EnableWindow(greyed, FALSE);
    ok = Add(L"Button", L"Export", BS_DEFPUSHBUTTON, IDOK, 120, 125, 75, 23);
    return TRUE;
  }
  HWND Add(const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y, int w, int h) {
    HWND control = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, m_hWnd,
                                   reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(id)), nullptr, nullptr);
    ::SendMessageW(control, WM_SETFONT, ::SendMessageW(m_hWnd, WM_GETFONT, 0, 0), FALSE);
    return control;
  }
  HWND label{}, edit{}, list{}, zip{}, greyed{}, ok{};
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
    const fs::path folder = Artifacts() / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(folder);
    const fs::path path = folder / name;
    std::wstring error;
    EXPECT_TRUE(zem::RenderWindowToPng(m_dialog.m_hWnd, path.string(), &error));
    return ReadPng(path);
  }
  // The control's rectangle in the picture.
  static RECT InPicture(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    const int dx = zem::kFrameWidth, dy = zem::kFrameWidth + zem::kCaptionHeight;
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
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
  static bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
  }
  TestDialog m_dialog;
};

TEST_F(PainterTest, EveryControlsTextInkLiesInsideItsRectangle) {
  const Image full = Render("test-dialog.png");
  ASSERT_GT(full.width, 0);
  RECT client;
  GetClientRect(m_dialog.m_hWnd, &client);
  EXPECT_EQ(full.width, client.right + 2 * zem::kFrameWidth);
  for (HWND control : {m_dialog.label, m_dialog.edit, m_dialog.zip, m_dialog.greyed, m_dialog.ok}) {
    const std::wstring text = zem::WindowText(control);
    SetWindowTextW(control, L"");
    const Ink ink = Difference(full, Render("test-dialog-without-text.png"));
    SetWindowTextW(control, text.c_str());
    ASSERT_GT(ink.count, 10) << "the text of control " << GetDlgCtrlID(control) << " is drawn";
    EXPECT_TRUE(Inside(ink.box, InPicture(control))) << "control " << GetDlgCtrlID(control);
  }
  ::SendMessageW(m_dialog.list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  const Ink selection = Difference(full, Render("test-dialog-without-selection.png"));
  EXPECT_GT(selection.count, 10);
  EXPECT_TRUE(Inside(selection.box, InPicture(m_dialog.list)));
}

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
