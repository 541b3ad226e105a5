#pragma once
// What a document keeps about an object besides its geometry: name, id,
// layer, colour, material and its mode (normal, hidden, locked).
#include "standin/host/ON_Color.h"
#include "standin/host/ON_UUID.h"
#include "standin/host/ON_wString.h"

class ON_3dmObjectAttributes {
 public:
  enum object_mode { normal_object = 0, hidden_object = 1, locked_object = 2 };
  enum color_source { color_from_layer = 0, color_from_object = 1, color_from_material = 2 };
  enum material_source { material_from_layer = 0, material_from_object = 1 };

  object_mode Mode() const { return m_mode; }
  void SetMode(object_mode mode) { m_mode = mode; }
  color_source ColorSource() const { return m_color_source; }
  void SetColorSource(color_source source) { m_color_source = source; }
  material_source MaterialSource() const { return m_material_source; }
  void SetMaterialSource(material_source source) { m_material_source = source; }

  ON_wString m_name;
  ON_UUID m_uuid;
  int m_layer_index = 0;
  int m_material_index = -1;
  ON_Color m_color{0, 0, 0};

 private:
  object_mode m_mode = normal_object;
  color_source m_color_source = color_from_layer;
  material_source m_material_source = material_from_layer;
};
