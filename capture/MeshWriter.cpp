#include "capture/MeshWriter.h"

#include <cmath>
#include <string>
#include <vector>

#include "capture/ZEM_Rhino_WebGLExport.h"
#include "host/CRhinoObjectIterator.h"
#include "page/NumberFormat.h"

namespace {

// Mesh buffers are numbered for as long as the program runs, so buffer
// names stay unique within any page.
int g_meshBufferCounter = 0;

bool Finite(const ON_3fPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// The vertex records of one mesh: "x,y,z,nx,ny,nz," and, textured, "u,v,".
// When the mesh's faces share their vertices, each record is formatted once
// and kept; when they hardly do (every corner its own vertex, as many mesh
// files have it), keeping them would only cost memory.
class VertexRecords {
 public:
  VertexRecords(const ON_Mesh& mesh, bool textured, bool useTexCoords, long long corners)
      : m_mesh(mesh), m_textured(textured), m_useTexCoords(useTexCoords),
        m_keep(2LL * mesh.VertexCount() < corners) {
    if (m_keep) {
      m_start.assign(static_cast<std::size_t>(mesh.VertexCount()), 0);
      m_length.assign(static_cast<std::size_t>(mesh.VertexCount()), 0);
      m_text.reserve(static_cast<std::size_t>(mesh.VertexCount()) * (textured ? 64 : 48));
    }
  }

  // The record of vertex i; the first time also widens the writer's box.
  std::string_view Record(int i, ZEM_WebGLExport& writer) {
    if (!m_keep) {
      m_text.clear();
      Format(i, writer);
      return m_text;
    }
    if (m_start[i] == 0) {
      const std::size_t begin = m_text.size();
      Format(i, writer);
      m_start[i] = begin + 1;
      m_length[i] = m_text.size() - begin;
    }
    return std::string_view(m_text).substr(m_start[i] - 1, m_length[i]);
  }

 private:
  void Append(double value) {
    char digits[zem::kMaxNumberChars];
    char* end = zem::FormatNumberG(digits, value);
    m_text.append(digits, end);
    m_text += ',';
  }
  void Format(int i, ZEM_WebGLExport& writer) {
    const ON_3fPoint& p = m_mesh.m_V[i];
    Append(p.x), Append(p.y), Append(p.z);
    ON_3fVector n = m_mesh.m_N[i];
    if (!(std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z))) n = ON_3fVector(0, 0, 1);
    Append(n.x), Append(n.y), Append(n.z);
    if (m_textured) {
      ON_2fPoint t = m_useTexCoords ? m_mesh.m_T[i] : ON_2fPoint(0, 0);
      if (!(std::isfinite(t.x) && std::isfinite(t.y))) t = ON_2fPoint(0, 0);
      Append(t.x), Append(t.y);
    }
    const float corner[3] = {p.x, p.y, p.z};
    writer.ExtendBounds(corner);
  }

  const ON_Mesh& m_mesh;
  const bool m_textured;
  const bool m_useTexCoords;
  const bool m_keep;
  std::vector<std::size_t> m_start;  // 1 + offset in m_text, 0 while not formatted
  std::vector<std::size_t> m_length;
  std::string m_text;
};

void StartBuffer(ZEM_WebGLExport& writer, int materialNumber) {
  writer.FormatNumbers("mi.push(%d);var v%d=new Float32Array([",
                       {static_cast<double>(materialNumber), static_cast<double>(++g_meshBufferCounter)});
}

void CloseBuffer(ZEM_Rhino_WebGLExport& writer, int triangles, bool textured, bool split) {
  writer.m_trianglesWritten += triangles;
  if (writer.m_progress) writer.m_progress(writer.m_trianglesWritten);
  const double n = g_meshBufferCounter;
  writer.FormatNumbers(split ? "]);\n" : "]);", {});
  writer.FormatNumbers(
      "bl.push(%d);var b%d=gl.createBuffer();buff.push(b%d);gl.bindBuffer(gl.ARRAY_BUFFER,b%d);"
      "gl.bufferData(gl.ARRAY_BUFFER,v%d,gl.STATIC_DRAW);",
      {static_cast<double>(triangles), n, n, n, n});
  writer.WriteRawNarrow(zem::page_format::MeshAttributeCalls(textured));
}

}  // namespace

