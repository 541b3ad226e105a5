#include "importers/Rhino3dmReader.h"

#include "importers/DocumentReader.h"
#include "importers/TextureFile.h"
#include "importers/cad/CadReader.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/ScratchFolder.h"
#include "standin/platform/TextEncoding.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <system_error>

namespace zem {

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

// The script's exit code when node cannot find the rhino3dm module.
constexpr int kModuleMissing = 4;
constexpr std::size_t kMaxNotes = 200;

// Standard base64 (with or without padding, no line breaks); false for
// anything else.
bool DecodeBase64(std::string_view text, std::string& out) {
  out.clear();
  out.reserve(text.size() / 4 * 3);
  unsigned value = 0;
  int bits = 0;
  std::size_t padding = 0;
  for (const char c : text) {
    int v;
    if (c >= 'A' && c <= 'Z') {
      v = c - 'A';
    } else if (c >= 'a' && c <= 'z') {
      v = c - 'a' + 26;
    } else if (c >= '0' && c <= '9') {
      v = c - '0' + 52;
    } else if (c == '+') {
      v = 62;
    } else if (c == '/') {
      v = 63;
    } else if (c == '=') {
      ++padding;
      continue;
    } else {
      return false;
    }
    if (padding) return false;  // data after padding
    value = (value << 6) | static_cast<unsigned>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<char>((value >> bits) & 0xff));
    }
  }
  return padding <= 2;
}

// A picture embedded in the model, written into the import's own folder
// under a name of ours (the model's name for it may hold anything).
std::string WriteEmbedded(ScratchFolder& folder, const std::string& name, const std::string& bytes, int index) {
  std::string ext = fs::path(name).extension().string();
  if (ext.size() > 6 ||
      ext.find_first_not_of(".abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789") != std::string::npos)
    ext = ".bin";
  const fs::path out = folder.Path() / ("embedded-" + std::to_string(index) + ext);
  const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return {};
  std::size_t at = 0;
  while (at < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    at += static_cast<std::size_t>(n);
  }
  const bool ok = ::close(fd) == 0 && at == bytes.size();
  return ok ? out.string() : std::string();
}

std::string Text(const json& j, const char* key) {
  auto it = j.find(key);
  return it != j.end() && it->is_string() ? it->get<std::string>() : std::string();
}

// What a note calls an object of the model.
std::string ObjectLabel(const json& object) {
  const std::string name = Text(object, "name");
  if (!name.empty()) return "the object \"" + name + "\"";
  const std::string id = Text(object, "id");
  return id.empty() ? "an unnamed object" : "the object " + id;
}

// One face's triangles as the document's mesh; null when it has none.
json Mesh(const cad::CadBody& body) {
  json vertices = json::array(), normals = json::array(), faces = json::array();
  std::size_t base = 0;
  for (const cad::CadGroup& group : body.groups) {
    const cad::CadMesh& mesh = group.mesh;
    const std::size_t n = mesh.positions.size() / 3;
    for (std::size_t i = 0; i < n; ++i) {
      vertices.push_back({mesh.positions[3 * i], mesh.positions[3 * i + 1], mesh.positions[3 * i + 2]});
      if (mesh.normals.size() == mesh.positions.size())
        normals.push_back({mesh.normals[3 * i], mesh.normals[3 * i + 1], mesh.normals[3 * i + 2]});
    }
    for (std::size_t t = 0; t + 2 < mesh.triangles.size(); t += 3)
      faces.push_back({base + mesh.triangles[t], base + mesh.triangles[t + 1], base + mesh.triangles[t + 2]});
    base += n;
  }
  if (faces.empty()) return nullptr;
  json out = {{"vertices", std::move(vertices)}, {"faces", std::move(faces)}};
  if (normals.size() == out["vertices"].size()) out["normals"] = std::move(normals);
  return out;
}

