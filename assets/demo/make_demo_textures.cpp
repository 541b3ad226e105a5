// Makes the texture pictures of the demo document: wood.jpg (a checker of
// wood tones), leaf.png (a leaf on a transparent ground) and sky.hdr (an
// evening sky as Radiance RGBE). Build the target zem_make_demo_textures
// and run it in this folder.
#include "standin/host/CRhinoDib.h"

#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

int Clamp(double v) { return v < 0 ? 0 : v > 255 ? 255 : static_cast<int>(v); }

bool Wood() {
  CRhinoDib dib(128, 128, 24);
  for (int y = 0; y < 128; ++y) {
    for (int x = 0; x < 128; ++x) {
      const bool dark = ((x / 32) + (y / 32)) % 2 == 1;
      const double grain = 0.5 + 0.5 * std::sin((x + 7 * std::sin(y * 0.15)) * 0.9);
      const double base = dark ? 0.55 : 0.85;
      dib.SetPixel(x, y, Clamp(255 * base * (0.85 + 0.15 * grain)), Clamp(190 * base * (0.8 + 0.2 * grain)),
                   Clamp(120 * base * (0.75 + 0.25 * grain)));
    }
  }
  return dib.WriteToFile(L"wood.jpg", 88);
}

bool Leaf() {
  CRhinoDib dib(128, 128, 32);
  for (int y = 0; y < 128; ++y) {
    for (int x = 0; x < 128; ++x) {
      // A leaf along the diagonal: inside a lens of two circles.
      const double u = (x + y) / 2.0 - 64, v = (x - y) / 2.0;
      const double half = 44 * std::cos(u / 64 * 1.5);
      const bool inside = std::fabs(v) < half && std::fabs(u) < 60;
      const bool vein = std::fabs(v) < 1.2 || (std::fmod(std::fabs(u - std::fabs(v) * 0.8), 14) < 1.2 && inside);
      if (!inside) {
        dib.SetPixel(x, y, 255, 255, 255, 0);
      } else if (vein) {
        dib.SetPixel(x, y, 200, 220, 120, 255);
      } else {
        const double shade = 0.7 + 0.3 * (v + half) / (2 * half + 1e-9);
        dib.SetPixel(x, y, Clamp(60 * shade), Clamp(150 * shade), Clamp(50 * shade), 255);
      }
    }
  }
  return dib.WriteToFile(L"leaf.png");
}

void Rgbe(double r, double g, double b, unsigned char out[4]) {
  const double v = std::fmax(r, std::fmax(g, b));
  if (v < 1e-32) {
    out[0] = out[1] = out[2] = out[3] = 0;
    return;
  }
  int e = 0;
  const double m = std::frexp(v, &e) * 256.0 / v;
  out[0] = static_cast<unsigned char>(r * m);
  out[1] = static_cast<unsigned char>(g * m);
  out[2] = static_cast<unsigned char>(b * m);
  out[3] = static_cast<unsigned char>(e + 128);
}

bool Sky() {
  const int width = 64, height = 32;
  std::ofstream f("sky.hdr", std::ios::binary);
  f << "#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y " << height << " +X " << width << "\n";
  for (int s = 0; s < height; ++s) {
    const double t = static_cast<double>(s) / (height - 1);  // 0 at the top
    for (int x = 0; x < width; ++x) {
      const double sun = std::exp(-((x - 44) * (x - 44) + (s - 22) * (s - 22)) / 18.0) * 6.0;
      unsigned char px[4];
      Rgbe(0.15 + 0.9 * t + sun, 0.2 + 0.45 * t + 0.8 * sun, 0.45 + 0.05 * t + 0.3 * sun, px);
      f.write(reinterpret_cast<const char*>(px), 4);
    }
  }
  return static_cast<bool>(f);
}

}  // namespace

int main() {
  const bool ok = Wood() && Leaf() && Sky();
  std::puts(ok ? "wrote wood.jpg, leaf.png, sky.hdr" : "failed");
  return ok ? 0 : 1;
}
