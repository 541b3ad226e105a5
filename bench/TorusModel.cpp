#include "bench/TorusModel.h"

#include <charconv>
#include <cstdio>
#include <cmath>
#include <fstream>
#include <string>

#include "standin/host/CRhinoDib.h"
#include "standin/platform/TextEncoding.h"

namespace zem::bench {

namespace {
namespace fs = std::filesystem;

// 1000 segments around the ring and 500 around the tube (times the
// factor): 1000 * 500 * 2 = 1,000,000 triangles.

void Append(std::string& out, double v) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 7);
  out.append(buffer, end);
}

}  // namespace

fs::path TorusFile(const fs::path& folder, int factor) {
  return folder / (factor == 1 ? std::string("torus.obj") : "torus-" + std::to_string(factor) + "x.obj");
}

bool WriteTorus(const fs::path& folder, int factor) {
  const int kRing = 1000 * factor, kTube = 500 * factor;
  fs::create_directories(folder);
  CRhinoDib texture(256, 256, 24);
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) texture.SetPixel(x, y, ((x / 32 + y / 32) % 2) ? 230 : 40, 120, 255 - x);
  }
  if (!texture.WriteToFile(zem::FromUtf8((folder / "torus.png").string()).c_str())) return false;
  std::ofstream(folder / "torus.mtl") << "newmtl Checker\nKd 1 1 1\nKs 0.5 0.5 0.5\nNs 32\nmap_Kd torus.png\n";

  const fs::path file = TorusFile(folder, factor);
  fs::path part = file;
  part += ".part";
  std::ofstream obj(part, std::ios::binary);
  std::string out = "mtllib torus.mtl\no Torus\n";
  const double R = 3, r = 1, pi = 3.141592653589793;
  for (int i = 0; i < kRing; ++i) {
    for (int j = 0; j < kTube; ++j) {
      const double u = 2 * pi * i / kRing, v = 2 * pi * j / kTube;
      out += "v ";
      Append(out, (R + r * std::cos(v)) * std::cos(u));
      out += ' ';
      Append(out, r * std::sin(v));
      out += ' ';
      Append(out, (R + r * std::cos(v)) * std::sin(u));
      out += "\nvn ";
      Append(out, std::cos(v) * std::cos(u));
      out += ' ';
      Append(out, std::sin(v));
      out += ' ';
      Append(out, std::cos(v) * std::sin(u));
      out += "\nvt ";
      Append(out, 4.0 * i / kRing);
      out += ' ';
      Append(out, 1.0 * j / kTube);
      out += '\n';
    }
    if (out.size() > (1 << 20)) {
      obj << out;
      out.clear();
    }
  }
  out += "usemtl Checker\n";
  auto index = [&](int i, int j) { return (i % kRing) * kTube + (j % kTube) + 1; };
  for (int i = 0; i < kRing; ++i) {
    for (int j = 0; j < kTube; ++j) {
      const int a = index(i, j), b = index(i + 1, j), c = index(i + 1, j + 1), d = index(i, j + 1);
      const int triangles[2][3] = {{a, b, c}, {a, c, d}};
      for (const auto& tri : triangles) {
        out += 'f';
        for (int k = 0; k < 3; ++k) {
          const std::string n = std::to_string(tri[k]);
          out += ' ';
          out += n;
          out += '/';
          out += n;
          out += '/';
          out += n;
        }
        out += '\n';
      }
    }
    if (out.size() > (1 << 20)) {
      obj << out;
      out.clear();
    }
  }
  obj << out;
  obj.close();
  if (!obj) return false;
  fs::rename(part, file);
  return true;
}

bool EnsureTorus(const fs::path& folder, int factor) {
  const fs::path obj = TorusFile(folder, factor);
  if (fs::exists(obj)) return true;
  std::printf("generating %s ...\n", obj.c_str());
  std::fflush(stdout);
  if (WriteTorus(folder, factor)) return true;
  std::fprintf(stderr, "cannot write %s\n", obj.c_str());
  return false;
}

}  // namespace zem::bench
