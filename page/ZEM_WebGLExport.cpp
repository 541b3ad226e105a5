#include "page/ZEM_WebGLExport.h"

#include <cstdio>

#include "page/Base64.h"
#include "page/EmbeddedAssets.h"
#include "page/HtmlText.h"
#include "page/NumberFormat.h"
#include "page/PageDate.h"
#include "page/PageLinks.h"
#include "page/PageStream.h"
#include "page/TemplateText.h"
#include "page/ViewerTexts.h"

using zem::EscapeHtml;

namespace {

std::string Base64Of(zem::assets::Blob blob) { return zem::Base64Encode(blob.data, blob.size); }

// The mouse lines as the pages have always had them, then pan, the
// starting view, touch and keys.
constexpr std::wstring_view kUsageText =
    L"<h3>Usage:</h3><ul><li>Hold left mouse button to rotate.</li><li>Use mouse wheel or middle button to zoom "
    L"in/out.</li><li>Click to start/reverse turn table.<li>Shift and drag to pan, double-click to start over.</li>"
    L"<li>Touch: drag to rotate, pinch to zoom, two fingers to pan, tap as a click.</li><li>Keys: arrows rotate "
    L"(Shift: pan), + and - zoom, space as a click, Home to start over.</li></ul>";

constexpr std::wstring_view kCornerClosing = L"\" onmousedown=\"OnHelp(event)\"></div>\n";

}  // namespace

ZEM_WebGLExport::ZEM_WebGLExport() { ResetBox(); }

ZEM_WebGLExport::~ZEM_WebGLExport() {
  if (IsOpen()) {
    WriteBody();
    ClosePage();
  }
}

void ZEM_WebGLExport::ResetBox() {
  for (int a = 0; a < 3; ++a) {
    m_boxMin[a] = kLargestFloat;
    m_boxMax[a] = -kLargestFloat;
  }
}

bool ZEM_WebGLExport::IsOpen() const { return m_file && m_file->IsOpen(); }

bool ZEM_WebGLExport::WriteFailed() const { return m_writeFailed || (m_file && m_file->Failed()); }

bool ZEM_WebGLExport::OpenPage(const std::wstring& path) {
  if (IsOpen()) ClosePage();
  auto stream = std::make_unique<zem::PageStream>();
  if (!stream->Open(path)) return false;
  m_file = std::move(stream);
  m_writeFailed = false;
  m_meshDecoderWritten = false;
  ResetBox();
  m_dots.clear();
  WritePrologue();
  return true;
}

bool ZEM_WebGLExport::ClosePage() {
  if (!m_file) return !m_writeFailed;
  if (!m_file->Close()) m_writeFailed = true;
  m_file.reset();
  return !m_writeFailed;
}

void ZEM_WebGLExport::AddDot(const std::array<double, 3>& point, const std::wstring& text, int red, int green,
                             int blue) {
  m_dots.push_back(TextDot{point, text, red, green, blue});
}

int ZEM_WebGLExport::AddImage(std::string base64, bool jpeg) {
  if (ImageCount() >= kMaxImages) return -1;
  m_images.push_back(PageImage{std::move(base64), jpeg});
  return ImageCount() - 1;
}

// --- Output primitives ---------------------------------------------------

bool ZEM_WebGLExport::WriteFormatted(std::wstring_view format, std::initializer_list<zem::TextArg> args) {
  if (!IsOpen()) return false;
  m_file->Put(zem::FormatText(format, args));
  return true;
}

bool ZEM_WebGLExport::FormatNumbers(std::string_view format, std::initializer_list<double> values) {
  if (!IsOpen()) return false;
  // The line buffer collects the piece; it is handed on whenever it might
  // not hold one more number, so no piece is ever cut.
  constexpr std::size_t kFlushAt = sizeof(m_lineBuffer) - zem::kMaxNumberChars - 1;
  std::size_t used = 0;
  const double* next = values.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (used >= kFlushAt) {
      m_file->PutNarrow(std::string_view(m_lineBuffer, used));
      used = 0;
    }
    char c = format[i];
    if (c == '%' && i + 1 < format.size()) {
      char directive = format[++i];
      if (directive == '%') {
        m_lineBuffer[used++] = '%';
        continue;
      }
      if (next == values.end()) continue;
      double value = *next++;
      char* end = directive == 'd' ? zem::FormatInteger(m_lineBuffer + used, static_cast<long long>(value))
                                   : zem::FormatNumberG(m_lineBuffer + used, value);
      used = static_cast<std::size_t>(end - m_lineBuffer);
      continue;
    }
    m_lineBuffer[used++] = c;
  }
  m_file->PutNarrow(std::string_view(m_lineBuffer, used));
  return true;
}

