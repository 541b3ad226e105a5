#pragma once
// The export dialog's estimate of the page size, from what the preview
// conduit counted in the active viewport: render meshes M, weighted
// triangles T, wire curves C and their polyline points P. In megabytes:
//
//   (280 M + 136 T) / 2^20 + 0.12 + (270 C + 25 P) / 2^20
//
// computed in double (136 T alone passes 32 bits from about 16 million
// weighted triangles) and kept as a float; zipped for e-mail it is that
// times 0.12. A compact page (--compact) stores its meshes with
// meshoptimizer's codecs instead: their part is the decoders once (D bytes)
// and the compact weights of page/MeshData.h,
//
//   (D + 400 M + 4.8 T) / 2^20 + 0.12 + (270 C + 25 P) / 2^20
//
// and zipped, that mesh part times 0.28 and the rest times 0.12.
#include <optional>
#include <string>

#include "dialog/PreviewCounts.h"

namespace zem {

class SizeEstimate {
 public:
  // The estimate in megabytes; `zipped`: the page goes out zipped by mail;
  // `compact`: the page is written in the compact form.
  static float Megabytes(const PreviewCounts& counts, bool zipped, bool compact = false);
  // "Approximate file size: " and the megabytes with one decimal, " MB".
  static std::wstring Label(float megabytes);

  // The label's new text when the estimate differs from the one shown last
  // (exactly), else nothing.
  std::optional<std::wstring> Update(const PreviewCounts& counts, bool zipped, bool compact = false);
  // Forgets the estimate shown last (a new showing of the dialog).
  void Reset() { m_last = 0; }
  float Last() const { return m_last; }

 private:
  float m_last = 0;
};

}  // namespace zem
