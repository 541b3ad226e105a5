#include "importers/MeshFileReader.h"

#include "standin/host/CRhinoCurveObject.h"
#include "standin/host/CRhinoDib.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoMeshObject.h"
#include "standin/host/CRhinoPointCloudObject.h"
#include "importers/DefaultViews.h"
#include "importers/ObjFileReader.h"
#include "importers/TextureFile.h"
#include "standin/host/ON_PolylineCurve.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/ScratchFolder.h"
#include "standin/platform/TextEncoding.h"
#include "standin/platform/RegularFile.h"

#include <assimp/DefaultIOSystem.h>
#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <malloc.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <fstream>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

namespace zem {

namespace {

namespace fs = std::filesystem;

struct BadModel {
  std::wstring message;
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

ON_Color ColourOf(const aiColor3D& c) {
  auto channel = [](float v) {
    return static_cast<int>(std::lround(std::clamp(std::isfinite(v) ? v : 0.0f, 0.0f, 1.0f) * 255));
  };
  return ON_Color(channel(c.r), channel(c.g), channel(c.b));
}

struct Vec {
  double x, y, z;
};
Vec At(const ON_3fPoint& p) { return {p.x, p.y, p.z}; }
Vec Minus(const Vec& a, const Vec& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec Cross(const Vec& a, const Vec& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Whether every edge of the mesh (vertices taken by position) joins exactly
// two faces that run along it in opposite directions: a closed surface
// whose faces are wound alike, which has an inside and an outside.
bool ClosedAndConsistent(const ON_Mesh& mesh) {
  struct Key {
    float x, y, z;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& k) const {
      std::uint32_t b[3];
      std::memcpy(b, &k, sizeof b);
      return (std::size_t{b[0]} * 73856093u) ^ (std::size_t{b[1]} * 19349663u) ^ (std::size_t{b[2]} * 83492791u);
    }
  };
  std::unordered_map<Key, std::uint64_t, KeyHash> ids;
  std::vector<std::uint64_t> id(static_cast<std::size_t>(mesh.VertexCount()));
  for (int i = 0; i < mesh.VertexCount(); ++i) {
    const ON_3fPoint& p = mesh.m_V[i];
    id[static_cast<std::size_t>(i)] = ids.try_emplace(Key{p.x, p.y, p.z}, ids.size()).first->second;
  }
  std::unordered_map<std::uint64_t, int> edges;  // directed edge (from << 32 | to) -> uses
  for (int f = 0; f < mesh.FaceCount(); ++f) {
    const ON_MeshFace& face = mesh.m_F[f];
    const int corners = face.IsTriangle() ? 3 : 4;
    for (int k = 0; k < corners; ++k) {
      const std::uint64_t a = id[static_cast<std::size_t>(face.vi[k])];
      const std::uint64_t b = id[static_cast<std::size_t>(face.vi[(k + 1) % corners])];
      if (a == b || ++edges[a << 32 | b] > 1) return false;
    }
  }
  for (const auto& [edge, uses] : edges)
    if (edges.find((edge & 0xffffffffu) << 32 | edge >> 32) == edges.end()) return false;
  return !edges.empty();
}

// Six times the volume the faces enclose, positive when they are wound
// counter-clockwise seen from outside.
double WoundVolume(const ON_Mesh& mesh) {
  double volume = 0;
  for (int f = 0; f < mesh.FaceCount(); ++f) {
    const ON_MeshFace& face = mesh.m_F[f];
    const Vec a = At(mesh.m_V[face.vi[0]]);
    for (int k = 1; k + 1 < (face.IsTriangle() ? 3 : 4); ++k)
      volume += Dot(a, Cross(At(mesh.m_V[face.vi[k]]), At(mesh.m_V[face.vi[k + 1]])));
  }
  return volume;
}

// STL files store a normal for every facet: some programs store (0, 0, 0),
// others normals that point against the facet's winding, and some wind a
// whole solid inside out; each renders dark. A closed mesh of negative
// volume is turned; then every corner normal that is zero or points against
// its face's winding is the face's own normal. Answers the notes to give.
std::vector<std::string> RepairFacetNormals(ON_Mesh& mesh, const std::string& label) {
  std::vector<std::string> notes;
  if (WoundVolume(mesh) < 0 && ClosedAndConsistent(mesh)) {
    for (int f = 0; f < mesh.FaceCount(); ++f) {
      ON_MeshFace& face = mesh.m_F[f];
      if (face.IsTriangle())
        std::swap(face.vi[1], face.vi[2]), face.vi[3] = face.vi[2];
      else
        std::swap(face.vi[1], face.vi[3]);
    }
    notes.push_back(label + ": a closed surface wound inside out; turned");
  }
  if (!mesh.HasVertexNormals()) return notes;
  int repaired = 0;
  for (int f = 0; f < mesh.FaceCount(); ++f) {
    const ON_MeshFace& face = mesh.m_F[f];
    const Vec a = At(mesh.m_V[face.vi[0]]);
    Vec n = Cross(Minus(At(mesh.m_V[face.vi[1]]), a), Minus(At(mesh.m_V[face.vi[2]]), a));
    const double length = std::sqrt(Dot(n, n));
    if (!(length > 0)) continue;
    n = {n.x / length, n.y / length, n.z / length};
    bool against = false;
    for (int k = 0; k < (face.IsTriangle() ? 3 : 4); ++k) {
      ON_3fVector& stored = mesh.m_N[face.vi[k]];
      if (Dot({stored.x, stored.y, stored.z}, n) > 0) continue;
      stored = ON_3fVector(static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z));
      against = true;
    }
    repaired += against ? 1 : 0;
  }
  if (repaired > 0)
    notes.push_back(label + ": " + std::to_string(repaired) + " of " + std::to_string(mesh.FaceCount()) +
                    " facets stored a normal that is zero or against their winding; computed from the winding");
  return notes;
}

class MeshFileImport {
 public:
  MeshFileImport(const fs::path& file, CRhinoDoc& doc, ModelReport& report)
      : m_file(file), m_doc(doc), m_report(report) {}

