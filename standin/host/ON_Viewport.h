#pragma once
// A camera with its frustum and the screen port it draws into. The camera
// frame: CameraZ points back from the target to the eye, CameraY is the up
// vector made perpendicular to the direction, CameraX = CameraY x CameraZ.
// The frustum is given at the near plane (in world units of the camera
// frame); a perspective frustum widens with distance, a parallel one not.
#include "standin/host/ON_BoundingBox.h"
#include "standin/host/ON_Point.h"
#include "standin/host/ON_UUID.h"

class ON_Viewport {
 public:
  ON_Viewport();

  bool SetProjection(bool perspective);
  bool IsPerspectiveProjection() const { return m_perspective; }
  bool IsParallelProjection() const { return !m_perspective; }

  bool SetCameraLocation(const ON_3dPoint& location);
  bool SetCameraDirection(const ON_3dVector& direction);
  bool SetCameraUp(const ON_3dVector& up);
  void SetTargetPoint(const ON_3dPoint& target) { m_target = target; }
  // Places the eye, aims it at the target and sets the up vector at once.
  bool SetCamera(const ON_3dPoint& location, const ON_3dPoint& target, const ON_3dVector& up);

  const ON_3dPoint& CameraLocation() const { return m_location; }
  const ON_3dVector& CameraDirection() const { return m_direction; }
  // The up vector as it was given.
  const ON_3dVector& CameraUp() const { return m_up; }
  const ON_3dPoint& TargetPoint() const { return m_target; }
  ON_3dVector CameraX() const;
  ON_3dVector CameraY() const;
  ON_3dVector CameraZ() const;

  bool SetFrustum(double left, double right, double bottom, double top, double nearDist, double farDist);
  bool GetFrustum(double* left, double* right, double* bottom, double* top, double* nearDist = nullptr,
                  double* farDist = nullptr) const;
  bool SetFrustumNearFar(double nearDist, double farDist);
  // A 35 mm camera's lens: the smaller side of the frustum sees as much as
  // the 24 mm side of the film does behind a lens of this length. Keeps the
  // screen port's aspect.
  bool SetCamera35mmLensLength(double lensLength);
  double Camera35mmLensLength() const;

  // Half angles of the frustum's diagonal, vertical and horizontal, in
  // radians. For a parallel projection, the angles under which the frustum
  // appears from the camera at the target's distance.
  bool GetCameraAngle(double* halfDiagonal, double* halfVertical, double* halfHorizontal) const;
  // Half of the smaller frustum angle.
  bool GetCameraAngle(double* halfSmallest) const;

  bool SetScreenPort(int left, int right, int bottom, int top, int nearZ = 0, int farZ = 0);
  bool GetScreenPort(int* left, int* right, int* bottom, int* top, int* nearZ = nullptr, int* farZ = nullptr) const;
  double ScreenPortAspect() const;

  const ON_UUID& ViewportId() const { return m_id; }
  void SetViewportId(const ON_UUID& id) { m_id = id; }

  // Moves the camera back along its direction (and sets the target at the
  // box's centre) until the whole box is in view, as zoom extents does;
  // parallel frusta are sized to the box.
  bool ZoomExtents(const ON_BoundingBox& box);

 private:
  bool m_perspective = true;
  ON_3dPoint m_location{0, -100, 0};
  ON_3dVector m_direction{0, 1, 0};
  ON_3dVector m_up{0, 0, 1};
  ON_3dPoint m_target{0, 0, 0};
  double m_frus[6] = {-1, 1, -0.75, 0.75, 1, 1000};
  int m_port[6] = {0, 800, 600, 0, 0, 0};
  ON_UUID m_id;
};
