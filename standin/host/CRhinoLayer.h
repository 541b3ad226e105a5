#pragma once
// Layers of a document. A layer is shown when it and every parent layer are
// visible; it is locked when it or a parent is locked.
#include "standin/host/ON_Color.h"
#include "standin/host/ON_UUID.h"
#include "standin/host/ON_wString.h"

#include <vector>

class ON_Layer {
 public:
  const ON_wString& LayerName() const { return m_name; }
  bool IsVisible() const { return m_bVisible; }
  bool IsLocked() const { return m_bLocked; }
  void SetVisible(bool visible) { m_bVisible = visible; }
  void SetLocked(bool locked) { m_bLocked = locked; }
  ON_Color Color() const { return m_color; }

  ON_wString m_name;
  ON_UUID m_layer_id;
  ON_Color m_color{0, 0, 0};
  int m_material_index = -1;
  int m_parent_index = -1;  // -1: a top-level layer
  bool m_bVisible = true;
  bool m_bLocked = false;
};

class CRhinoLayer : public ON_Layer {
 public:
  CRhinoLayer() = default;
  explicit CRhinoLayer(const ON_Layer& layer) : ON_Layer(layer) {}
  int LayerIndex() const { return m_layer_index; }

 private:
  friend class CRhinoLayerTable;
  int m_layer_index = -1;
};

class CRhinoLayerTable {
 public:
  CRhinoLayerTable();
  int LayerCount() const { return static_cast<int>(m_layers.size()); }
  const CRhinoLayer& operator[](int index) const;
  CRhinoLayer& operator[](int index);
  // Appends a layer and answers its index. A parent index that names no
  // earlier layer makes it a top-level layer.
  int AddLayer(const ON_Layer& layer);
  int FindLayer(const wchar_t* name) const;
  bool ModifyLayer(const ON_Layer& layer, int index);
  // Shown or locked, parents included; an index of no layer is neither.
  bool IsLayerShown(int index) const;
  bool IsLayerLocked(int index) const;
  int CurrentLayerIndex() const { return 0; }

 private:
  std::vector<CRhinoLayer> m_layers;
};