bool ZEM_WebGLExport::WriteRaw(std::wstring_view text) {
  if (!IsOpen()) return false;
  m_file->Put(text);
  return true;
}

bool ZEM_WebGLExport::WriteRawNarrow(std::string_view text) {
  if (!IsOpen()) return false;
  m_file->PutNarrow(text);
  return true;
}

bool ZEM_WebGLExport::WriteTemplate(std::string_view text) {
  if (!IsOpen()) return false;
  m_file->PutNarrow(zem::JoinTemplateLines(text));
  return true;
}

bool ZEM_WebGLExport::WriteBoxLine() {
  return FormatNumbers("bbmin.x=%g;bbmin.y=%g;bbmin.z=%g;bbmax.x=%g;bbmax.y=%g;bbmax.z=%g;}\n",
                       {m_boxMin[0], m_boxMin[1], m_boxMin[2], m_boxMax[0], m_boxMax[1], m_boxMax[2]});
}

void ZEM_WebGLExport::ExtendBounds(const float point[3]) {
  for (int a = 0; a < 3; ++a) {
    if (point[a] <= m_boxMin[a]) m_boxMin[a] = point[a];
    if (point[a] >= m_boxMax[a]) m_boxMax[a] = point[a];
  }
}

void ZEM_WebGLExport::ExtendBounds(const float min[3], const float max[3]) {
  for (int a = 0; a < 3; ++a) {
    if (min[a] <= m_boxMin[a]) m_boxMin[a] = min[a];
    if (max[a] >= m_boxMax[a]) m_boxMax[a] = max[a];
  }
}

void ZEM_WebGLExport::WriteMeshDecoderOnce() {
  if (m_meshDecoderWritten || !IsOpen()) return;
  WriteTemplate(zem::viewer::MeshDecoder());
  // meshoptimizer's decoder as its package ships it, under its licence. Its
  // WebAssembly is compiled on the spot (zemSyncWasm), so that initVB has
  // its buffers when it returns; a browser that cannot run it leaves
  // MeshoptDecoder without a decoder and zemMesh reports that.
  WriteRawNarrow("/* meshoptimizer ");
  WriteRawNarrow(zem::viewer::MeshoptVersion());
  WriteRawNarrow(" decoder (meshopt_decoder.js of its npm package)\n");
  WriteRawNarrow(zem::viewer::MeshoptLicence());
  WriteRawNarrow("*/\ntry{zemSyncWasm(1);\n");
  WriteRawNarrow(zem::viewer::MeshoptDecoder());
  WriteRawNarrow("}catch(e){MeshoptDecoder=null;}finally{zemSyncWasm(0);}\n");
  m_meshDecoderWritten = true;
}

std::wstring ZEM_WebGLExport::ColourToHex(int red, int green, int blue) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring hex = L"#";
  for (int value : {red, green, blue}) {
    value = value < 0 ? 0 : value > 255 ? 255 : value;
    hex += kDigits[value / 16];
    hex += kDigits[value % 16];
  }
  return hex;
}

// --- The page ------------------------------------------------------------

