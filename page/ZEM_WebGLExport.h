#pragma once
// The page writer: owns the page file and everything the page needs besides
// the scene data, and the output primitives every scene writer writes with.
//
// Use: construct, fill the page texts and image slots, OpenPage, write the
// data functions (initVB, initTextures, initCurves, initDots, initView,
// initBack), WriteBody, ClosePage. Every writer step does nothing and answers
// false while no page is open. A writer destroyed with its page still open
// completes the page with the body first.
//
// Page texts are placed into the page escaped for where they land, so any
// text is safe and none is lost; no text is ever cut.
#include <array>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "page/TextFormat.h"

namespace zem {
class PageStream;
}

class ZEM_WebGLExport {
 public:
  static constexpr int kMaxImages = 1024;
  static constexpr float kLargestFloat = 3.4028235e38f;
  // What the frame (viewer, shaders, pictures) weighs in the export
  // dialog's estimate of the page size, in megabytes: the single-precision
  // value of 0.12. The data's weights are beside their writers (MeshData.h,
  // DataFunctions.h).
  static constexpr float kEstimateFrameMegabytes = 0.12f;

  ZEM_WebGLExport();
  virtual ~ZEM_WebGLExport();
  ZEM_WebGLExport(const ZEM_WebGLExport&) = delete;
  ZEM_WebGLExport& operator=(const ZEM_WebGLExport&) = delete;

  // Whether the material with this export number is drawn with a texture.
  virtual bool HasTexture(int materialNumber) = 0;

  // Creates the page file, resets the box and the dot lists, and writes
  // everything up to the data functions. False when the file cannot be
  // created (nothing is written then).
  bool OpenPage(const std::wstring& path);
  // Appends one text dot; its label is written by WriteBody.
  void AddDot(const std::array<double, 3>& point, const std::wstring& text, int red, int green, int blue);
  // Appends one texture image (base64 of a JPEG, else a PNG) and answers its
  // slot (element tex<slot + 1>), or -1 once all kMaxImages slots are taken.
  // Images are written by OpenPage, so they are added before it.
  int AddImage(std::string base64, bool jpeg);
  // Writes the viewer script and the page body.
  bool WriteBody();
  // Closes the page file. True when every write to it succeeded.
  bool ClosePage();

  bool IsOpen() const;
  // True once a write to the current or last page failed (full disk,
  // removed folder); such a page must not be presented as written.
  bool WriteFailed() const;

  // --- Output primitives -------------------------------------------------
  // A formatted piece (%s text, %d integer, %g number, %%), never cut.
  bool WriteFormatted(std::wstring_view format, std::initializer_list<zem::TextArg> args);
  // Numbers into the page: %g writes a value as printf's "%g", %d as an
  // integer, %% a percent sign; other characters are copied. The hot path
  // of mesh and curve data.
  bool FormatNumbers(std::string_view format, std::initializer_list<double> values);
  // Text written as it is (each character one ISO-8859-1 byte).
  bool WriteRaw(std::wstring_view text);
  // Bytes written as they are (base64 texts of pictures).
  bool WriteRawNarrow(std::string_view text);
  // A multi-line template text written as one line and a line feed.
  bool WriteTemplate(std::string_view text);
  // Widens the running box by one point.
  void ExtendBounds(const float point[3]);
  // Widens the running box by a box found apart (min then max, as the
  // points would have widened it).
  void ExtendBounds(const float min[3], const float max[3]);
  // Writes the compact form's mesh decoder the first time in a page.
  void WriteMeshDecoderOnce();
  // The running box as the viewer's bbmin and bbmax, closing the data
  // function (initVB, initCurves) that filled it.
  bool WriteBoxLine();

  // "#" and two upper-case hexadecimal digits per component; components
  // are clamped to 0..255.
  static std::wstring ColourToHex(int red, int green, int blue);

  // --- The page's data -----------------------------------------------
  // The running box: bbmin and bbmax of the box line.
  const float* BoxMin() const { return m_boxMin; }
  const float* BoxMax() const { return m_boxMax; }

  struct PageImage {
    std::string base64;
    bool jpeg = true;  // else PNG
  };
  struct TextDot {
    std::array<double, 3> point;
    std::wstring text;
    int red, green, blue;
  };
  const std::vector<PageImage>& Images() const { return m_images; }
  int ImageCount() const { return static_cast<int>(m_images.size()); }
  const std::vector<TextDot>& Dots() const { return m_dots; }

  // The page texts, set before OpenPage: the model's title, the author,
  // the author's link target, the notes and the generator notice.
  struct PageTexts {
    std::wstring title;
    std::wstring author;
    std::wstring authorLink;
    std::wstring notes;
    std::wstring createdUsing;
  };
  void SetTexts(PageTexts texts) { m_texts = std::move(texts); }
  const PageTexts& Texts() const { return m_texts; }

  // The preview picture (base64 JPEG), shown where WebGL is missing; none
  // when empty. Set before WriteBody.
  void SetPreviewImage(std::optional<std::string> base64) { m_previewImage = std::move(base64); }
  const std::optional<std::string>& PreviewImage() const { return m_previewImage; }

  // Custom environment faces (base64 JPEG, +X, -X, +Y, -Y, +Z, -Z) in place
  // of the built-in cube; a face without text keeps the built-in picture.
  // Set before OpenPage.
  void SetCubeFaces(std::array<std::optional<std::string>, 6> faces) {
    m_cubeFaces = std::move(faces);
    m_useDefaultCube = false;
  }

 private:
  float m_boxMin[3];
  float m_boxMax[3];
  PageTexts m_texts;
  std::optional<std::string> m_previewImage;
  std::array<std::optional<std::string>, 6> m_cubeFaces;
  bool m_useDefaultCube = true;
  std::vector<PageImage> m_images;
  std::vector<TextDot> m_dots;

  void WritePrologue();
  void WriteCubeFaces();
  void WriteDotLabels();
  void ResetBox();

  std::unique_ptr<zem::PageStream> m_file;
  bool m_writeFailed = false;
  bool m_meshDecoderWritten = false;
  char m_lineBuffer[2048];
};
