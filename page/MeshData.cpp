#include "page/MeshData.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "page/Base64.h"
#include "page/CompactMesh.h"
#include "page/NumberFormat.h"
#include "page/ParallelFor.h"
#include "page/ViewerTexts.h"
#include "page/ZEM_WebGLExport.h"

namespace zem {

namespace {

const float* Position(const PageMesh& mesh, int i) { return &mesh.positions[3 * static_cast<std::size_t>(i)]; }

// The vertex record "x,y,z,nx,ny,nz," and, textured, "u,v," of vertex i,
// appended to out.
class RecordFormat {
 public:
  RecordFormat(const PageMesh& mesh, bool textured) : m_mesh(mesh), m_textured(textured) {}

  void Append(std::string& out, int i) const {
    const std::size_t at = static_cast<std::size_t>(i);
    const float* p = &m_mesh.positions[3 * at];
    Number(out, p[0]), Number(out, p[1]), Number(out, p[2]);
    const float* n = &m_mesh.normals[3 * at];
    if (std::isfinite(n[0]) && std::isfinite(n[1]) && std::isfinite(n[2]))
      Number(out, n[0]), Number(out, n[1]), Number(out, n[2]);
    else
      Number(out, 0), Number(out, 0), Number(out, 1);
    if (m_textured) {
      const float* t = m_mesh.texCoords.empty() ? nullptr : &m_mesh.texCoords[2 * at];
      if (t && std::isfinite(t[0]) && std::isfinite(t[1]))
        Number(out, t[0]), Number(out, t[1]);
      else
        Number(out, 0), Number(out, 0);
    }
  }

 private:
  static void Number(std::string& out, double value) {
    char digits[kMaxNumberChars + 1];
    char* end = FormatNumberG(digits, value);
    *end++ = ',';
    out.append(digits, end);
  }

  const PageMesh& m_mesh;
  const bool m_textured;
};

// The box of the points given to Extend, widened as the page writer widens
// its own (an equal coordinate met later replaces an earlier one, which
// matters only for the sign of zero), so that boxes of consecutive parts
// merged in order give the box of the whole.
struct PartBox {
  float min[3], max[3];
  bool any = false;
  void Extend(const float* c) {
    for (int a = 0; a < 3; ++a) {
      if (!any || c[a] <= min[a]) min[a] = c[a];
      if (!any || c[a] >= max[a]) max[a] = c[a];
    }
    any = true;
  }
  void MergeInto(ZEM_WebGLExport& page) const {
    if (any) page.ExtendBounds(min, max);
  }
};

// A run of faces written as one buffer.
struct Chunk {
  int firstFace = 0, endFace = 0, triangles = 0;
};

bool IsQuad(const int* face) { return face[2] != face[3]; }

std::vector<Chunk> SplitIntoChunks(const PageMesh& mesh) {
  std::vector<Chunk> chunks(1);
  for (int f = 0; f < mesh.FaceCount(); ++f) {
    Chunk& chunk = chunks.back();
    chunk.triangles += IsQuad(&mesh.faces[4 * static_cast<std::size_t>(f)]) ? 2 : 1;
    chunk.endFace = f + 1;
    if (chunk.triangles >= kMeshChunkLimit) chunks.push_back({f + 1, f + 1, 0});
  }
  return chunks;
}

// The records of a set of vertices, made once each, in parallel parts; the
// text stays where it is while the set lives, and `begin` and `length`
// (indexed by vertex) say where each record is.
class RecordSet {
 public:
  RecordSet(const RecordFormat& format, const std::vector<int>& vertices, int threads, std::vector<const char*>& begin,
            std::vector<std::uint16_t>& length)
      : m_parts(
            static_cast<std::size_t>(std::min(threads * 4, std::max(1, static_cast<int>(vertices.size()) / 4096)))) {
    const int count = static_cast<int>(vertices.size()), parts = static_cast<int>(m_parts.size());
    ParallelFor(threads, parts, [&](int part) {
      const int first = static_cast<int>(static_cast<long long>(count) * part / parts);
      const int end = static_cast<int>(static_cast<long long>(count) * (part + 1) / parts);
      std::string& text = m_parts[part];
      text.reserve(static_cast<std::size_t>(end - first) * 64);
      for (int k = first; k < end; ++k) {
        const std::size_t before = text.size();
        format.Append(text, vertices[k]);
        length[vertices[k]] = static_cast<std::uint16_t>(text.size() - before);
      }
      // The part's text is whole now and stays where it is.
      const char* at = text.data();
      for (int k = first; k < end; ++k) {
        begin[vertices[k]] = at;
        at += length[vertices[k]];
      }
    });
  }

