#pragma once
// Points and vectors of the geometry library, in double and single
// precision.
#include <cmath>

class ON_3dVector;

class ON_3dPoint {
 public:
  double x = 0, y = 0, z = 0;
  constexpr ON_3dPoint() = default;
  constexpr ON_3dPoint(double px, double py, double pz) : x(px), y(py), z(pz) {}
  inline explicit ON_3dPoint(const ON_3dVector& v);
  double operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
  double& operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }
  bool IsValid() const { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }
  inline double DistanceTo(const ON_3dPoint& p) const;
  friend bool operator==(const ON_3dPoint&, const ON_3dPoint&) = default;
  static const ON_3dPoint Origin;
};

class ON_3dVector {
 public:
  double x = 0, y = 0, z = 0;
  constexpr ON_3dVector() = default;
  constexpr ON_3dVector(double px, double py, double pz) : x(px), y(py), z(pz) {}
  double operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
  double& operator[](int i) { return i == 0 ? x : i == 1 ? y : z; }
  double LengthSquared() const { return x * x + y * y + z * z; }
  double Length() const { return std::sqrt(LengthSquared()); }
  bool IsValid() const { return std::isfinite(x) && std::isfinite(y) && std::isfinite(z); }
  bool IsZero() const { return x == 0 && y == 0 && z == 0; }
  // Makes the vector unit length; answers false (and leaves it) when it is 0.
  bool Unitize() {
    double len = Length();
    if (!(len > 0) || !std::isfinite(len)) return false;
    x /= len, y /= len, z /= len;
    return true;
  }
  ON_3dVector operator-() const { return {-x, -y, -z}; }
  friend bool operator==(const ON_3dVector&, const ON_3dVector&) = default;
  static const ON_3dVector XAxis, YAxis, ZAxis, ZeroVector;
};

inline ON_3dPoint::ON_3dPoint(const ON_3dVector& v) : x(v.x), y(v.y), z(v.z) {}

inline ON_3dVector operator-(const ON_3dPoint& a, const ON_3dPoint& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline ON_3dPoint operator+(const ON_3dPoint& p, const ON_3dVector& v) { return {p.x + v.x, p.y + v.y, p.z + v.z}; }
inline ON_3dPoint operator-(const ON_3dPoint& p, const ON_3dVector& v) { return {p.x - v.x, p.y - v.y, p.z - v.z}; }
inline ON_3dVector operator+(const ON_3dVector& a, const ON_3dVector& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline ON_3dVector operator-(const ON_3dVector& a, const ON_3dVector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline ON_3dVector operator*(double s, const ON_3dVector& v) { return {s * v.x, s * v.y, s * v.z}; }
inline ON_3dVector operator*(const ON_3dVector& v, double s) { return {s * v.x, s * v.y, s * v.z}; }
inline double ON_DotProduct(const ON_3dVector& a, const ON_3dVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline ON_3dVector ON_CrossProduct(const ON_3dVector& a, const ON_3dVector& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double ON_3dPoint::DistanceTo(const ON_3dPoint& p) const { return (p - *this).Length(); }

inline constexpr ON_3dPoint ON_3dPoint::Origin{0, 0, 0};
inline constexpr ON_3dVector ON_3dVector::XAxis{1, 0, 0};
inline constexpr ON_3dVector ON_3dVector::YAxis{0, 1, 0};
inline constexpr ON_3dVector ON_3dVector::ZAxis{0, 0, 1};
inline constexpr ON_3dVector ON_3dVector::ZeroVector{0, 0, 0};

class ON_3fPoint {
 public:
  float x = 0, y = 0, z = 0;
  constexpr ON_3fPoint() = default;
  constexpr ON_3fPoint(float px, float py, float pz) : x(px), y(py), z(pz) {}
  explicit ON_3fPoint(const ON_3dPoint& p)
      : x(static_cast<float>(p.x)), y(static_cast<float>(p.y)), z(static_cast<float>(p.z)) {}
  operator ON_3dPoint() const { return {x, y, z}; }
  friend bool operator==(const ON_3fPoint&, const ON_3fPoint&) = default;
};

class ON_3fVector {
 public:
  float x = 0, y = 0, z = 0;
  constexpr ON_3fVector() = default;
  constexpr ON_3fVector(float px, float py, float pz) : x(px), y(py), z(pz) {}
  explicit ON_3fVector(const ON_3dVector& v)
      : x(static_cast<float>(v.x)), y(static_cast<float>(v.y)), z(static_cast<float>(v.z)) {}
  operator ON_3dVector() const { return {x, y, z}; }
  friend bool operator==(const ON_3fVector&, const ON_3fVector&) = default;
};

class ON_2fPoint {
 public:
  float x = 0, y = 0;
  constexpr ON_2fPoint() = default;
  constexpr ON_2fPoint(float px, float py) : x(px), y(py) {}
  friend bool operator==(const ON_2fPoint&, const ON_2fPoint&) = default;
};

// A homogeneous point: a rational control point (x*w, y*w, z*w, w).
class ON_4dPoint {
 public:
  double x = 0, y = 0, z = 0, w = 1;
  constexpr ON_4dPoint() = default;
  constexpr ON_4dPoint(double px, double py, double pz, double pw) : x(px), y(py), z(pz), w(pw) {}
};