void ZEM_WebGLExport::WritePrologue() {
  const std::wstring safeTitle = EscapeHtml(m_texts.title);
  WriteFormatted(L"<!--\n     WebGL Model: %s\n     Author: %s\n     Date: %s\n     Created using %s\n",
                 {safeTitle, EscapeHtml(m_texts.author), zem::PageDateText(), EscapeHtml(m_texts.createdUsing)});
  WriteFormatted(L"\n     %s\n-->\n", {zem::kMakerAddress});
  WriteFormatted(
      L"<!DOCTYPE html><html>\n<head><meta charset=\"iso-8859-1\"/><meta name=\"viewport\" "
      L"content=\"width=device-width, initial-scale=1\"/><meta http-equiv=\"X-UA-Compatible\" "
      L"content=\"IE=edge\"/><meta http-equiv=\"X-UA-Compatible\" content=\"chrome=1\"/><title>%s</title>\n",
      {safeTitle});

  WriteRaw(L"<link rel=\"shortcut icon\" href=\"data:image/x-icon;base64,");
  WriteRawNarrow(Base64Of(zem::assets::Icon()));
  WriteRaw(L"\" type=\"image/ico\" /></head>");

  for (int i = 0; i < ImageCount(); ++i) {
    WriteFormatted(m_images[i].jpeg ? L"<img id=\"tex%d\" style=\"display: none;\" src=\"data:image/jpeg;base64,"
                                    : L"<img id=\"tex%d\" style=\"display: none;\" src=\"data:image/png;base64,",
                   {i + 1});
    WriteRawNarrow(m_images[i].base64);
    WriteRaw(L"\"></img>\n");
  }
  WriteCubeFaces();

  WriteRaw(L"<style type=\"text/css\">");
  WriteTemplate(zem::viewer::StyleSheet());
  WriteRaw(L"</style>\n");
  for (const auto& shader : zem::viewer::Shaders()) {
    WriteRawNarrow(std::string("<script id=\"") + shader.id + "\" type=\"" + shader.type + "\">\n");
    WriteTemplate(shader.text);
    WriteRaw(L"</script>\n");
  }
  WriteRaw(L"<script type=\"text/javascript\">\n");
  WriteTemplate(zem::viewer::VectorClass());
  WriteTemplate(zem::viewer::MatrixClass());
}

void ZEM_WebGLExport::WriteCubeFaces() {
  for (int k = 1; k <= 6; ++k) {
    WriteFormatted(L"<img id=\"cube%d\" style=\"display: none;\" src=\"data:image/jpeg;base64,", {k});
    // With the default cube switched off, custom faces replace the built-in
    // ones; a face without custom text keeps the built-in picture.
    const auto& custom = m_cubeFaces[k - 1];
    if (!m_useDefaultCube && custom)
      WriteRawNarrow(*custom);
    else
      WriteRawNarrow(Base64Of(zem::assets::CubeFace(k)));
    WriteRaw(L"\"></img>\n");
  }
}

