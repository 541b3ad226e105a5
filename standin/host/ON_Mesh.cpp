#include "standin/host/ON_Mesh.h"

#include <cmath>

bool ON_MeshFace::IsValid(int vertexCount) const {
  for (int i : vi) {
    if (i < 0 || i >= vertexCount) return false;
  }
  return true;
}

ON_Mesh::ON_Mesh(int faceCapacity, int vertexCapacity, bool hasVertexNormals, bool hasTextureCoordinates) {
  m_F.Reserve(faceCapacity);
  m_V.Reserve(vertexCapacity);
  if (hasVertexNormals) m_N.Reserve(vertexCapacity);
  if (hasTextureCoordinates) m_T.Reserve(vertexCapacity);
}

int ON_Mesh::TriangleCount() const {
  int n = 0;
  for (const ON_MeshFace& f : m_F) n += f.IsTriangle() ? 1 : 0;
  return n;
}

int ON_Mesh::QuadCount() const { return FaceCount() - TriangleCount(); }

bool ON_Mesh::SetVertex(int index, const ON_3dPoint& p) {
  if (index < 0) return false;
  if (index >= m_V.Count()) m_V.SetCount(index + 1);
  m_V[index] = ON_3fPoint(p);
  return true;
}

bool ON_Mesh::SetTriangle(int faceIndex, int a, int b, int c) { return SetQuad(faceIndex, a, b, c, c); }

bool ON_Mesh::SetQuad(int faceIndex, int a, int b, int c, int d) {
  if (faceIndex < 0) return false;
  if (faceIndex >= m_F.Count()) m_F.SetCount(faceIndex + 1);
  m_F[faceIndex] = ON_MeshFace{{a, b, c, d}};
  return true;
}

bool ON_Mesh::ComputeVertexNormals() {
  const int n = m_V.Count();
  std::vector<ON_3dVector> sum(static_cast<std::size_t>(n));
  for (const ON_MeshFace& f : m_F) {
    if (!f.IsValid(n)) return false;
    const ON_3dPoint a = m_V[f.vi[0]], b = m_V[f.vi[1]], c = m_V[f.vi[2]], d = m_V[f.vi[3]];
    // Twice the face's area vector (for a quad, the cross of its diagonals).
    ON_3dVector area = f.IsTriangle() ? ON_CrossProduct(b - a, c - a) : ON_CrossProduct(c - a, d - b);
    for (int k = 0; k < (f.IsTriangle() ? 3 : 4); ++k) {
      ON_3dVector& s = sum[static_cast<std::size_t>(f.vi[k])];
      s = s + area;
    }
  }
  m_N.SetCount(n);
  for (int i = 0; i < n; ++i) {
    ON_3dVector v = sum[static_cast<std::size_t>(i)];
    if (!v.Unitize()) v = ON_3dVector::ZAxis;
    m_N[i] = ON_3fVector(v);
  }
  return true;
}

bool ON_Mesh::IsValid() const {
  const int n = m_V.Count();
  if (m_N.Count() != 0 && m_N.Count() != n) return false;
  if (m_T.Count() != 0 && m_T.Count() != n) return false;
  for (const ON_MeshFace& f : m_F) {
    if (!f.IsValid(n)) return false;
  }
  for (const ON_3fPoint& p : m_V) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return false;
  }
  for (const ON_3fVector& v : m_N) {
    if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return false;
  }
  for (const ON_2fPoint& t : m_T) {
    if (!std::isfinite(t.x) || !std::isfinite(t.y)) return false;
  }
  return true;
}

ON_BoundingBox ON_Mesh::BoundingBox() const {
  ON_BoundingBox box;
  for (const ON_3fPoint& p : m_V) box.Set(p, true);
  return box;
}

void ON_Mesh::Destroy() {
  m_V.Destroy();
  m_N.Destroy();
  m_T.Destroy();
  m_F.Destroy();
}
