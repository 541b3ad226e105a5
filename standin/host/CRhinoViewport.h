#pragma once
// One viewport of a view: a name and a camera (ON_Viewport).
#include "standin/host/ON_Viewport.h"
#include "standin/host/ON_wString.h"

class CRhinoViewport {
 public:
  CRhinoViewport() = default;
  explicit CRhinoViewport(const wchar_t* name) : m_name(name) {}

  const ON_Viewport& VP() const { return m_vp; }
  ON_Viewport& VP() { return m_vp; }
  bool SetVP(const ON_Viewport& vp);
  ON_UUID ViewportId() const { return m_vp.ViewportId(); }
  const ON_wString& Name() const { return m_name; }
  void SetName(const wchar_t* name) { m_name = name; }

 private:
  ON_Viewport m_vp;
  ON_wString m_name;
};
