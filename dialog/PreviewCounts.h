#pragma once
// What the preview conduit counted in the last frame of the active viewport,
// the export dialog's size estimate reads: the render meshes (M), their
// weighted triangles (T: a triangle of a mesh with texture coordinates
// weighs 4/3, a quadrangle two triangles), the wire curves (C) and the
// points of their polylines (P). 64 bits: a scanned model's weighted
// triangles add up past what 32 bits hold.
namespace zem {

struct PreviewCounts {
  long long meshes = 0;
  long long triangles = 0;
  long long curves = 0;
  long long points = 0;
  bool operator==(const PreviewCounts&) const = default;
};

}  // namespace zem
