#pragma once
// A text dot: a short text shown on a round label at a point; it keeps its
// size on screen and has no wireframe curves.
#include "standin/host/CRhinoObject.h"
#include "standin/host/ON_wString.h"

class CRhinoTextDot : public CRhinoObject {
 public:
  CRhinoTextDot() = default;
  CRhinoTextDot(const ON_3dPoint& point, const wchar_t* text) : m_point(point), m_text(text) {}

  ON::object_type ObjectType() const override { return ON::text_dot; }
  ON_BoundingBox BoundingBox() const override {
    ON_BoundingBox box;
    box.Set(m_point, false);
    return box;
  }
  const ON_3dPoint& Point() const { return m_point; }
  void SetPoint(const ON_3dPoint& point) { m_point = point; }
  const wchar_t* TextString() const { return m_text.c_str(); }
  void SetTextString(const wchar_t* text) { m_text = text; }

 private:
  ON_3dPoint m_point;
  ON_wString m_text;
};
