#include "importers/TextureFile.h"

#include "standin/platform/TextEncoding.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace zem {

namespace {

namespace fs = std::filesystem;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The file in `folder` whose name matches `name` but for case, if any.
fs::path FindIgnoringCase(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  const fs::path exact = folder / name;
  if (fs::is_regular_file(exact, ec)) return exact;
  const std::string wanted = Lower(name);
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (Lower(it->path().filename().string()) == wanted && it->is_regular_file(ec)) return it->path();
  }
  return fs::path();
}

}  // namespace

std::wstring FindTextureFile(const fs::path& model, const std::string& name, int materialIndex, ModelReport& report) {
  std::string relative = name;
  std::replace(relative.begin(), relative.end(), '\\', '/');
  fs::path candidate(relative);
  // "D:/x/y.jpg" is relative to a POSIX path; it is not a place here either.
  const bool drive = relative.size() > 1 && relative[1] == ':';
  if (candidate.is_relative() && !drive) candidate = model.parent_path() / candidate;
  std::error_code ec;
  if (!drive && fs::is_regular_file(candidate, ec)) return FromUtf8(candidate.lexically_normal().string());
  const std::string fileName = fs::path(relative).filename().string();
  const fs::path home = model.parent_path().empty() ? fs::path(".") : model.parent_path();
  const std::string what = "material " + std::to_string(materialIndex) + ": texture file " + name;
  if (!fileName.empty()) {
    for (const fs::path& folder : {home, home / "textures", home / "maps"}) {
      const fs::path found = FindIgnoringCase(folder, fileName);
      if (found.empty()) continue;
      report.notes.push_back(FromUtf8(what + " not found there; using " + found.lexically_normal().string()));
      return FromUtf8(found.lexically_normal().string());
    }
  }
  report.notes.push_back(FromUtf8(what + " not found (looked for " + fileName + " in " + home.string() +
                                  " and its textures and maps folders)"));
  return FromUtf8(name);
}

}  // namespace zem
