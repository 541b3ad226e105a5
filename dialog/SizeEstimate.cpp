#include "dialog/SizeEstimate.h"

#include <charconv>

#include "page/DataFunctions.h"
#include "page/MeshData.h"
#include "page/ZEM_WebGLExport.h"

namespace zem {

namespace {

// The page's fixed part (viewer, pictures), and the zip ratio: the
// single-precision value of 0.12.
constexpr float kFixedMegabytes = ZEM_WebGLExport::kEstimateFrameMegabytes;
constexpr float kZipFactor = 0.12f;
constexpr double kMegabyte = 1024.0 * 1024.0;

}  // namespace

float SizeEstimate::Megabytes(const PreviewCounts& counts, bool zipped, bool compact) {
  const double curves = (kEstimateBytesPerCurve * static_cast<double>(counts.curves) +
                         kEstimateBytesPerCurvePoint * static_cast<double>(counts.points)) /
                        kMegabyte;
  if (compact) {
    // The compact page's weights, kept beside its encoder.
    const double meshes =
        (CompactEstimateBytesPerPage() + kCompactEstimateBytesPerMesh * static_cast<double>(counts.meshes) +
         kCompactEstimateBytesPerTriangle * static_cast<double>(counts.triangles)) /
        kMegabyte;
    if (zipped) return static_cast<float>(meshes * kCompactEstimateZipFactor + (kFixedMegabytes + curves) * kZipFactor);
    return static_cast<float>(meshes + kFixedMegabytes + curves);
  }
  // The weights of the standard page's mesh and curve data, kept beside the
  // writers of that data.
  const double meshes = (kEstimateBytesPerMesh * static_cast<double>(counts.meshes) +
                         kEstimateBytesPerTriangle * static_cast<double>(counts.triangles)) /
                        kMegabyte;
  float estimate = static_cast<float>(meshes + kFixedMegabytes + curves);
  if (zipped) estimate *= kZipFactor;
  return estimate;
}

std::wstring SizeEstimate::Label(float megabytes) {
  // printf's "%.1f": the exact value rounded to one decimal, "." whatever
  // the locale.
  char digits[64];
  const auto end =
      std::to_chars(digits, digits + sizeof digits, static_cast<double>(megabytes), std::chars_format::fixed, 1);
  std::wstring label = L"Approximate file size: ";
  label.append(digits, end.ptr);
  label += L" MB";
  return label;
}

std::optional<std::wstring> SizeEstimate::Update(const PreviewCounts& counts, bool zipped, bool compact) {
  const float estimate = Megabytes(counts, zipped, compact);
  if (estimate == m_last) return std::nullopt;
  m_last = estimate;
  return Label(estimate);
}

}  // namespace zem
