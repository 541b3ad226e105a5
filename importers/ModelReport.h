#pragma once
// What reading a model file had to say: the error that stopped it, and the
// repairs and oddities it met along the way (for example normals that had
// to be computed, or keys it did not know).
#include <string>
#include <vector>

namespace zem {

struct ModelReport {
  std::wstring error;               // empty when the file was read
  std::vector<std::wstring> notes;  // repairs and warnings, in file order
};

}  // namespace zem