int RepairMeshForPage(ON_Mesh& mesh) {
  const int vertexCount = mesh.VertexCount();
  ON_SimpleArray<ON_MeshFace> kept(mesh.FaceCount());
  int dropped = 0;
  for (const ON_MeshFace& face : mesh.m_F) {
    bool sound = face.IsValid(vertexCount);
    for (int k = 0; sound && k < 4; ++k) sound = Finite(mesh.m_V[face.vi[k]]);
    if (sound)
      kept.Append(face);
    else
      ++dropped;
  }
  if (dropped > 0) mesh.m_F = kept;
  if (mesh.m_N.Count() != vertexCount) mesh.ComputeVertexNormals();
  if (mesh.m_T.Count() != 0 && mesh.m_T.Count() != vertexCount) mesh.m_T.SetCount(0);
  return dropped;
}

bool WriteMeshBuffers(ZEM_Rhino_WebGLExport& writer, const ON_Mesh& mesh, int materialNumber, int texCoordCount) {
  if (!writer.IsOpen()) return false;
  const bool textured = writer.UsesTexturedLayout(materialNumber);
  const bool useTexCoords = textured && texCoordCount > 0 && mesh.HasTextureCoordinates();
  long long corners = 0;
  for (const ON_MeshFace& face : mesh.m_F) corners += face.vi[2] == face.vi[3] ? 3 : 6;
  VertexRecords records(mesh, textured, useTexCoords, corners);
  auto corner = [&](int i) { writer.WriteRawNarrow(records.Record(i, writer)); };

  StartBuffer(writer, materialNumber);
  int triangles = 0;
  for (const ON_MeshFace& face : mesh.m_F) {
    ++triangles;
    corner(face.vi[0]), corner(face.vi[1]), corner(face.vi[2]);
    if (face.vi[2] != face.vi[3]) {
      ++triangles;
      corner(face.vi[0]), corner(face.vi[2]), corner(face.vi[3]);
    }
    writer.WriteRawNarrow("\n");
    if (triangles >= kMeshChunkLimit) {
      CloseBuffer(writer, triangles, textured, true);
      StartBuffer(writer, materialNumber);
      triangles = 0;
    }
  }
  CloseBuffer(writer, triangles, textured, false);
  return true;
}

void WriteInitVB(ZEM_Rhino_WebGLExport& writer) {
  writer.WriteRawNarrow(zem::page_format::kInitVB);
  writer.WriteRawNarrow("{\n");
  CollectMeshes(writer);
  writer.WriteBoxLine();
}

void CollectMeshes(ZEM_Rhino_WebGLExport& writer) {
  if (!writer.m_displayAttrs.m_bShadingOn) return;
  CRhinoObjectIterator it(writer.m_document, CRhinoObjectIterator::all_objects,
                          CRhinoObjectIterator::active_and_reference_objects);
  for (CRhinoObject* object = it.First(); object; object = it.Next()) {
    if (!object->IsVisible()) continue;
    if (object->ObjectType() != ON::mesh_object && object->ObjectType() != ON::brep_object) continue;
    const int hostIndex = object->ObjectMaterial().MaterialIndex();
    bool textured = false;
    if (hostIndex >= 0 && hostIndex < writer.m_document.m_material_table.MaterialCount() &&
        writer.m_displayAttrs.m_bUseObjectMaterial) {
      const ON_Texture* texture = BitmapTexture(writer.m_document.m_material_table[hostIndex]);
      textured = texture && texture->m_bOn;
    }
    const int materialNumber = writer.MaterialNumberOf(hostIndex);
    ON_SimpleArray<const ON_Mesh*> meshes;
    if (object->GetMeshes(ON::render_mesh, meshes) <= 0) continue;
    for (const ON_Mesh* mesh : meshes) {
      if (!mesh) continue;
      ON_Mesh copy(*mesh);
      RepairMeshForPage(copy);
      WriteMeshBuffers(writer, copy, materialNumber, textured ? copy.m_T.Count() : 0);
    }
  }
  writer.WriteMaterials();
}
