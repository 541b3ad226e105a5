// page-fixture: writes one page through the page writer, with data
// functions taken from a file, for the real-browser tests.
//
//   page-fixture --out PAGE.html --data FUNCTIONS.js
//                [--texture IMAGE.jpg|IMAGE.png]... [--preview PICTURE.jpg]
//                [--dot X,Y,Z,R,G,B,TEXT]... [--title TEXT] [--author TEXT]
//                [--notes TEXT]
//
// Texture images take the slots in the order given (element ids tex1,
// tex2, ...). Exits 0 when the page was written completely.
#include <array>
#include <optional>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "page/ZEM_WebGLExport.h"
#include "platform/TextEncoding.h"

namespace {

class FixtureExport : public ZEM_WebGLExport {
 public:
  bool HasTexture(int) override { return false; }
};

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool ReadFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// "X,Y,Z,R,G,B,TEXT"; the text may itself hold commas.
bool ParseDot(const std::string& field, std::array<double, 3>& point, int rgb[3], std::string& text) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (fields.size() < 6) {
    std::size_t comma = field.find(',', start);
    if (comma == std::string::npos) return false;
    fields.push_back(field.substr(start, comma - start));
    start = comma + 1;
  }
  text = field.substr(start);
  try {
    for (int i = 0; i < 3; ++i) point[i] = std::stod(fields[i]);
    for (int i = 0; i < 3; ++i) rgb[i] = std::stoi(fields[3 + i]);
  } catch (...) {
    return false;
  }
  return true;
}

int Usage(const char* message) {
  std::fprintf(stderr, "page-fixture: %s\n", message);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  FixtureExport page;
  std::string out, data;
  bool haveData = false;
  struct Dot {
    std::array<double, 3> point;
    int rgb[3];
    std::string text;
  };
  std::vector<Dot> dots;

  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (i + 1 >= argc) return Usage("option without value");
    const std::string value = argv[++i];
    if (option == "--out") {
      out = value;
    } else if (option == "--data") {
      if (!ReadFile(value, data)) return Usage("data file not readable");
      haveData = true;
    } else if (option == "--texture") {
      std::optional<std::string> image;
      if (!ZEM_WebGLExport::EncodeFileBase64(zem::FromUtf8(value), image))
        return Usage("texture not readable");
      if (page.AddImage(std::move(*image), !EndsWith(value, ".png")) < 0) return Usage("too many textures");
    } else if (option == "--preview") {
      if (!ZEM_WebGLExport::EncodeFileBase64(zem::FromUtf8(value), page.m_previewImage))
        return Usage("preview not readable");
    } else if (option == "--dot") {
      Dot dot;
      if (!ParseDot(value, dot.point, dot.rgb, dot.text)) return Usage("bad --dot");
      dots.push_back(dot);
    } else if (option == "--title") {
      page.title = zem::FromUtf8(value);
    } else if (option == "--author") {
      page.author = zem::FromUtf8(value);
    } else if (option == "--notes") {
      page.notes = zem::FromUtf8(value);
    } else {
      return Usage("unknown option");
    }
  }
  if (out.empty() || !haveData) return Usage("--out and --data are required");

  page.createdUsing = L"page-fixture";
  if (!page.OpenPage(zem::FromUtf8(out))) return Usage("page not writable");
  for (const Dot& dot : dots) page.AddDot(dot.point, zem::FromUtf8(dot.text), dot.rgb[0], dot.rgb[1], dot.rgb[2]);
  page.WriteRawNarrow(data);
  page.WriteBody();
  return page.ClosePage() ? 0 : 1;
}