  void Run(const aiScene& scene);

 private:
  void Note(const std::string& what) { m_report.notes.push_back(FromUtf8(what)); }
  [[noreturn]] void Fail(const std::string& what) { throw BadModel{FromUtf8(what)}; }
  void ReadMaterials(const aiScene& scene);
  std::wstring TexturePath(const aiScene& scene, const std::string& name, int materialIndex);
  std::wstring EmbeddedTexturePath(const aiScene& scene, const std::string& name, int materialIndex);
  fs::path ScratchPath(const std::string& name);
  void ReadNode(const aiScene& scene, const aiNode& node, const aiMatrix4x4& parent);
  void ReadMesh(const aiMesh& mesh, const aiMatrix4x4& transform, const std::string& nodeName);

  fs::path m_file;
  bool m_stl = Lower(m_file.extension().string()) == ".stl";
  CRhinoDoc& m_doc;
  ModelReport& m_report;
  std::vector<int> m_materialIndex;      // assimp material -> document material
  ScratchFolder* m_scratch = nullptr;    // owned by the document, made when first needed
  unsigned long long m_loosePoints = 0;  // vertices of meshes without faces
};

void MeshFileImport::Run(const aiScene& scene) {
  ReadMaterials(scene);
  aiMatrix4x4 root;
  const std::string ext = Lower(m_file.extension().string());
  if (ext == ".obj" || ext == ".gltf" || ext == ".glb" || ext == ".dae" || ext == ".fbx") {
    // Y up to Z up: (x, y, z) -> (x, -z, y).
    root = aiMatrix4x4(1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1);
  }
  if (scene.mRootNode) ReadNode(scene, *scene.mRootNode, root);
  if (m_doc.ObjectSlotCount() == 0 && m_loosePoints > 0) m_report.error = OnlyPointsError(m_loosePoints);
}

fs::path MeshFileImport::ScratchPath(const std::string& name) {
  if (!m_scratch) {
    auto folder = std::make_unique<ScratchFolder>("zem-model-textures-");
    if (folder->Path().empty()) return fs::path();
    m_scratch = folder.get();
    m_doc.KeepScratchFolder(std::move(folder));
  }
  return m_scratch->Path() / name;
}

std::wstring MeshFileImport::EmbeddedTexturePath(const aiScene& scene, const std::string& name, int materialIndex) {
  // A picture inside the model file is written out into this import's own
  // scratch folder, as a texture must be a file; the folder goes with the
  // document.
  const aiTexture* texture = scene.GetEmbeddedTexture(name.c_str());
  if (!texture) {
    Note("material " + std::to_string(materialIndex) + ": embedded texture " + name + " not found");
    return L"";
  }
  const std::string stem = "texture-" + std::to_string(materialIndex);
  if (texture->mHeight == 0) {
    std::string hint = Lower(texture->achFormatHint);
    if (hint.empty() || hint.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789") != std::string::npos)
      hint = "bin";
    const fs::path out = ScratchPath(stem + "." + hint);
    if (out.empty()) return L"";
    std::ofstream file(out, std::ios::binary);
    file.write(reinterpret_cast<const char*>(texture->pcData), static_cast<std::streamsize>(texture->mWidth));
    file.close();  // the whole picture is on disk before anyone reads it
    if (!file) {
      Note("material " + std::to_string(materialIndex) + ": embedded texture " + name + " could not be unpacked");
      return L"";
    }
    return FromSystemBytes(out.string());
  }
  CRhinoDib dib(static_cast<int>(texture->mWidth), static_cast<int>(texture->mHeight), 32);
  for (unsigned y = 0; y < texture->mHeight; ++y) {
    for (unsigned x = 0; x < texture->mWidth; ++x) {
      const aiTexel& t = texture->pcData[y * texture->mWidth + x];
      // Texel rows run from the top; bitmap rows from the bottom.
      dib.SetPixel(static_cast<int>(x), static_cast<int>(texture->mHeight - 1 - y), t.r, t.g, t.b, t.a);
    }
  }
  const fs::path out = ScratchPath(stem + ".png");
  if (out.empty() || !dib.WriteToFile(FromSystemBytes(out.string()).c_str())) return L"";
  return FromSystemBytes(out.string());
}

std::wstring MeshFileImport::TexturePath(const aiScene& scene, const std::string& name, int materialIndex) {
  if (!name.empty() && name[0] == '*') return EmbeddedTexturePath(scene, name, materialIndex);
  return FindTextureFile(m_file, name, materialIndex, m_report);
}

void MeshFileImport::ReadMaterials(const aiScene& scene) {
  for (unsigned i = 0; i < scene.mNumMaterials; ++i) {
    const aiMaterial& m = *scene.mMaterials[i];
    ON_Material material;
    aiString name;
    if (m.Get(AI_MATKEY_NAME, name) == AI_SUCCESS) material.m_material_name = FromUtf8(name.C_Str());
    aiColor3D c;
    if (m.Get(AI_MATKEY_COLOR_DIFFUSE, c) == AI_SUCCESS) material.m_diffuse = ColourOf(c);
    if (m.Get(AI_MATKEY_COLOR_SPECULAR, c) == AI_SUCCESS) material.m_specular = ColourOf(c);
    if (m.Get(AI_MATKEY_COLOR_AMBIENT, c) == AI_SUCCESS) material.m_ambient = ColourOf(c);
    if (m.Get(AI_MATKEY_COLOR_EMISSIVE, c) == AI_SUCCESS) material.m_emission = ColourOf(c);
    if (m.Get(AI_MATKEY_COLOR_REFLECTIVE, c) == AI_SUCCESS) material.m_reflection = ColourOf(c);
    float v = 0;
    // A Phong exponent of 0..128 maps onto the shine range.
    if (m.Get(AI_MATKEY_SHININESS, v) == AI_SUCCESS && std::isfinite(v)) {
      material.SetShine(std::clamp(v, 0.0f, 128.0f) / 128.0 * ON_Material::MaxShine());
    }
    if (m.Get(AI_MATKEY_OPACITY, v) == AI_SUCCESS && std::isfinite(v))
      material.m_transparency = std::clamp(1.0 - v, 0.0, 1.0);
    if (m.Get(AI_MATKEY_REFRACTI, v) == AI_SUCCESS && std::isfinite(v) && v > 0) material.m_index_of_refraction = v;
    if (m.Get(AI_MATKEY_REFLECTIVITY, v) == AI_SUCCESS && std::isfinite(v))
      material.m_reflectivity = std::clamp(v, 0.0f, 1.0f);
    aiString texture;
    if (m.GetTexture(aiTextureType_DIFFUSE, 0, &texture) == AI_SUCCESS && texture.length > 0) {
      const std::wstring path = TexturePath(scene, texture.C_Str(), static_cast<int>(i));
      if (!path.empty()) {
        const int t = material.AddTexture(path.c_str(), ON_Texture::bitmap_texture);
        material.m_textures[t].m_bOn = true;
        material.m_textures[t].m_mode = ON_Texture::modulate_texture;
      }
    }
    m_materialIndex.push_back(m_doc.m_material_table.AddMaterial(material));
  }
}

void MeshFileImport::ReadNode(const aiScene& scene, const aiNode& node, const aiMatrix4x4& parent) {
  const aiMatrix4x4 transform = parent * node.mTransformation;
  for (unsigned k = 0; k < node.mNumMeshes; ++k) {
    const unsigned index = node.mMeshes[k];
    if (index >= scene.mNumMeshes) Fail("node " + std::string(node.mName.C_Str()) + " names a mesh that is not there");
    ReadMesh(*scene.mMeshes[index], transform, node.mName.C_Str());
  }
  for (unsigned c = 0; c < node.mNumChildren; ++c) ReadNode(scene, *node.mChildren[c], transform);
}

void MeshFileImport::ReadMesh(const aiMesh& in, const aiMatrix4x4& transform, const std::string& nodeName) {
  const std::string label = "mesh " + std::string(in.mName.length ? in.mName.C_Str() : nodeName.c_str());
  const unsigned n = in.mNumVertices;
  const bool identity = transform.IsIdentity();
  aiMatrix3x3 normalMatrix(transform);
  normalMatrix.Inverse().Transpose();

  ON_3dmObjectAttributes attributes;
  attributes.m_name = FromUtf8(in.mName.C_Str());
  if (in.mMaterialIndex < m_materialIndex.size()) {
    attributes.m_material_index = m_materialIndex[in.mMaterialIndex];
    attributes.SetMaterialSource(ON_3dmObjectAttributes::material_from_object);
  }

  if (in.mNumFaces == 0) m_loosePoints += n;
  ON_Mesh mesh;
  std::vector<std::pair<unsigned, unsigned>> segments;
  ON_SimpleArray<ON_3dPoint> points;
  mesh.m_F.Reserve(static_cast<int>(in.mNumFaces));
  for (unsigned f = 0; f < in.mNumFaces; ++f) {
    const aiFace& face = in.mFaces[f];
    for (unsigned k = 0; k < face.mNumIndices; ++k) {
      if (face.mIndices[k] >= n)
        Fail(label + ": face " + std::to_string(f) + " names vertex " + std::to_string(face.mIndices[k]) + " of " +
             std::to_string(n));
    }
    if (face.mNumIndices == 3 || face.mNumIndices == 4) {
      ON_MeshFace mf;
      for (unsigned k = 0; k < 4; ++k) mf.vi[k] = static_cast<int>(face.mIndices[std::min(k, face.mNumIndices - 1)]);
      mesh.m_F.Append(mf);
    } else if (face.mNumIndices == 2) {
      segments.emplace_back(face.mIndices[0], face.mIndices[1]);
    }
  }

  auto position = [&](unsigned i) {
    aiVector3D p = in.mVertices[i];
    if (!identity) p = transform * p;
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
      Fail(label + ": vertex " + std::to_string(i) + " has a coordinate that is not a finite number");
    }
    return p;
  };

  if (mesh.FaceCount() > 0) {
    mesh.m_V.SetCount(static_cast<int>(n));
    ON_3fPoint* v = mesh.m_V.Array();
    for (unsigned i = 0; i < n; ++i) {
      const aiVector3D p = position(i);
      v[i] = ON_3fPoint(p.x, p.y, p.z);
    }
    if (in.HasNormals()) {
      mesh.m_N.SetCount(static_cast<int>(n));
      ON_3fVector* normals = mesh.m_N.Array();
      bool bad = false;
      for (unsigned i = 0; i < n; ++i) {
        aiVector3D d = in.mNormals[i];
        if (!identity) d = normalMatrix * d;
        if (!std::isfinite(d.x) || !std::isfinite(d.y) || !std::isfinite(d.z)) bad = true;
        normals[i] = ON_3fVector(d.x, d.y, d.z);
      }
      if (bad) {
        mesh.m_N.Empty();
        Note(label + ": normals that are not finite numbers; normals computed");
      } else if (!identity) {
        for (unsigned i = 0; i < n; ++i) {
          ON_3dVector d = normals[i];
          d.Unitize();
          normals[i] = ON_3fVector(d);
        }
      }
    } else {
      Note(label + ": no normals; normals computed");
    }
    if (m_stl)
      for (const std::string& note : RepairFacetNormals(mesh, label)) Note(note);
    if (mesh.m_N.Count() != mesh.VertexCount()) mesh.ComputeVertexNormals();
    if (in.HasTextureCoords(0)) {
      mesh.m_T.SetCount(static_cast<int>(n));
      ON_2fPoint* t = mesh.m_T.Array();
      bool bad = false;
      for (unsigned i = 0; i < n; ++i) {
        const aiVector3D& uv = in.mTextureCoords[0][i];
        if (!std::isfinite(uv.x) || !std::isfinite(uv.y)) bad = true;
        t[i] = ON_2fPoint(uv.x, uv.y);
      }
      if (bad) {
        mesh.m_T.Empty();
        Note(label + ": texture coordinates that are not finite numbers; dropped");
      }
    }
    auto* object = new CRhinoMeshObject(std::move(mesh));
    object->ModifyAttributes(attributes);
    m_doc.AddObject(object);
  }

  // Line segments joined where one ends and the next begins (files often
  // repeat the shared point as a vertex of its own).
  for (std::size_t s = 0; s < segments.size();) {
    ON_Polyline chain;
    const aiVector3D a = position(segments[s].first);
    chain.Append({a.x, a.y, a.z});
    aiVector3D last = a;
    while (s < segments.size() && position(segments[s].first) == last) {
      last = position(segments[s].second);
      chain.Append({last.x, last.y, last.z});
      ++s;
    }
    auto* curve = new CRhinoCurveObject(std::make_unique<ON_PolylineCurve>(chain));
    curve->ModifyAttributes(attributes);
    m_doc.AddObject(curve);
  }
  for (unsigned f = 0; f < in.mNumFaces; ++f) {
    if (in.mFaces[f].mNumIndices == 1) {
      const aiVector3D p = position(in.mFaces[f].mIndices[0]);
      points.Append({p.x, p.y, p.z});
    }
  }
  if (points.Count() > 0) {
    auto* cloud = new CRhinoPointCloudObject(std::move(points));
    cloud->ModifyAttributes(attributes);
    m_doc.AddObject(cloud);
  }
}

}  // namespace

unsigned int MeshFileImportFlags() { return aiProcess_Triangulate; }

namespace {

std::uintmax_t& WholeFileLimit() {
  static std::uintmax_t limit = kDefaultWholeFileLimit;
  return limit;
}

// assimp reads every file it opens whole (the model and the files it
// names): it opens only regular files within the limit, so that a device
// named as a buffer or a huge file cannot take all memory.
class BoundedIOSystem : public Assimp::DefaultIOSystem {
 public:
  bool Exists(const char* file) const override { return Allowed(file) && DefaultIOSystem::Exists(file); }
  Assimp::IOStream* Open(const char* file, const char* mode) override {
    if (std::strpbrk(mode, "wa+")) return nullptr;
    return Allowed(file) ? DefaultIOSystem::Open(file, mode) : nullptr;
  }