// The faces go to the child in a file only this process can reach: created
// exclusively with mode 0600 and unlinked at once; the child opens it
// through this process's descriptor.
bool MeshFaces(const std::string& request, cad::CadScene& scene, std::string& error) {
  const char* tmp = std::getenv("TMPDIR");
  std::string name = std::string(tmp && *tmp ? tmp : "/tmp") + "/zem-faces-XXXXXX";
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) {
    error = std::string("cannot make the faces' file: ") + std::strerror(errno);
    return false;
  }
  ::unlink(name.c_str());
  std::size_t at = 0;
  while (at < request.size()) {
    const ssize_t n = ::write(fd, request.data() + at, request.size() - at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    at += static_cast<std::size_t>(n);
  }
  bool ok = at == request.size();
  if (!ok) error = "cannot write the faces' file";
  cad::CadReadOptions options = cad::CadReadOptionsInUse();
  if (ok && options.program.empty()) {
    // The child is this program started again with the CAD reader's hidden
    // command; another program (a test or a benchmark) would not know it
    // and would run itself instead.
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (self.filename() != "zem-webgl") {
      error = "only zem-webgl meshes them";
      ok = false;
    }
  }
  if (ok) {
    const std::string path = "/proc/" + std::to_string(::getpid()) + "/fd/" + std::to_string(fd);
    ok = cad::MeshTrimmedFaces(path, options, scene, error);
  }
  ::close(fd);
  return ok;
}

class Handoff {
 public:
  Handoff(const fs::path& model, ModelReport& report) : m_model(model), m_report(report) {}

  void Note(const std::string& text) {
    if (m_report.notes.size() < kMaxNotes) m_report.notes.push_back(FromUtf8(text));
  }

  void Textures(json& root) {
    json embedded = json::object();
    if (auto it = root.find("embeddedFiles"); it != root.end()) {
      if (it->is_object()) embedded = std::move(*it);
      root.erase(it);
    }
    auto materials = root.find("materials");
    if (materials == root.end() || !materials->is_array()) return;
    int written = 0;
    for (std::size_t m = 0; m < materials->size(); ++m) {
      json& material = (*materials)[m];
      if (!material.is_object() || !material.contains("textures") || !material["textures"].is_array()) continue;
      for (json& texture : material["textures"]) {
        if (!texture.is_object()) continue;
        const std::string name = Text(texture, "file");
        if (name.empty()) continue;
        std::error_code ec;
        const fs::path stored(name);
        const bool there = stored.is_absolute() && fs::is_regular_file(stored, ec);
        auto picture = embedded.find(name);
        if (!there && picture != embedded.end() && picture->is_string()) {
          std::string bytes;
          if (DecodeBase64(picture->get_ref<const std::string&>(), bytes)) {
            if (!m_folder) m_folder = std::make_unique<ScratchFolder>("zem-3dm-textures-");
            const std::string out =
                m_folder->Path().empty() ? std::string() : WriteEmbedded(*m_folder, name, bytes, written++);
            if (!out.empty()) {
              texture["file"] = out;
              continue;
            }
          }
          Note("material " + std::to_string(m) + ": the picture embedded for " + name + " could not be unpacked");
        }
        texture["file"] = ToUtf8(FindTextureFile(m_model, name, static_cast<int>(m), m_report));
      }
    }
  }

