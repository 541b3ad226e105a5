#pragma once
// A texture of a material: the image file it shows and how it is applied.
#include "standin/host/ON_wString.h"

class ON_Texture {
 public:
  enum TYPE : int {
    no_texture_type = 0,
    bitmap_texture = 1,  // the colour image
    bump_texture = 2,
    transparency_texture = 3,
    emap_texture = 86,  // environment map
  };
  enum MODE : int {
    no_texture_mode = 0,
    modulate_texture = 1,  // multiplies the material colour
    decal_texture = 2,     // lies over the colour by its alpha
    blend_texture = 3,
  };

  ON_wString m_filename;
  bool m_bOn = true;
  TYPE m_type = bitmap_texture;
  MODE m_mode = modulate_texture;
  // Alpha blending: the constant and the four coefficients.
  double m_blend_constant_A = 1.0;
  double m_blend_A[4] = {0.0, 0.0, 0.0, 1.0};
};