 private:
  static bool Allowed(const char* file) {
    struct stat status {};
    return ::stat(file, &status) == 0 && S_ISREG(status.st_mode) &&
           static_cast<std::uintmax_t>(status.st_size) <= WholeFileLimit();
  }
};

// The bytes one value of a PLY property takes at least: in binary its size,
// in text a digit and a separator.
std::uintmax_t PlyValueBytes(const std::string& type, bool ascii) {
  if (ascii) return 2;
  for (const auto& [names, bytes] : std::initializer_list<std::pair<const char*, int>>{
           {" char uchar int8 uint8 ", 1}, {" short ushort int16 uint16 ", 2}, {" double float64 ", 8}})
    if (std::string(names).find(" " + type + " ") != std::string::npos) return static_cast<std::uintmax_t>(bytes);
  return 4;
}

// A PLY header names how many vertices and faces follow, and assimp sets
// aside memory for them all before it reads one: a header that declares
// more than the rest of the file can hold is refused first.
bool PlyCountsFit(const fs::path& file, ModelReport& report) {
  std::FILE* in = std::fopen(file.c_str(), "rb");
  if (!in) return true;
  std::string head(1 << 16, '\0');
  head.resize(std::fread(head.data(), 1, head.size(), in));
  std::fclose(in);
  const std::size_t end = head.find("end_header");
  if (!head.starts_with("ply") || end == std::string::npos) return true;
  const bool ascii = head.find("format ascii") != std::string::npos;
  std::uintmax_t least = 0, count = 0, perElement = 0;
  auto close = [&] {
    least += count * perElement;
    if (count > 0 && perElement == 0) least += count;
  };
  std::istringstream lines(head.substr(0, end));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string key, a, b;
    words >> key >> a >> b;
    if (key == "element") {
      close();
      count = std::strtoull(b.c_str(), nullptr, 10);
      perElement = 0;
    } else if (key == "property") {
      perElement += PlyValueBytes(a == "list" ? b : a, ascii);
    }
  }
  close();
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(file, ec);
  if (ec || least <= size) return true;
  report.error = FromUtf8("the header declares more elements than the file's " + std::to_string(size) +
                          " bytes can hold (at least " + std::to_string(least) + " bytes)");
  return false;
}

// The bounded file access, noting each file it opens for the report.
class NotingFileSystem : public BoundedIOSystem {
 public:
  explicit NotingFileSystem(ModelReport& report) : m_report(report) {}
  Assimp::IOStream* Open(const char* file, const char* mode) override {
    Assimp::IOStream* stream = BoundedIOSystem::Open(file, mode);
    if (stream) m_report.files.push_back(FromSystemBytes(file));
    return stream;
  }

