#pragma once
// Enumerations of the geometry library.

class ON {
 public:
  enum object_type : unsigned int {
    unknown_object_type = 0,
    point_object = 1,
    pointset_object = 2,
    curve_object = 4,
    surface_object = 8,
    brep_object = 16,
    mesh_object = 32,
    annotation_object = 512,
    text_dot = 8192,
  };

  enum mesh_type {
    default_mesh = 0,
    render_mesh = 1,
    analysis_mesh = 2,
    any_mesh = 3,
  };
};