bool ZEM_WebGLExport::WriteBody() {
  if (!IsOpen()) return false;
  WriteTemplate(zem::viewer::MainScript());
  WriteRaw(L"</script>\n");
  WriteRaw(L"<body onload=\"initWebGL();\" onresize=\"OnResize();\">");

  WriteRaw(L"<img style=\"width:100%;height:100%;position:fixed;left:0;top:0;\" src=\"data:image/png;base64,");
  WriteRawNarrow(Base64Of(zem::assets::Backdrop()));
  WriteRaw(L"\"/>");
  WriteRaw(
      L"<div style=\"position:absolute;width:100%;height:100%;left:0px;top:0px;background-image:url('data:image/"
      L"png;base64,");
  WriteRawNarrow(Base64Of(zem::assets::Band()));
  WriteRaw(L"');background-size:8px;background-repeat:repeat-x;background-position:center;\">");

  const std::wstring safeTitle = EscapeHtml(m_texts.title);
  WriteFormatted(L"<div id=\"TRL\"></div><div id=\"BX\"></div><div id=\"LTShadow\"><h2>%s</h2>", {safeTitle});
  WriteFormatted(
      L"<hr noshade style=\"position:absolute;left:0;top:47px;height:1px;width:%dpx;color:black;background-color:"
      L"black;border:0px\">",
      {20 * static_cast<long long>(m_texts.title.size())});
  const std::wstring link = zem::SafeLinkTarget(m_texts.authorLink);
  if (link.empty()) {
    WriteFormatted(L"<span style=\"color:black\">Author:</span>&nbsp;%s</div>", {EscapeHtml(m_texts.author)});
  } else {
    WriteFormatted(L"<span style=\"color:black\">Author:</span> <a href=\"%s\">&nbsp;&raquo;%s</a></div>",
                   {EscapeHtml(link), EscapeHtml(m_texts.author)});
  }
  WriteRaw(L"<div id=\"Container\">");

  const std::wstring safeCreatedUsing = EscapeHtml(m_texts.createdUsing);
  if (m_texts.notes.empty()) {
    WriteFormatted(L"<div id=\"HelpText\" onmousedown=\"OnHelp(event)\"><h4>Created using %s.</h4> %s</div>\n",
                   {safeCreatedUsing, kUsageText});
  } else {
    WriteRaw(
        L"<div id=\"HelpText\" onmousedown=\"OnHelp(event)\"><h3>Notes:</h3><pre><font size=\"2\" "
        L"color=\"#ffffff\" face=\"Arial\">");
    WriteRaw(EscapeHtml(m_texts.notes));
    WriteFormatted(L"</pre></font><h4>Created using %s.</h4> %s</div>\n", {safeCreatedUsing, kUsageText});
  }

  if (m_previewImage) {
    WriteRaw(L"<div id=\"GLPreview\" style=\"background-image:url('data:image/jpeg;base64,");
    WriteRawNarrow(*m_previewImage);
    WriteRaw(L"');\"  width=100% height=100%></div>\n");
  }
  WriteRaw(L"<div id=\"ErrorText\"><h2>Please enable JavaScript to view this page correctly !</h2></div>\n");

  WriteRaw(
      L"<div id=\"Icon\"><img id=\"edge\" width=\"32\" height=\"32\" title=\"Click to turn the page.\" "
      L"src=\"data:image/png;base64,");
  WriteRawNarrow(Base64Of(zem::assets::PageCorner()));
  WriteRaw(kCornerClosing);
  WriteRaw(
      L"<div id=\"Edge\"><img id=\"edge1\" width=\"32\" height=\"32\" title=\"Click to turn the page.\" "
      L"src=\"data:image/jpeg;base64,");
  WriteRawNarrow(Base64Of(zem::assets::PageEdge()));
  WriteRaw(kCornerClosing);
  WriteRaw(L"<div id=\"Fold\"><img id=\"fold\" title=\"Click to see notes and help.\" src=\"data:image/png;base64,");
  WriteRawNarrow(Base64Of(zem::assets::Fold()));
  WriteRaw(kCornerClosing);
  // The canvas takes the keyboard focus in tab order and is named by the
  // page's title.
  WriteFormatted(
      L"<div id=\"GLCanvas\"><canvas id=\"WebGLCanvas\" tabindex=\"0\" role=\"img\" aria-label=\"%s\">"
      L"</canvas></div>\n",
      {safeTitle});

  WriteDotLabels();
  WriteRaw(L"</div>\n");

  WriteFormatted(
      L"<div id=\"STShadow\">Created using free <a href=\"%s\">&raquo;ZEM WebGL Export</a> for "
      L"Rhinoceros&nbsp;&reg;.</div>",
      {zem::kProductPage});
  WriteFormatted(L"<div id=\"Logo\"><a href=\"%s\"><img src=\"data:image/png;base64,", {zem::kMakerAddress});
  WriteRawNarrow(Base64Of(zem::assets::Logo()));
  WriteRaw(L"\"/></a></div>");
  WriteRaw(L"</body></html>\n");
  return !WriteFailed();
}

void ZEM_WebGLExport::WriteDotLabels() {
  for (std::size_t n = 0; n < m_dots.size(); ++n) {
    const auto& [point, text, red, green, blue] = m_dots[n];
    // Light labels get dark text.
    const bool light = red + green + blue >= 255;
    WriteFormatted(light ? L"<div id=\"dot%d\" style=\"position:absolute;background-color:%s;color:#000;z-index: "
                           L"3;display:none;border-radius: 10px;-moz-border-radius: 10px;-webkit-border-radius: "
                           L"10px;\">&nbsp;%s&nbsp;</div>\n"
                         : L"<div id=\"dot%d\" style=\"position:absolute;background-color:%s;color:#fff;z-index: "
                           L"3;display:none;border-radius: 10px;-moz-border-radius: 10px;-webkit-border-radius: "
                           L"10px;\">&nbsp;%s&nbsp;</div>\n",
                   {static_cast<long long>(n + 1), ColourToHex(red, green, blue), EscapeHtml(text)});
  }
}