  // Trimmed faces without a render mesh, which the host cannot tessellate
  // itself: the CAD reader's child builds and meshes them in Open CASCADE.
  // Those it cannot are left out with a note; the rest of the object shows.
  void TrimmedFaces(json& root) {
    auto objects = root.find("objects");
    if (objects == root.end() || !objects->is_array()) return;
    // The faces to mesh, object by object, and where they came from.
    json request = {{"objects", json::array()}};
    std::vector<std::pair<std::size_t, std::vector<std::size_t>>> places;
    for (std::size_t k = 0; k < objects->size(); ++k) {
      json& object = (*objects)[k];
      if (!object.is_object() || !object.contains("faces") || !object["faces"].is_array()) continue;
      json faces = json::array();
      std::vector<std::size_t> at;
      for (std::size_t i = 0; i < object["faces"].size(); ++i) {
        const json& face = object["faces"][i];
        if (face.is_object() && face.contains("loops")) {
          faces.push_back(face);
          at.push_back(i);
        }
      }
      if (at.empty()) continue;
      request["objects"].push_back({{"faces", std::move(faces)}});
      places.emplace_back(k, std::move(at));
    }
    cad::CadScene scene;
    std::string error;
    if (!places.empty() && !MeshFaces(request.dump(), scene, error)) {
      Note("the trimmed faces without render meshes could not be meshed (" + error + ")");
      scene = cad::CadScene();
    }
    for (std::size_t p = 0; p < places.size(); ++p) {
      json& faces = (*objects)[places[p].first]["faces"];
      const std::vector<std::size_t>& at = places[p].second;
      std::size_t lost = 0;
      for (std::size_t i = 0; i < at.size(); ++i) {
        json mesh;
        if (p < scene.parts.size() && i < scene.parts[p].bodies.size()) mesh = Mesh(scene.parts[p].bodies[i]);
        if (mesh.is_null()) {
          ++lost;
          faces[at[i]] = nullptr;
        } else {
          faces[at[i]] = {{"mesh", std::move(mesh)}};
        }
      }
      if (lost) {
        Note(ObjectLabel((*objects)[places[p].first]) + ": " + std::to_string(lost) + " of " +
             std::to_string(faces.size()) +
             " faces are trimmed, have no render mesh and could not be meshed here, and were left out; save the "
             "model with its render meshes (not with \"Save small\"), or export it as STEP, to show them");
      }
    }
    json kept = json::array();
    for (json& object : *objects) {
      if (object.is_object() && object.contains("faces") && object["faces"].is_array()) {
        json& faces = object["faces"];
        const std::size_t before = faces.size();
        faces.erase(std::remove(faces.begin(), faces.end(), nullptr), faces.end());
        if (faces.empty() && before > 0) continue;
      }
      kept.push_back(std::move(object));
    }
    *objects = std::move(kept);
  }

  std::unique_ptr<ScratchFolder> TakeFolder() { return std::move(m_folder); }

 private:
  fs::path m_model;
  ModelReport& m_report;
  std::unique_ptr<ScratchFolder> m_folder;
};

std::string Describe(const ChildResult& run, const ChildLimits& limits) {
  const std::string stage = run.stage.empty() ? "starting" : run.stage;
  if (run.timedOut)
    return "the .3dm converter took longer than " + std::to_string(limits.seconds) + " s (while " + stage + ")";
  const bool memory = run.error.find("memory") != std::string::npos;
  if (memory || (run.signal == SIGKILL && limits.megabytes > 0))
    return "the .3dm converter ran out of memory while " + stage + " (limit " + std::to_string(limits.megabytes) +
           " MB)";
  if (run.signal) return "the .3dm converter crashed on this file (" + SignalName(run.signal) + " while " + stage + ")";
  if (run.exitCode == kModuleMissing)
    return "the rhino3dm module is not installed beside " + ConverterScriptPath().string() +
           " (tools/install-deps installs it)";
  if (run.exitCode == 127) return "node could not be started (tools/install-deps installs it)";
  if (!run.error.empty()) return run.error;
  return "the .3dm converter stopped without a result (exit code " + std::to_string(run.exitCode) + ")";
}

}  // namespace

