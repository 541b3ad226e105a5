#include "standin/host/CRhinoMeshObject.h"

#include "standin/host/ON_PolylineCurve.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_map>
#include <vector>

int CRhinoMeshObject::GetMeshes(ON::mesh_type, ON_SimpleArray<const ON_Mesh*>& meshes) const {
  meshes.Append(&m_mesh);
  return 1;
}

int CRhinoMeshObject::GetWireframeCurves(ON_SimpleArray<ON_Curve*>& curves) const {
  return zem::MeshNakedEdgePolylines(m_mesh, curves);
}

namespace zem {

namespace {

struct PositionHash {
  std::size_t operator()(const ON_3fPoint& p) const {
    std::uint32_t bits[3];
    std::memcpy(bits, &p, sizeof bits);
    return (bits[0] * 73856093u) ^ (bits[1] * 19349663u) ^ (bits[2] * 83492791u);
  }
};

}  // namespace

int MeshNakedEdgePolylines(const ON_Mesh& mesh, ON_SimpleArray<ON_Curve*>& curves) {
  const int vertexCount = mesh.VertexCount();
  // Topological vertices: one per distinct position.
  std::vector<int> topo(static_cast<std::size_t>(vertexCount));
  std::vector<int> topoToVertex;
  std::unordered_map<ON_3fPoint, int, PositionHash> byPosition;
  byPosition.reserve(static_cast<std::size_t>(vertexCount));
  for (int i = 0; i < vertexCount; ++i) {
    auto [it, added] = byPosition.emplace(mesh.m_V[i], static_cast<int>(topoToVertex.size()));
    if (added) topoToVertex.push_back(i);
    topo[static_cast<std::size_t>(i)] = it->second;
  }
  // Count the faces on each edge.
  std::map<std::pair<int, int>, int> edgeUse;
  for (const ON_MeshFace& f : mesh.m_F) {
    if (!f.IsValid(vertexCount)) continue;
    const int corners = f.IsTriangle() ? 3 : 4;
    for (int k = 0; k < corners; ++k) {
      int a = topo[static_cast<std::size_t>(f.vi[k])], b = topo[static_cast<std::size_t>(f.vi[(k + 1) % corners])];
      if (a == b) continue;
      ++edgeUse[{std::min(a, b), std::max(a, b)}];
    }
  }
  // Naked edges, as an adjacency list of topological vertices. Each list
  // keeps a cursor past the edges already taken, so a vertex on many naked
  // edges (the hub of a fan of loose triangles) is scanned once in all,
  // not once per step through it.
  struct NakedEdges {
    std::vector<int> neighbours;
    std::size_t next = 0;
  };
  std::map<int, NakedEdges> adjacent;
  std::map<std::pair<int, int>, bool> used;
  for (const auto& [edge, uses] : edgeUse) {
    if (uses != 1) continue;
    adjacent[edge.first].neighbours.push_back(edge.second);
    adjacent[edge.second].neighbours.push_back(edge.first);
    used[edge] = false;
  }
  auto take = [&](int a, int b) {
    auto it = used.find({std::min(a, b), std::max(a, b)});
    if (it == used.end() || it->second) return false;
    it->second = true;
    return true;
  };
  auto walk = [&](int start) {
    ON_Polyline points;
    points.Append(mesh.m_V[topoToVertex[static_cast<std::size_t>(start)]]);
    int current = start;
    for (;;) {
      int next = -1;
      NakedEdges& here = adjacent[current];
      while (here.next < here.neighbours.size()) {
        const int n = here.neighbours[here.next++];
        if (take(current, n)) {
          next = n;
          break;
        }
      }
      if (next < 0) break;
      points.Append(mesh.m_V[topoToVertex[static_cast<std::size_t>(next)]]);
      current = next;
      if (current == start) break;
    }
    if (points.Count() >= 2) curves.Append(new ON_PolylineCurve(points));
  };
  const int before = curves.Count();
  // Open chains start at their ends (vertices not on exactly two naked
  // edges); what is left are closed loops.
  for (const auto& [vertex, edges] : adjacent) {
    if (edges.neighbours.size() != 2) {
      for (std::size_t k = 0; k < edges.neighbours.size(); ++k) walk(vertex);
    }
  }
  for (const auto& [vertex, edges] : adjacent) walk(vertex);
  return curves.Count() - before;
}

}  // namespace zem
