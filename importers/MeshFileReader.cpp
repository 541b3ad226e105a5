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

#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
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
  CRhinoDoc& m_doc;
  ModelReport& m_report;
  std::vector<int> m_materialIndex;    // assimp material -> document material
  ScratchFolder* m_scratch = nullptr;  // owned by the document, made when first needed
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
    return FromUtf8(out.string());
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
  if (out.empty() || !dib.WriteToFile(FromUtf8(out.string()).c_str())) return L"";
  return FromUtf8(out.string());
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

bool ReadThroughAssimp(const fs::path& file, CRhinoDoc& scratch, ModelReport& report) {
  Assimp::Importer importer;
  // A file without meshes is not given a stand-in mesh of its skeleton.
  importer.SetPropertyBool(AI_CONFIG_IMPORT_NO_SKELETON_MESHES, true);
  const aiScene* scene = importer.ReadFile(file.string(), MeshFileImportFlags());
  // assimp marks a scene "incomplete" when it holds no mesh of its own;
  // points and lines may still be there, and a scene that has meshes is
  // read whatever its flags say.
  if (!scene || !scene->mRootNode) {
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
    report.error = L"no geometry found";
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

bool RegularFile(const fs::path& file, ModelReport& report) {
  report.error.clear();
  std::error_code ec;
  if (fs::is_regular_file(file, ec)) return true;
  report.error = L"no such file";
  return false;
}

}  // namespace

bool ReadMeshFile(const std::wstring& path, CRhinoDoc& doc, ModelReport& report) {
  const fs::path file(NativePath(path));
  if (!RegularFile(file, report)) return false;
  CRhinoDoc scratch;
  if (Lower(file.extension().string()) == ".obj" && ReadObjFile(file, scratch, report) == ObjReadResult::Read)
    return Finish(file, scratch, doc, report);
  if (!ReadThroughAssimp(file, scratch, report)) return false;
  return Finish(file, scratch, doc, report);
}

bool ReadMeshFileWithAssimp(const std::wstring& path, CRhinoDoc& doc, ModelReport& report) {
  const fs::path file(NativePath(path));
  if (!RegularFile(file, report)) return false;
  CRhinoDoc scratch;
  if (!ReadThroughAssimp(file, scratch, report)) return false;
  return Finish(file, scratch, doc, report);
}

}  // namespace zem
