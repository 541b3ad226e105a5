// Every #include "folder/..." of the product code against the layer order of
// docs/ARCHITECTURE.md: the folders of its layer table, bottom to top, and the
// exceptions listed under it ("- `a/` may include `b/`", "- `a/` may not
// include `b/` ..."). A file may include its own folder and the folders
// below it, nothing else.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Layers {
  std::vector<std::string> order;                         // "standin/platform/", "standin/host/", ...
  std::set<std::pair<std::string, std::string>> allowed;  // extra (from, to)
  std::set<std::pair<std::string, std::string>> refused;  // (from, to) below but not allowed
};

std::vector<std::string> Quoted(const std::string& line) {
  std::vector<std::string> folders;
  static const std::regex folder("`([a-z]+/(?:[a-z]+/)?)`");
  for (std::sregex_iterator it(line.begin(), line.end(), folder), end; it != end; ++it) folders.push_back((*it)[1]);
  return folders;
}

Layers ReadLayers(const fs::path& architecture) {
  Layers layers;
  std::ifstream in(architecture);
  std::string line;
  static const std::regex row(R"(^\| `([a-z]+/(?:[a-z]+/)?)` \|)");
  while (std::getline(in, line)) {
    std::smatch m;
    if (std::regex_search(line, m, row)) layers.order.push_back(m[1]);
    const auto folders = Quoted(line);
    if (line.rfind("- `", 0) != 0 || folders.size() < 2) continue;
    const bool refuses = line.find("` may not include") != std::string::npos;
    if (!refuses && line.find("` may include") == std::string::npos) continue;
    for (std::size_t i = 1; i < folders.size(); ++i)
      (refuses ? layers.refused : layers.allowed).insert({folders[0], folders[i]});
  }
  return layers;
}

// The deepest layer folder that holds the path, or "" for none.
std::string LayerOf(const Layers& layers, const std::string& path) {
  std::string best;
  for (const auto& folder : layers.order)
    if (path.rfind(folder, 0) == 0 && folder.size() > best.size()) best = folder;
  return best;
}

// "file: includes target" for every include the layer order does not allow.
std::vector<std::string> Violations(const fs::path& root, const Layers& layers) {
  std::vector<std::string> found;
  auto rank = [&](const std::string& folder) {
    return std::find(layers.order.begin(), layers.order.end(), folder) - layers.order.begin();
  };
  static const std::regex include(R"(^\s*#\s*include\s*"([a-z]+/[^"]*)\")");
  for (const auto& folder : layers.order) {
    if (!fs::exists(root / folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
      const std::string name = fs::relative(entry.path(), root).generic_string();
      const auto ext = entry.path().extension();
      if (LayerOf(layers, name) != folder || (ext != ".h" && ext != ".cpp")) continue;
      std::ifstream in(entry.path());
      std::string line;
      while (std::getline(in, line)) {
        std::smatch m;
        if (!std::regex_search(line, m, include)) continue;
        const std::string target = LayerOf(layers, m[1]);
        if (target.empty() || target == folder) continue;
        const bool ok = layers.allowed.count({folder, target}) ||
                        (rank(target) < rank(folder) && !layers.refused.count({folder, target}));
        if (!ok) found.push_back(name + ": includes " + std::string(m[1]));
      }
    }
  }
  return found;
}

const fs::path kRoot = ZEM_SOURCE_DIR;

TEST(Layers, EveryIncludeFollowsTheLayerOrderOfTheArchitecture) {
  const Layers layers = ReadLayers(kRoot / "docs" / "ARCHITECTURE.md");
  ASSERT_GE(layers.order.size(), 8u) << "the layer table was not found";
  std::ostringstream report;
  for (const auto& violation : Violations(kRoot, layers)) report << violation << "\n";
  EXPECT_EQ(report.str(), "");
}

// The checker itself, on a small tree: an include upwards, a refused one
// sideways and an allowed exception.
TEST(Layers, TheCheckFindsUpwardAndRefusedIncludes) {
  const fs::path root = fs::temp_directory_path() / ("zem-layers-" + std::to_string(::getpid()));
  fs::create_directories(root / "docs");
  for (const char* folder : {"low", "mid", "top"}) fs::create_directories(root / folder);
  std::ofstream(root / "docs" / "ARCHITECTURE.md") << "| `low/` | a |\n| `mid/` | b |\n| `top/` | c |\n"
                                                      "- `top/` may not include `low/`\n- `low/` may include `mid/`\n";
  std::ofstream(root / "mid" / "M.h") << "#include \"top/T.h\"\n#include \"low/L.h\"\n";
  std::ofstream(root / "top" / "T.cpp") << "#include \"low/L.h\"\n#include \"mid/M.h\"\n";
  std::ofstream(root / "low" / "L.h") << "#include \"mid/M.h\"\n";
  const auto found = Violations(root, ReadLayers(root / "docs" / "ARCHITECTURE.md"));
  fs::remove_all(root);
  EXPECT_EQ(found, (std::vector<std::string>{"mid/M.h: includes top/T.h", "top/T.cpp: includes low/L.h"}));
}

}  // namespace
