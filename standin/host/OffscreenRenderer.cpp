#include "standin/host/OffscreenRenderer.h"

#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoObjectIterator.h"
#include "standin/host/CRhinoPointCloudObject.h"
#include "standin/host/CRhinoPointObject.h"
#include "standin/host/RhinoConvertCurveToPolyline.h"

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace zem {

namespace {

struct Context {
  OSMesaContext context = nullptr;
  ~Context() {
    if (!context) return;
    // Unbound first, so that the context takes its framebuffer with it.
    OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
    OSMesaDestroyContext(context);
  }
};

void Colour(const ON_Color& c, float alpha, float out[4]) {
  out[0] = c.Red() / 255.0f, out[1] = c.Green() / 255.0f, out[2] = c.Blue() / 255.0f, out[3] = alpha;
}

void DrawBackground(const CDisplayPipelineAttributes& mode, const RenderSettings& s) {
  ON_Color tl(255, 255, 255), bl = tl, tr = tl, br = tl;
  if (s.background) {
    switch (mode.BackgroundFillMode()) {
      case CDisplayPipelineAttributes::FBFM_DEFAULT_COLOR:
        tl = bl = tr = br = s.applicationBackground;
        break;
      case CDisplayPipelineAttributes::FBFM_SOLID_COLOR:
        tl = bl = tr = br = mode.m_SolidColor;
        break;
      case CDisplayPipelineAttributes::FBFM_GRADIENT_2_COLOR:
        tl = tr = mode.m_GradTopLeft;
        bl = br = mode.m_GradBotLeft;
        break;
      default:
        tl = mode.m_GradTopLeft, bl = mode.m_GradBotLeft, tr = mode.m_GradTopRight, br = mode.m_GradBotRight;
        break;
    }
  }
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glBegin(GL_QUADS);
  glColor3ub(static_cast<GLubyte>(bl.Red()), static_cast<GLubyte>(bl.Green()), static_cast<GLubyte>(bl.Blue()));
  glVertex2f(-1, -1);
  glColor3ub(static_cast<GLubyte>(br.Red()), static_cast<GLubyte>(br.Green()), static_cast<GLubyte>(br.Blue()));
  glVertex2f(1, -1);
  glColor3ub(static_cast<GLubyte>(tr.Red()), static_cast<GLubyte>(tr.Green()), static_cast<GLubyte>(tr.Blue()));
  glVertex2f(1, 1);
  glColor3ub(static_cast<GLubyte>(tl.Red()), static_cast<GLubyte>(tl.Green()), static_cast<GLubyte>(tl.Blue()));
  glVertex2f(-1, 1);
  glEnd();
}

// Projection and camera from the viewport; near and far planes fitted to
// the scene, the frustum widened to the picture's aspect.
void SetUpCamera(const ON_Viewport& vp, const ON_BoundingBox& box, const RenderSettings& s) {
  const ON_3dVector X = vp.CameraX(), Y = vp.CameraY(), Z = vp.CameraZ();
  const ON_3dPoint E = vp.CameraLocation();
  double l, r, b, t, n, f;
  vp.GetFrustum(&l, &r, &b, &t, &n, &f);
  // Depths of the scene in front of the camera.
  double nearest = 1e300, farthest = 0;
  if (box.IsValid()) {
    for (int k = 0; k < 8; ++k) {
      const ON_3dPoint p((k & 1 ? box.m_max : box.m_min).x, (k & 2 ? box.m_max : box.m_min).y,
                         (k & 4 ? box.m_max : box.m_min).z);
      const double depth = -ON_DotProduct(p - E, Z);
      nearest = std::min(nearest, depth);
      farthest = std::max(farthest, depth);
    }
  }
  if (!(farthest > 0)) farthest = f;
  const double aspect = static_cast<double>(s.width) / s.height;
  double cx = (l + r) / 2, cy = (b + t) / 2, hw = (r - l) / 2, hh = (t - b) / 2;
  if (hw / hh < aspect) {
    hw = hh * aspect;
  } else {
    hh = hw / aspect;
  }
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (vp.IsPerspectiveProjection()) {
    const double zFar = farthest * 1.05 + 1e-9;
    const double zNear = std::max(nearest * 0.95, zFar * 1e-4);
    const double k = zNear / n;
    glFrustum((cx - hw) * k, (cx + hw) * k, (cy - hh) * k, (cy + hh) * k, zNear, zFar);
  } else {
    const double span = std::max(farthest - std::min(nearest, 0.0), 1e-9);
    glOrtho(cx - hw, cx + hw, cy - hh, cy + hh, std::min(nearest, 0.0) - 0.05 * span, farthest + 0.05 * span);
  }
  glMatrixMode(GL_MODELVIEW);
  const GLdouble view[16] = {X.x,
                             Y.x,
                             Z.x,
                             0,
                             X.y,
                             Y.y,
                             Z.y,
                             0,
                             X.z,
                             Y.z,
                             Z.z,
                             0,
                             -ON_DotProduct(E - ON_3dPoint::Origin, X),
                             -ON_DotProduct(E - ON_3dPoint::Origin, Y),
                             -ON_DotProduct(E - ON_3dPoint::Origin, Z),
                             1};
  glLoadMatrixd(view);
}

void SetMaterial(const ON_Material& m, bool lighting) {
  const float alpha = static_cast<float>(1.0 - std::clamp(m.m_transparency, 0.0, 1.0));
  float diffuse[4], specular[4], emission[4];
  Colour(m.m_diffuse, alpha, diffuse);
  Colour(m.Shine() > 0 ? m.m_specular : ON_Color(0, 0, 0), alpha, specular);
  Colour(m.m_emission, alpha, emission);
  const float ambient[4] = {diffuse[0] * 0.35f, diffuse[1] * 0.35f, diffuse[2] * 0.35f, alpha};
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, static_cast<float>(m.Shine() / ON_Material::MaxShine() * 128));
  glColor4fv(diffuse);
  if (!lighting) glDisable(GL_LIGHTING);
}

void DrawMesh(const ON_Mesh& mesh) {
  const int n = mesh.VertexCount();
  if (n == 0 || mesh.FaceCount() == 0) return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, mesh.m_V.Array());
  if (mesh.HasVertexNormals()) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, mesh.m_N.Array());
  }
  // Drawn in slices of triangles, in the faces' order, each flushed: the
  // renderer keeps the triangles it has been given until a flush, so a
  // large mesh drawn at once would hold them all. A flush also copies the
  // whole picture into the buffer OSMesa was given (7.7 MB for the
  // preview's 1600 x 1200), so slices are not made smaller than this. Only
  // one slice of indices is made at a time.
  constexpr std::size_t kSlice = 3 * 65536;
  std::vector<GLuint> slice;
  slice.reserve(kSlice);
  auto draw = [&] {
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(slice.size()), GL_UNSIGNED_INT, slice.data());
    glFlush();
    slice.clear();
  };
  auto triangle = [&](int a, int b, int c) {
    slice.push_back(static_cast<GLuint>(a));
    slice.push_back(static_cast<GLuint>(b));
    slice.push_back(static_cast<GLuint>(c));
    if (slice.size() == kSlice) draw();
  };
  for (const ON_MeshFace& f : mesh.m_F) {
    if (!f.IsValid(n)) continue;
    triangle(f.vi[0], f.vi[1], f.vi[2]);
    if (f.IsQuad()) triangle(f.vi[0], f.vi[2], f.vi[3]);
  }
  if (!slice.empty()) draw();
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
}

