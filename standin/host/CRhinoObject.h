#pragma once
// An object of a document: its geometry (in the subclasses), attributes,
// visibility, material, draw colour, render meshes and wireframe curves.
#include "standin/host/ON.h"
#include "standin/host/ON_3dmObjectAttributes.h"
#include "standin/host/ON_BoundingBox.h"
#include "standin/host/ON_Curve.h"
#include "standin/host/ON_Mesh.h"
#include "standin/host/ON_SimpleArray.h"

class CRhinoDoc;
class CRhinoMaterial;

class CRhinoObject {
 public:
  CRhinoObject() = default;
  CRhinoObject(const CRhinoObject&) = delete;
  CRhinoObject& operator=(const CRhinoObject&) = delete;
  virtual ~CRhinoObject() = default;

  virtual ON::object_type ObjectType() const = 0;
  virtual ON_BoundingBox BoundingBox() const = 0;
  // Appends the object's meshes of the given kind to `meshes` and answers
  // their count. The meshes belong to the object.
  virtual int GetMeshes(ON::mesh_type type, ON_SimpleArray<const ON_Mesh*>& meshes) const;
  // Appends the curves that draw the object in wireframe and answers their
  // count. The caller owns the curves and deletes them.
  virtual int GetWireframeCurves(ON_SimpleArray<ON_Curve*>& curves) const;

  const ON_3dmObjectAttributes& Attributes() const { return m_attributes; }
  bool ModifyAttributes(const ON_3dmObjectAttributes& attributes);
  CRhinoDoc* Document() const { return m_doc; }
  ON_UUID ModelObjectId() const { return m_attributes.m_uuid; }

  // Drawn at all: not deleted, not hidden, and its layer shown.
  bool IsVisible() const;
  bool IsHidden() const;
  // Locked itself or through its layer.
  bool IsLocked() const;
  bool IsDeleted() const { return m_deleted; }
  bool IsReference() const { return m_reference; }
  bool IsNormal() const { return !IsHidden() && !IsLocked(); }

  // The material the object renders with: its own or its layer's, as the
  // attributes say; the default material (index -1) when that names no
  // document material.
  const CRhinoMaterial& ObjectMaterial() const;
  // The colour the object is drawn in; selected objects are drawn yellow.
  ON_Color ObjectDrawColor(bool selected = false) const;

 protected:
  ON_3dmObjectAttributes m_attributes;

 private:
  friend class CRhinoDoc;
  CRhinoDoc* m_doc = nullptr;
  bool m_deleted = false;
  bool m_reference = false;
};
