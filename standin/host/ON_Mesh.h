#pragma once
// A polygon mesh: single-precision vertices, one normal and (optionally)
// one texture coordinate per vertex, and faces of four vertex indices; a
// triangle repeats its third index.
#include "standin/host/ON_BoundingBox.h"
#include "standin/host/ON_Point.h"
#include "standin/host/ON_SimpleArray.h"

class ON_MeshFace {
 public:
  int vi[4] = {0, 0, 0, 0};
  bool IsTriangle() const { return vi[2] == vi[3]; }
  bool IsQuad() const { return vi[2] != vi[3]; }
  // True when every index is below vertexCount and not negative.
  bool IsValid(int vertexCount) const;
};

class ON_Mesh {
 public:
  ON_Mesh() = default;
  ON_Mesh(int faceCapacity, int vertexCapacity, bool hasVertexNormals, bool hasTextureCoordinates);
  ON_Mesh(const ON_Mesh&) = default;
  ON_Mesh& operator=(const ON_Mesh&) = default;
  ON_Mesh(ON_Mesh&&) noexcept = default;
  ON_Mesh& operator=(ON_Mesh&&) noexcept = default;
  virtual ~ON_Mesh() = default;

  int VertexCount() const { return m_V.Count(); }
  int FaceCount() const { return m_F.Count(); }
  int TriangleCount() const;
  int QuadCount() const;
  bool HasVertexNormals() const { return m_N.Count() > 0 && m_N.Count() == m_V.Count(); }
  bool HasTextureCoordinates() const { return m_T.Count() > 0 && m_T.Count() == m_V.Count(); }

  bool SetVertex(int index, const ON_3dPoint& p);
  bool SetTriangle(int faceIndex, int a, int b, int c);
  bool SetQuad(int faceIndex, int a, int b, int c, int d);

  // Area-weighted vertex normals from the faces; vertices on no face get
  // (0, 0, 1). Answers false when a face index is out of range.
  bool ComputeVertexNormals();
  // Every face index in range, one normal (if any) and one texture coordinate
  // (if any) per vertex, every coordinate finite.
  bool IsValid() const;
  ON_BoundingBox BoundingBox() const;
  void Destroy();

  ON_SimpleArray<ON_3fPoint> m_V;
  ON_SimpleArray<ON_3fVector> m_N;
  ON_SimpleArray<ON_2fPoint> m_T;
  ON_SimpleArray<ON_MeshFace> m_F;
};
