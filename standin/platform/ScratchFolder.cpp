#include "standin/platform/ScratchFolder.h"

#include <stdlib.h>

#include <system_error>
#include <vector>

namespace zem {

ScratchFolder::ScratchFolder(const std::string& prefix) {
  std::error_code ec;
  const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) return;
  std::string pattern = (base / (prefix + "XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data())) m_path = name.data();
}

ScratchFolder::~ScratchFolder() {
  if (m_path.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
}

}  // namespace zem
