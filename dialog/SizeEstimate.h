#pragma once
// The export dialog's estimate of the page size, from what the preview
// conduit counted in the active viewport: render meshes M, weighted
// triangles T, wire curves C and their polyline points P. In megabytes:
//
//   (280 M + 136 T) / 2^20 + 0.12 + (270 C + 25 P) / 2^20
//
// computed in double (136 T alone passes 32 bits from about 16 million
// weighted triangles) and kept as a float; zipped for e-mail it is that
// times 0.12.
#include <optional>
#include <string>

#include "dialog/PreviewCounts.h"

namespace zem {

class SizeEstimate {
 public:
  // The estimate in megabytes; `zipped`: the page goes out zipped by mail.
  static float Megabytes(const PreviewCounts& counts, bool zipped);
  // "Approximate file size: " and the megabytes with one decimal, " MB".
  static std::wstring Label(float megabytes);

  // The label's new text when the estimate differs from the one shown last
  // (exactly), else nothing.
  std::optional<std::wstring> Update(const PreviewCounts& counts, bool zipped);
  // Forgets the estimate shown last (a new showing of the dialog).
  void Reset() { m_last = 0; }
  float Last() const { return m_last; }

 private:
  float m_last = 0;
};

}  // namespace zem