 private:
  std::vector<std::string> m_parts;
};
static_assert(8 * (kMaxNumberChars + 1) < 65536);

void AppendExact(std::string& out, double value) {
  char digits[32];
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, ec == std::errc() ? end : digits);
}

// One call of the page's decoder per mesh: material, layout, vertex count,
// how positions, normals and texture coordinates are stored (bounds and
// steps in the shortest text that reads back as the same double), the
// triangles of each buffer, the sections' lengths, the checksum, the data.
void WriteCompactMesh(ZEM_WebGLExport& page, const PageMesh& mesh, const MeshStyle& style,
                      const std::function<void(int)>& bufferWritten) {
  page.WriteMeshDecoderOnce();
  const CompactMesh stored = EncodeCompactMesh(mesh, kMeshChunkLimit, std::max(1, style.threads));
  for (int v : stored.vertices) page.ExtendBounds(Position(mesh, v));
  std::string head = "zemMesh(gl,posLoc,normLoc,texLoc,mi,buff,bl,";
  for (int n : {style.materialNumber, style.textured ? 1 : 0, stored.vertexCount}) head += std::to_string(n) + ',';
  head += stored.quantisedPositions ? "[1," : "[0,";
  for (double v : stored.positionMin) AppendExact(head, v), head += ',';
  for (double v : stored.positionStep) AppendExact(head, v), head += ',';
  head += std::to_string(stored.normalBits) + ',';
  head += std::to_string(static_cast<int>(stored.texCoords));
  for (double v : {stored.texMin[0], stored.texMin[1], stored.texStep[0], stored.texStep[1]})
    head += ',', AppendExact(head, v);
  head += "],[";
  for (std::size_t b = 0; b < stored.bufferTriangles.size(); ++b)
    head += (b ? "," : "") + std::to_string(stored.bufferTriangles[b]);
  head += "],[";
  for (int s = 0; s < CompactMesh::kSections; ++s) head += (s ? "," : "") + std::to_string(stored.sections[s]);
  head += "]," + std::to_string(stored.checksum) + ",\"";
  page.WriteRawNarrow(head);
  page.WriteRawNarrow(Base64Encode(stored.bytes.data(), stored.bytes.size()));
  page.WriteRawNarrow("\");\n");
  if (bufferWritten)
    for (int triangles : stored.bufferTriangles) bufferWritten(triangles);
}

// The standard form: each buffer a Float32Array of the corners' records.
class StandardBuffers {
 public:
  StandardBuffers(ZEM_WebGLExport& page, BufferNumbers& numbers, const PageMesh& mesh, const MeshStyle& style,
                  const std::function<void(int)>& bufferWritten)
      : m_page(page),
        m_numbers(numbers),
        m_mesh(mesh),
        m_style(style),
        m_bufferWritten(bufferWritten),
        m_format(mesh, style.textured),
        m_chunks(SplitIntoChunks(mesh)) {}

  void Write() {
    long long corners = 0;
    for (const Chunk& chunk : m_chunks) corners += 3LL * chunk.triangles;
    const int threads = std::max(1, m_style.threads);
    if (2LL * m_mesh.VertexCount() < corners)
      WriteShared(threads);
    else if (threads == 1)
      WriteEachCorner();
    else
      WriteEachCornerInParallel(threads);
  }

 private:
  void StartBuffer() {
    m_number = m_numbers.NextMeshBuffer();
    m_page.FormatNumbers("mi.push(%d);var v%d=new Float32Array([",
                         {static_cast<double>(m_style.materialNumber), static_cast<double>(m_number)});
  }

  void CloseBuffer(int triangles, bool split) {
    if (m_bufferWritten) m_bufferWritten(triangles);
    const double n = m_number;
    m_page.FormatNumbers(split ? "]);\n" : "]);", {});
    m_page.FormatNumbers(
        "bl.push(%d);var b%d=gl.createBuffer();buff.push(b%d);gl.bindBuffer(gl.ARRAY_BUFFER,b%d);"
        "gl.bufferData(gl.ARRAY_BUFFER,v%d,gl.STATIC_DRAW);",
        {static_cast<double>(triangles), n, n, n, n});
    m_page.WriteRawNarrow(page_format::MeshAttributeCalls(m_style.textured));
  }

  template <typename WriteFaces>
  void WriteChunk(const Chunk& chunk, WriteFaces&& writeFaces) {
    StartBuffer();
    writeFaces();
    CloseBuffer(chunk.triangles, &chunk != &m_chunks.back());
  }

  // Corners of face f through `corner` (a quadrangle as two triangles).
  template <typename Corner>
  void FaceCorners(int f, Corner&& corner) const {
    const int* face = &m_mesh.faces[4 * static_cast<std::size_t>(f)];
    corner(face[0]), corner(face[1]), corner(face[2]);
    if (IsQuad(face)) corner(face[0]), corner(face[2]), corner(face[3]);
  }

  // Writes every buffer in order, each face's corners through `corner`, a
  // line per face.
  template <typename Corner>
  void WriteFaces(Corner&& corner) {
    for (const Chunk& chunk : m_chunks) {
      WriteChunk(chunk, [&] {
        for (int f = chunk.firstFace; f < chunk.endFace; ++f) {
          FaceCorners(f, corner);
          m_page.WriteRawNarrow("\n");
        }
      });
    }
  }

