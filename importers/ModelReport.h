#pragma once
// What reading a model file had to say: the error that stopped it, and the
// repairs and oddities it met along the way (for example normals that had
// to be computed, or keys it did not know).
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace zem {

struct ModelReport {
  std::wstring error;               // empty when the file was read
  std::vector<std::wstring> notes;  // repairs and warnings, in file order
  std::vector<std::wstring> files;  // the files read for the model (the model, its material libraries, buffers)
};

// The error of a file that holds vertices but nothing that joins them.
inline std::wstring OnlyPointsError(unsigned long long points) {
  return L"the file holds only points (" + std::to_wstring(points) +
         L") and no faces or lines; a page shows faces and lines only";
}

// Starts a reader's report: clears its error and answers whether `file` is a
// regular file, else says "no such file".
inline bool StartModelReport(const std::filesystem::path& file, ModelReport& report) {
  report.error.clear();
  std::error_code ec;
  if (std::filesystem::is_regular_file(file, ec)) return true;
  report.error = L"no such file";
  return false;
}

}  // namespace zem