 private:
  ModelReport& m_report;
};

bool ReadThroughAssimp(const fs::path& file, CRhinoDoc& scratch, ModelReport& report) {
  if (!WithinWholeFileLimit(file, report)) return false;
  if (Lower(file.extension().string()) == ".ply" && !PlyCountsFit(file, report)) return false;
  Assimp::Importer importer;
  importer.SetIOHandler(new NotingFileSystem(report));  // the importer owns it
  // A file without meshes is not given a stand-in mesh of its skeleton.
  importer.SetPropertyBool(AI_CONFIG_IMPORT_NO_SKELETON_MESHES, true);
  const aiScene* scene = importer.ReadFile(file.string(), MeshFileImportFlags());
  // assimp marks a scene "incomplete" when it holds no mesh of its own;
  // points and lines may still be there, and a scene that has meshes is
  // read whatever its flags say.
  if (!scene || !scene->mRootNode) {
    // assimp turns every exception into its error text; running out of
    // memory is the program's to report, whatever the reader.
    if (std::strstr(importer.GetErrorString(), "bad_alloc")) throw std::bad_alloc();
    report.error = FromUtf8(importer.GetErrorString());
    if (report.error.empty()) report.error = L"not a model file assimp can read";
    return false;
  }
  if (scene->mNumCameras > 0 || scene->mNumLights > 0)
    report.notes.push_back(FromUtf8(std::to_string(scene->mNumCameras) + " camera(s) and " +
                                    std::to_string(scene->mNumLights) + " light(s) of the file ignored"));
  try {
    MeshFileImport import(file, scratch, report);
    import.Run(*scene);
  } catch (const BadModel& bad) {
    report.error = bad.message;
    return false;
  }
  return true;
}

// Hands what was read to the document; a file from which nothing visible
// was read is no model.
bool Finish(const fs::path& file, CRhinoDoc& scratch, CRhinoDoc& doc, ModelReport& report) {
  if (scratch.ObjectSlotCount() == 0) {
    // A reader that met only vertices has said so.
    if (report.error.empty()) report.error = L"no geometry found";
    return false;
  }
  // The reader's working memory goes back to the system before the export
  // needs its own.
  malloc_trim(0);
  scratch.SetTitle(FromUtf8(file.stem().string()).c_str());
  AddDefaultViews(scratch, L"Rendered");
  doc.TakeContents(scratch);
  return true;
}

}  // namespace

void SetWholeFileLimit(std::uintmax_t bytes) { WholeFileLimit() = bytes; }

bool WithinWholeFileLimit(const std::filesystem::path& file, ModelReport& report) {
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(file, ec);
  if (ec || size <= WholeFileLimit()) return true;
  char text[160];
  std::snprintf(text, sizeof text,
                "the file is %.1f MB, above the limit of %s for files that are read whole (%s raises it)",
                static_cast<double>(size) / (1 << 20), SizeInWords(WholeFileLimit()).c_str(), kWholeFileLimitOption);
  report.error = FromUtf8(text);
  return false;
}

bool ReadMeshFile(const std::wstring& path, CRhinoDoc& doc, ModelReport& report) {
  const fs::path file(NativePath(path));
  if (!StartModelReport(file, report)) return false;
  CRhinoDoc scratch;
  if (Lower(file.extension().string()) == ".obj" && ReadObjFile(file, scratch, report) == ObjReadResult::Read)
    return Finish(file, scratch, doc, report);
  if (!ReadThroughAssimp(file, scratch, report)) return false;
  return Finish(file, scratch, doc, report);
}

bool ReadMeshFileWithAssimp(const std::wstring& path, CRhinoDoc& doc, ModelReport& report) {
  const fs::path file(NativePath(path));
  if (!StartModelReport(file, report)) return false;
  CRhinoDoc scratch;
  if (!ReadThroughAssimp(file, scratch, report)) return false;
  return Finish(file, scratch, doc, report);
}

}  // namespace zem