std::string FindNodeProgram() {
  const char* path = std::getenv("PATH");
  std::string_view rest = path ? path : "";
  while (true) {
    const std::size_t colon = rest.find(':');
    const std::string folder(rest.substr(0, colon));
    for (const char* name : {"node", "nodejs"}) {
      const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
      if (::access(candidate.c_str(), X_OK) == 0 && !fs::is_directory(candidate)) return candidate;
    }
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return {};
}

fs::path ConverterScriptPath() {
  std::error_code ec;
  const fs::path program = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return (program.parent_path() / ".." / "share" / "zem-webgl" / "rhino3dm" / "convert-3dm.js").lexically_normal();
}

bool Read3dmHandoff(std::string_view text, const fs::path& model, CRhinoDoc& doc, ModelReport& report) {
  report.error.clear();
  json root = json::parse(text.begin(), text.end(), nullptr, false);
  if (root.is_discarded() || !root.is_object()) {
    report.error = L"the .3dm converter's hand-off is damaged";
    return false;
  }
  Handoff handoff(model, report);
  if (auto it = root.find("readerNotes"); it != root.end()) {
    if (it->is_array())
      for (const json& note : *it)
        if (note.is_string()) handoff.Note(note.get<std::string>());
    root.erase(it);
  }
  handoff.Textures(root);
  handoff.TrimmedFaces(root);
  auto objects = root.find("objects");
  if (objects == root.end() || !objects->is_array() || objects->empty()) {
    report.error = L"nothing the page can show";
    return false;
  }
  std::vector<std::string> labels;
  for (json& object : *objects) {
    labels.push_back(object.is_object() ? ObjectLabel(object) : "an object");
    if (object.is_object()) object.erase("id");
  }
  // An object the document does not take (a coordinate beyond single
  // precision, say) is left out with a note, and the rest is read again.
  constexpr int kMaxLeftOut = 100;
  for (int attempt = 0;; ++attempt) {
    CRhinoDoc scratch;
    ModelReport tried;
    if (ReadDocumentText(root.dump(), FromUtf8(model.parent_path().string()), scratch, tried)) {
      report.notes.insert(report.notes.end(), tried.notes.begin(), tried.notes.end());
      if (auto folder = handoff.TakeFolder()) scratch.KeepScratchFolder(std::move(folder));
      doc.TakeContents(scratch);
      return true;
    }
    const std::string error = ToUtf8(tried.error);
    std::size_t index = 0;
    const bool ofObject = std::sscanf(error.c_str(), "objects[%zu]", &index) == 1 && index < objects->size();
    if (!ofObject || attempt >= kMaxLeftOut || objects->size() == 1) {
      report.error = tried.error;
      report.notes.insert(report.notes.end(), tried.notes.begin(), tried.notes.end());
      return false;
    }
    const std::size_t colon = error.find(": ");
    handoff.Note(labels[index] + " was left out: " + (colon == std::string::npos ? error : error.substr(colon + 2)));
    objects->erase(objects->begin() + static_cast<std::ptrdiff_t>(index));
    labels.erase(labels.begin() + static_cast<std::ptrdiff_t>(index));
  }
}

bool Read3dmFile(const std::wstring& path, CRhinoDoc& doc, ModelReport& report) {
  const fs::path file(NativePath(path));
  if (!StartModelReport(file, report)) return false;
  const std::string node = FindNodeProgram();
  if (node.empty()) {
    report.error = L".3dm files are read through node, which is not installed (tools/install-deps installs it)";
    return false;
  }
  const fs::path script = ConverterScriptPath();
  std::error_code ec;
  if (script.empty() || !fs::is_regular_file(script, ec)) {
    report.error = FromUtf8("the .3dm converter is not installed (no " + script.string() + ")");
    return false;
  }
  ChildLimits limits;
  limits.seconds = cad::CadReadOptionsInUse().timeLimitSeconds;
  limits.megabytes = cad::CadReadOptionsInUse().memoryLimitMb;
  // WebAssembly reserves far more address space than it uses: the data
  // size is what is limited, and node's own heap is kept within it.
  ChildLimits nodeLimits = limits;
  nodeLimits.addressSpace = false;
  std::vector<std::string> argv{node};
  if (limits.megabytes > 0) argv.push_back("--max-old-space-size=" + std::to_string(limits.megabytes));
  argv.push_back(script.string());
  argv.push_back(fs::absolute(file, ec).string());
  ChildResult run = RunChild(argv, nodeLimits);
  if (!run.started) {
    report.error = FromUtf8(run.startError);
    return false;
  }
  if (run.timedOut || run.signal || run.exitCode != 0) {
    report.error = FromUtf8(Describe(run, limits));
    return false;
  }
  return Read3dmHandoff(run.handoff, file, doc, report);
}

}  // namespace zem
