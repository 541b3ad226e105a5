#include "capture/MeshWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "capture/CompactMesh.h"
#include "capture/ParallelFor.h"
#include "capture/ZEM_Rhino_WebGLExport.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "page/Base64.h"
#include "page/NumberFormat.h"
#include "page/ViewerTexts.h"

namespace {

// Mesh buffers are numbered for as long as the program runs, so buffer
// names stay unique within any page.
int g_meshBufferCounter = 0;

bool Finite(const ON_3fPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// The vertex record "x,y,z,nx,ny,nz," and, textured, "u,v," of vertex i,
// appended to out.
class RecordFormat {
 public:
  RecordFormat(const ON_Mesh& mesh, bool textured, bool useTexCoords)
      : m_mesh(mesh), m_textured(textured), m_useTexCoords(useTexCoords) {}

  void Append(std::string& out, int i) const {
    const ON_3fPoint& p = m_mesh.m_V[i];
    Number(out, p.x), Number(out, p.y), Number(out, p.z);
    ON_3fVector n = m_mesh.m_N[i];
    if (!(std::isfinite(n.x) && std::isfinite(n.y) && std::isfinite(n.z))) n = ON_3fVector(0, 0, 1);
    Number(out, n.x), Number(out, n.y), Number(out, n.z);
    if (m_textured) {
      ON_2fPoint t = m_useTexCoords ? m_mesh.m_T[i] : ON_2fPoint(0, 0);
      if (!(std::isfinite(t.x) && std::isfinite(t.y))) t = ON_2fPoint(0, 0);
      Number(out, t.x), Number(out, t.y);
    }
  }

 private:
  static void Number(std::string& out, double value) {
    char digits[zem::kMaxNumberChars + 1];
    char* end = zem::FormatNumberG(digits, value);
    *end++ = ',';
    out.append(digits, end);
  }

  const ON_Mesh& m_mesh;
  const bool m_textured;
  const bool m_useTexCoords;
};

// The box of the points given to Extend, widened as the page writer widens
// its own (an equal coordinate met later replaces an earlier one, which
// matters only for the sign of zero), so that boxes of consecutive parts
// merged in order give the box of the whole.
struct PartBox {
  float min[3], max[3];
  bool any = false;
  void Extend(const ON_3fPoint& p) {
    const float c[3] = {p.x, p.y, p.z};
    for (int a = 0; a < 3; ++a) {
      if (!any || c[a] <= min[a]) min[a] = c[a];
      if (!any || c[a] >= max[a]) max[a] = c[a];
    }
    any = true;
  }
  void MergeInto(ZEM_WebGLExport& writer) const {
    if (!any) return;
    for (int a = 0; a < 3; ++a) {
      if (min[a] <= writer.boxMin[a]) writer.boxMin[a] = min[a];
      if (max[a] >= writer.boxMax[a]) writer.boxMax[a] = max[a];
    }
  }
};

// A run of faces written as one buffer.
struct Chunk {
  int firstFace = 0, endFace = 0, triangles = 0;
};

std::vector<Chunk> SplitIntoChunks(const ON_Mesh& mesh) {
  std::vector<Chunk> chunks(1);
  for (int f = 0; f < mesh.FaceCount(); ++f) {
    Chunk& chunk = chunks.back();
    chunk.triangles += mesh.m_F[f].IsTriangle() ? 1 : 2;
    chunk.endFace = f + 1;
    if (chunk.triangles >= zem::kMeshChunkLimit) chunks.push_back({f + 1, f + 1, 0});
  }
  return chunks;
}

// The text of every vertex record, made once per vertex (in parallel
// parts) for meshes whose faces share their vertices.
class RecordTable {
 public:
  RecordTable(const RecordFormat& format, int vertexCount, int threads)
      : m_parts(static_cast<std::size_t>(std::min(threads * 4, std::max(1, vertexCount / 4096)))),
        m_begin(static_cast<std::size_t>(vertexCount)),
        m_length(static_cast<std::size_t>(vertexCount)) {
    const int parts = static_cast<int>(m_parts.size());
    zem::ParallelFor(threads, parts, [&](int part) {
      const int begin = static_cast<int>(static_cast<long long>(vertexCount) * part / parts);
      const int end = static_cast<int>(static_cast<long long>(vertexCount) * (part + 1) / parts);
      std::string& text = m_parts[part];
      text.reserve(static_cast<std::size_t>(end - begin) * 64);
      for (int i = begin; i < end; ++i) {
        const std::size_t before = text.size();
        format.Append(text, i);
        m_length[i] = static_cast<std::uint16_t>(text.size() - before);
      }
      // The part's text is whole now and stays where it is.
      const char* at = text.data();
      for (int i = begin; i < end; ++i) {
        m_begin[i] = at;
        at += m_length[i];
      }
    });
  }
  std::string_view Record(int i) const { return std::string_view(m_begin[i], m_length[i]); }

 private:
  std::vector<std::string> m_parts;
  std::vector<const char*> m_begin;     // where vertex i's record starts
  std::vector<std::uint16_t> m_length;  // a record is at most 8 numbers and their commas
};
static_assert(8 * (zem::kMaxNumberChars + 1) < 65536);

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

void AppendExact(std::string& out, double value) {
  char digits[32];
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, ec == std::errc() ? end : digits);
}

// One call of the page's decoder per mesh: material, layout, vertex count,
// how positions and normals are stored (bounds and steps in the shortest
// text that reads back as the same double), the buffers, the data.
bool WriteCompactMesh(ZEM_Rhino_WebGLExport& writer, const ON_Mesh& mesh, int materialNumber, bool textured,
                      bool useTexCoords) {
  if (!writer.m_meshDecoderWritten) {
    writer.WriteTemplate(zem::viewer::MeshDecoder());
    writer.m_meshDecoderWritten = true;
  }
  const zem::CompactMesh stored = zem::EncodeCompactMesh(mesh, useTexCoords, zem::kMeshChunkLimit);
  for (int v : stored.vertices) {
    const float p[3] = {mesh.m_V[v].x, mesh.m_V[v].y, mesh.m_V[v].z};
    writer.ExtendBounds(p);
  }
  std::string head = "zemMesh(gl,posLoc,normLoc,texLoc,mi,buff,bl,";
  for (int n : {materialNumber, textured ? 1 : 0, stored.vertexCount}) head += std::to_string(n) + ',';
  head += stored.quantisedPositions ? "[1," : "[0,";
  for (double v : stored.positionMin) AppendExact(head, v), head += ',';
  for (double v : stored.positionStep) AppendExact(head, v), head += ',';
  head += std::to_string(stored.octNormalBits / 8) + ',';
  head += stored.texCoords ? "1],[" : "0],[";
  for (std::size_t b = 0; b < stored.buffers.size(); ++b) {
    const zem::CompactMesh::Buffer& buffer = stored.buffers[b];
    head += (b ? "," : "") + std::to_string(buffer.triangles) + ',' + std::to_string(buffer.base) +
            (buffer.wide ? ",1" : ",0");
  }
  head += "],\"";
  writer.WriteRawNarrow(head);
  writer.WriteRawNarrow(zem::Base64Encode(stored.bytes.data(), stored.bytes.size()));
  writer.WriteRawNarrow("\");\n");
  for (const zem::CompactMesh::Buffer& buffer : stored.buffers) {
    writer.m_trianglesWritten += buffer.triangles;
    if (writer.m_progress) writer.m_progress(writer.m_trianglesWritten);
  }
  return true;
}

}  // namespace