  // Faces share their vertices: every record is made once, then copied for
  // each corner; the box grows by each vertex as it is first used. The
  // records are made a round of buffers at a time (in parallel), for the
  // vertices the round is the first to use, and a round's records go once
  // no later buffer uses them, so a mesh whose faces use their vertices near
  // where they are first used never holds the text of them all.
  void WriteShared(int threads) {
    const std::size_t vertexCount = static_cast<std::size_t>(m_mesh.VertexCount());
    const int chunkCount = static_cast<int>(m_chunks.size());
    std::vector<int> lastChunk(vertexCount, -1);
    for (int c = 0; c < chunkCount; ++c) {
      for (int f = m_chunks[c].firstFace; f < m_chunks[c].endFace; ++f)
        FaceCorners(f, [&](int i) { lastChunk[i] = c; });
    }
    struct Round {
      std::unique_ptr<RecordSet> records;
      int lastChunk = -1;  // the last buffer that uses one of them
    };
    std::vector<Round> rounds;
    std::vector<const char*> begin(vertexCount, nullptr);
    std::vector<std::uint16_t> length(vertexCount, 0);
    std::vector<bool> made(vertexCount, false), used(vertexCount, false);
    const int perRound = std::max(1, threads) * 8;
    for (int first = 0; first < chunkCount; first += perRound) {
      const int end = std::min(chunkCount, first + perRound);
      Round round;
      std::vector<int> fresh;
      for (int c = first; c < end; ++c) {
        for (int f = m_chunks[c].firstFace; f < m_chunks[c].endFace; ++f) {
          FaceCorners(f, [&](int i) {
            if (made[i]) return;
            made[i] = true;
            fresh.push_back(i);
            round.lastChunk = std::max(round.lastChunk, lastChunk[i]);
          });
        }
      }
      round.records = std::make_unique<RecordSet>(m_format, fresh, threads, begin, length);
      rounds.push_back(std::move(round));
      for (int c = first; c < end; ++c) {
        const Chunk& chunk = m_chunks[c];
        WriteChunk(chunk, [&] {
          for (int f = chunk.firstFace; f < chunk.endFace; ++f) {
            FaceCorners(f, [&](int i) {
              if (!used[i]) {
                used[i] = true;
                m_page.ExtendBounds(Position(m_mesh, i));
              }
              m_page.WriteRawNarrow(std::string_view(begin[i], length[i]));
            });
            m_page.WriteRawNarrow("\n");
          }
        });
      }
      std::erase_if(rounds, [&](const Round& r) { return r.lastChunk < end; });
    }
  }

  // Every corner its own record, formatted as it is written.
  void WriteEachCorner() {
    std::string record;
    WriteFaces([&](int i) {
      record.clear();
      m_format.Append(record, i);
      m_page.ExtendBounds(Position(m_mesh, i));
      m_page.WriteRawNarrow(record);
    });
  }

  // Every corner its own record: the buffers' texts are made in parallel, a
  // round of them at a time, and written in order.
  void WriteEachCornerInParallel(int threads) {
    struct ChunkText {
      std::string text;
      PartBox box;
    };
    const int round = threads * 4;
    std::vector<ChunkText> texts(static_cast<std::size_t>(round));
    for (std::size_t first = 0; first < m_chunks.size(); first += static_cast<std::size_t>(round)) {
      const int count = static_cast<int>(std::min<std::size_t>(round, m_chunks.size() - first));
      ParallelFor(threads, count, [&](int k) {
        const Chunk& chunk = m_chunks[first + static_cast<std::size_t>(k)];
        ChunkText& out = texts[k];
        out.text.clear();
        out.box = PartBox();
        for (int f = chunk.firstFace; f < chunk.endFace; ++f) {
          FaceCorners(f, [&](int i) {
            m_format.Append(out.text, i);
            out.box.Extend(Position(m_mesh, i));
          });
          out.text += '\n';
        }
      });
      for (int k = 0; k < count; ++k) {
        WriteChunk(m_chunks[first + static_cast<std::size_t>(k)], [&] {
          texts[k].box.MergeInto(m_page);
          m_page.WriteRawNarrow(texts[k].text);
        });
      }
    }
  }

  ZEM_WebGLExport& m_page;
  BufferNumbers& m_numbers;
  const PageMesh& m_mesh;
  const MeshStyle& m_style;
  const std::function<void(int)>& m_bufferWritten;
  const RecordFormat m_format;
  const std::vector<Chunk> m_chunks;
  int m_number = 0;
};

}  // namespace

double CompactEstimateBytesPerPage() {
  return static_cast<double>(viewer::MeshDecoder().size() + viewer::MeshoptDecoder().size() +
                             viewer::MeshoptLicence().size());
}

bool WriteInitVBHead(ZEM_WebGLExport& page) {
  if (!page.IsOpen()) return false;
  page.WriteRawNarrow(page_format::kInitVB);
  page.WriteRawNarrow("{\n");
  return true;
}

bool WriteMeshData(ZEM_WebGLExport& page, BufferNumbers& numbers, const PageMesh& mesh, const MeshStyle& style,
                   const std::function<void(int triangles)>& bufferWritten) {
  if (!page.IsOpen()) return false;
  if (style.compact)
    WriteCompactMesh(page, mesh, style, bufferWritten);
  else
    StandardBuffers(page, numbers, mesh, style, bufferWritten).Write();
  return true;
}

}  // namespace zem