void DrawCurve(const ON_Curve& curve, const ON_Color& colour) {
  ON_PolylineCurve polyline;
  RhinoConvertCurveToPolyline(curve, 0, 0, 0.1, 1.0, 0, 0, 0, 0, &polyline, true, nullptr);
  glColor3ub(static_cast<GLubyte>(colour.Red()), static_cast<GLubyte>(colour.Green()),
             static_cast<GLubyte>(colour.Blue()));
  glBegin(GL_LINE_STRIP);
  for (const ON_3dPoint& p : polyline.m_pline) glVertex3d(p.x, p.y, p.z);
  glEnd();
}

}  // namespace

bool RenderOffscreen(const CRhinoDoc& doc, const ON_Viewport& vp, const CDisplayPipelineAttributes& mode,
                     const RenderSettings& s, CRhinoUiDib& out) {
  if (s.width < 1 || s.height < 1) return false;
  Context context;
  context.context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
  if (!context.context) return false;
  std::vector<GLubyte> pixels(static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height) * 4);
  if (!OSMesaMakeCurrent(context.context, pixels.data(), GL_UNSIGNED_BYTE, s.width, s.height)) return false;
  glViewport(0, 0, s.width, s.height);
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  DrawBackground(mode, s);

  SetUpCamera(vp, doc.BoundingBox(), s);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_NORMALIZE);
  glEnable(GL_LINE_SMOOTH);
  glLineWidth(s.lineWidth);
  glPointSize(std::max(3.0f, 3 * s.lineWidth));
  {
    // A light at the camera: set with the camera's own frame.
    glPushMatrix();
    glLoadIdentity();
    const float position[4] = {0.2f, 0.3f, 1.0f, 0.0f};
    const float white[4] = {1, 1, 1, 1}, dim[4] = {0.25f, 0.25f, 0.25f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, dim);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glEnable(GL_LIGHT0);
    glPopMatrix();
  }

  std::vector<const CRhinoObject*> objects;
  CRhinoObjectIterator it(doc, CRhinoObjectIterator::normal_or_locked_objects,
                          CRhinoObjectIterator::active_and_reference_objects);
  it.EnableVisibleFilter(true);
  for (const CRhinoObject* o = it.First(); o; o = it.Next()) objects.push_back(o);

  // Shaded meshes: opaque ones first, then the see-through ones over them.
  if (mode.m_bShadingOn) {
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1, 1);
    for (int pass = 0; pass < 2; ++pass) {
      if (pass == 1) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glDepthMask(GL_FALSE);
      }
      for (const CRhinoObject* o : objects) {
        if (o->ObjectType() != ON::mesh_object && o->ObjectType() != ON::brep_object) continue;
        const ON_Material& material =
            mode.m_bUseObjectMaterial ? static_cast<const ON_Material&>(o->ObjectMaterial()) : mode.m_FrontMaterial;
        if ((material.m_transparency > 0) != (pass == 1)) continue;
        ON_SimpleArray<const ON_Mesh*> meshes;
        if (o->GetMeshes(ON::render_mesh, meshes) <= 0) continue;
        if (s.lighting) glEnable(GL_LIGHTING);
        SetMaterial(material, s.lighting);
        for (const ON_Mesh* mesh : meshes) {
          if (mesh) DrawMesh(*mesh);
        }
      }
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glDisable(GL_POLYGON_OFFSET_FILL);
  }

  // Curves, wires and points in their draw colours.
  glDisable(GL_LIGHTING);
  if (s.wires) {
    for (const CRhinoObject* o : objects) {
      const ON::object_type type = o->ObjectType();
      const ON_Color colour = o->ObjectDrawColor(false);
      if (type == ON::point_object) {
        const ON_3dPoint& p = static_cast<const CRhinoPointObject*>(o)->Point();
        glColor3ub(static_cast<GLubyte>(colour.Red()), static_cast<GLubyte>(colour.Green()),
                   static_cast<GLubyte>(colour.Blue()));
        glBegin(GL_POINTS);
        glVertex3d(p.x, p.y, p.z);
        glEnd();
        continue;
      }
      if (type == ON::pointset_object) {
        glColor3ub(static_cast<GLubyte>(colour.Red()), static_cast<GLubyte>(colour.Green()),
                   static_cast<GLubyte>(colour.Blue()));
        glBegin(GL_POINTS);
        for (const ON_3dPoint& p : static_cast<const CRhinoPointCloudObject*>(o)->Points()) glVertex3d(p.x, p.y, p.z);
        glEnd();
        continue;
      }
      const bool wanted = (type == ON::curve_object && mode.m_bShowCurves) ||
                          (type == ON::brep_object && mode.m_bShowSurfaceWires) ||
                          (type == ON::mesh_object && mode.m_bShowMeshWires);
      if (!wanted) continue;
      ON_SimpleArray<ON_Curve*> curves;
      o->GetWireframeCurves(curves);
      for (ON_Curve* c : curves) {
        DrawCurve(*c, colour);
        delete c;
      }
    }
  }
  glFinish();

  // OSMesa's rows run from the bottom, as the bitmap's do.
  if (!out.CreateDib(s.width, s.height, 24)) return false;
  BYTE* dst = out.Bits();
  for (std::size_t i = 0, n = static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height); i < n; ++i) {
    dst[i * 3] = pixels[i * 4];
    dst[i * 3 + 1] = pixels[i * 4 + 1];
    dst[i * 3 + 2] = pixels[i * 4 + 2];
  }
  return true;
}

}  // namespace zem

// Mesa keeps about a kilobyte of state for the life of the process once a
// context has been made current; the leak checker is told so.
extern "C" __attribute__((used, visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libOSMesa.so\n";
}