bool zem::MeshNeedsRepair(const ON_Mesh& mesh) {
  const int vertexCount = mesh.VertexCount();
  if (mesh.m_N.Count() != vertexCount || (mesh.m_T.Count() != 0 && mesh.m_T.Count() != vertexCount)) return true;
  for (const ON_MeshFace& face : mesh.m_F) {
    if (!face.IsValid(vertexCount)) return true;
    for (int k = 0; k < 4; ++k)
      if (!Finite(mesh.m_V[face.vi[k]])) return true;
  }
  return false;
}

int zem::RepairMeshForPage(ON_Mesh& mesh) {
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
  if (writer.m_compact) return WriteCompactMesh(writer, mesh, materialNumber, textured, useTexCoords);
  const RecordFormat format(mesh, textured, useTexCoords);
  const std::vector<Chunk> chunks = SplitIntoChunks(mesh);
  long long corners = 0;
  for (const Chunk& chunk : chunks) corners += 3LL * chunk.triangles;
  const int threads = zem::ThreadsFor(writer.m_threads);

  auto writeChunk = [&](const Chunk& chunk, auto&& writeFaces) {
    StartBuffer(writer, materialNumber);
    writeFaces();
    CloseBuffer(writer, chunk.triangles, textured, &chunk != &chunks.back());
  };

  // Writes every buffer in order, each face's corners through `corner`
  // (a quadrangle as two triangles), a line per face.
  auto writeFaces = [&](auto&& corner) {
    for (const Chunk& chunk : chunks) {
      writeChunk(chunk, [&] {
        for (int f = chunk.firstFace; f < chunk.endFace; ++f) {
          const ON_MeshFace& face = mesh.m_F[f];
          corner(face.vi[0]), corner(face.vi[1]), corner(face.vi[2]);
          if (face.IsQuad()) corner(face.vi[0]), corner(face.vi[2]), corner(face.vi[3]);
          writer.WriteRawNarrow("\n");
        }
      });
    }
  };

  if (2LL * mesh.VertexCount() < corners) {
    // Faces share their vertices: every record is made once, then copied
    // for each corner; the box grows by each vertex as it is first used.
    const RecordTable table(format, mesh.VertexCount(), threads);
    std::vector<bool> used(static_cast<std::size_t>(mesh.VertexCount()), false);
    auto corner = [&](int i) {
      if (!used[i]) {
        used[i] = true;
        const float p[3] = {mesh.m_V[i].x, mesh.m_V[i].y, mesh.m_V[i].z};
        writer.ExtendBounds(p);
      }
      writer.WriteRawNarrow(table.Record(i));
    };
    writeFaces(corner);
    return true;
  }

  if (threads == 1) {
    // Every corner its own record, formatted as it is written.
    std::string record;
    auto corner = [&](int i) {
      record.clear();
      format.Append(record, i);
      const float p[3] = {mesh.m_V[i].x, mesh.m_V[i].y, mesh.m_V[i].z};
      writer.ExtendBounds(p);
      writer.WriteRawNarrow(record);
    };
    writeFaces(corner);
    return true;
  }

  // Every corner its own record: the buffers' texts are made in parallel,
  // a round of them at a time, and written in order.
  struct ChunkText {
    std::string text;
    PartBox box;
  };
  const int round = threads * 4;
  std::vector<ChunkText> texts(static_cast<std::size_t>(round));
  for (std::size_t first = 0; first < chunks.size(); first += static_cast<std::size_t>(round)) {
    const int count = static_cast<int>(std::min<std::size_t>(round, chunks.size() - first));
    zem::ParallelFor(threads, count, [&](int k) {
      const Chunk& chunk = chunks[first + static_cast<std::size_t>(k)];
      ChunkText& out = texts[k];
      out.text.clear();
      out.box = PartBox();
      auto corner = [&](int i) {
        format.Append(out.text, i);
        out.box.Extend(mesh.m_V[i]);
      };
      for (int f = chunk.firstFace; f < chunk.endFace; ++f) {
        const ON_MeshFace& face = mesh.m_F[f];
        corner(face.vi[0]), corner(face.vi[1]), corner(face.vi[2]);
        if (face.IsQuad()) corner(face.vi[0]), corner(face.vi[2]), corner(face.vi[3]);
        out.text += '\n';
      }
    });
    for (int k = 0; k < count; ++k) {
      writeChunk(chunks[first + static_cast<std::size_t>(k)], [&] {
        texts[k].box.MergeInto(writer);
        writer.WriteRawNarrow(texts[k].text);
      });
    }
  }
  return true;
}

void zem::WriteInitVB(ZEM_Rhino_WebGLExport& writer) {
  writer.WriteRawNarrow(zem::page_format::kInitVB);
  writer.WriteRawNarrow("{\n");
  CollectMeshes(writer);
  writer.WriteBoxLine();
}

void zem::CollectMeshes(ZEM_Rhino_WebGLExport& writer) {
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
      if (!MeshNeedsRepair(*mesh)) {
        // Sound as it is: written straight from the document.
        WriteMeshBuffers(writer, *mesh, materialNumber, textured ? mesh->m_T.Count() : 0);
        continue;
      }
      ON_Mesh copy(*mesh);
      RepairMeshForPage(copy);
      WriteMeshBuffers(writer, copy, materialNumber, textured ? copy.m_T.Count() : 0);
    }
  }
  writer.WriteMaterials();
}
