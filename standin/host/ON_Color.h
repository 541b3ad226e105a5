#pragma once
// A colour of 8 bits per channel, packed like a Windows colour value:
// red in the low byte, then green, blue and alpha (0 is opaque).
#include <cstdint>

class ON_Color {
 public:
  constexpr ON_Color() = default;
  constexpr ON_Color(unsigned int packed) : m_color(packed) {}
  constexpr ON_Color(int red, int green, int blue, int alpha = 0)
      : m_color(static_cast<unsigned int>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16) |
                                          ((alpha & 0xFF) << 24))) {}

  constexpr operator unsigned int() const { return m_color; }
  constexpr int Red() const { return static_cast<int>(m_color & 0xFF); }
  constexpr int Green() const { return static_cast<int>((m_color >> 8) & 0xFF); }
  constexpr int Blue() const { return static_cast<int>((m_color >> 16) & 0xFF); }
  constexpr int Alpha() const { return static_cast<int>((m_color >> 24) & 0xFF); }

  // A channel as a fraction 0..1: the channel value times 1/255 taken in
  // single precision, the factor every colour shown by the host uses.
  double FractionRed() const { return Red() * kChannelFraction; }
  double FractionGreen() const { return Green() * kChannelFraction; }
  double FractionBlue() const { return Blue() * kChannelFraction; }
  double FractionAlpha() const { return Alpha() * kChannelFraction; }

  void SetRGB(int red, int green, int blue) { *this = ON_Color(red, green, blue, Alpha()); }

  static constexpr double kChannelFraction = static_cast<double>(1.0f / 255.0f);

 private:
  unsigned int m_color = 0;
};
