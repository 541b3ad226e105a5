// page-fixture: writes one page through the page writer, with data
// functions taken from a file, for the real-browser tests.
//
//   page-fixture --out PAGE.html --data FUNCTIONS.js
//                [--texture IMAGE.jpg|IMAGE.png]... [--preview PICTURE.jpg]
//                [--dot X,Y,Z,R,G,B,TEXT]... [--title TEXT] [--notes TEXT]
//
// Texture images take the slots in the order given (element ids tex1,
// tex2, ...). Exits 0 when the page was written completely.
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "page/ZEM_WebGLExport.h"
#include "platform/TextEncoding.h"

namespace {

class FixtureExport : public ZEM_WebGLExport {
 public:
  bool HasTexture(int) override { return false; }
};

// "X,Y,Z,R,G,B,TEXT"; the text may itself hold commas.
bool AddDot(FixtureExport& page, const std::string& field) {
  std::istringstream in(field);
  std::array<double, 3> point{};
  int rgb[3] = {};
  char comma[6] = {};
  in >> point[0] >> comma[0] >> point[1] >> comma[1] >> point[2] >> comma[2] >> rgb[0] >> comma[3] >> rgb[1] >>
      comma[4] >> rgb[2] >> comma[5];
  if (!in || std::string(comma, 6) != ",,,,,,") return false;
  const std::string text(std::istreambuf_iterator<char>(in), {});
  page.AddDot(point, zem::FromUtf8(text), rgb[0], rgb[1], rgb[2]);
  return true;
}

int Usage(const char* message) {
  std::fprintf(stderr, "page-fixture: %s\n", message);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  FixtureExport page;
  std::string out, data, dots;
  std::optional<std::string> image;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i], value = argv[i + 1];
    if (option == "--out") {
      out = value;
    } else if (option == "--data") {
      std::ifstream in(value, std::ios::binary);
      data.assign(std::istreambuf_iterator<char>(in), {});
      if (!in || data.empty()) return Usage("data file not readable");
    } else if (option == "--texture") {
      if (!ZEM_WebGLExport::EncodeFileBase64(zem::FromUtf8(value), image)) return Usage("texture not readable");
      if (page.AddImage(std::move(*image), !value.ends_with(".png")) < 0) return Usage("too many textures");
    } else if (option == "--preview") {
      if (!ZEM_WebGLExport::EncodeFileBase64(zem::FromUtf8(value), page.m_previewImage))
        return Usage("preview not readable");
    } else if (option == "--dot") {
      dots += value + '\n';
    } else if (option == "--title") {
      page.title = zem::FromUtf8(value);
    } else if (option == "--notes") {
      page.notes = zem::FromUtf8(value);
    } else {
      return Usage("unknown option");
    }
  }
  if (argc % 2 == 0) return Usage("option without value");
  if (out.empty() || data.empty()) return Usage("--out and --data are required");

  page.createdUsing = L"page-fixture";
  if (!page.OpenPage(zem::FromUtf8(out))) return Usage("page not writable");
  std::istringstream lines(dots);
  for (std::string dot; std::getline(lines, dot);)
    if (!AddDot(page, dot)) return Usage("bad --dot");
  page.WriteRawNarrow(data);
  page.WriteBody();
  return page.ClosePage() ? 0 : 1;
}
