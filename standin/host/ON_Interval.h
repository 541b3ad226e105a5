#pragma once
// A parameter interval [t0, t1].

class ON_Interval {
 public:
  double m_t[2] = {0, 0};
  constexpr ON_Interval() = default;
  constexpr ON_Interval(double t0, double t1) : m_t{t0, t1} {}
  double Min() const { return m_t[0] < m_t[1] ? m_t[0] : m_t[1]; }
  double Max() const { return m_t[0] < m_t[1] ? m_t[1] : m_t[0]; }
  double Length() const { return m_t[1] - m_t[0]; }
  double ParameterAt(double s) const { return (1 - s) * m_t[0] + s * m_t[1]; }
  double operator[](int i) const { return m_t[i ? 1 : 0]; }
  bool IsIncreasing() const { return m_t[0] < m_t[1]; }
};
