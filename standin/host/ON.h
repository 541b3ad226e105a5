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

  // The model's unit of length (the numbers are the file format's).
  enum class LengthUnitSystem : unsigned char {
    None = 0,
    Microns = 1,
    Millimeters = 2,
    Centimeters = 3,
    Meters = 4,
    Kilometers = 5,
    Microinches = 6,
    Mils = 7,
    Inches = 8,
    Feet = 9,
    Miles = 10,
    CustomUnits = 11,
    Angstroms = 12,
    Nanometers = 13,
    Decimeters = 14,
    Dekameters = 15,
    Hectometers = 16,
    Megameters = 17,
    Gigameters = 18,
    Yards = 19,
    PrintersPoints = 20,
    Picas = 21,
    NauticalMiles = 22,
    AstronomicalUnits = 23,
    LightYears = 24,
    Parsecs = 25,
    Unset = 255,
  };
};
