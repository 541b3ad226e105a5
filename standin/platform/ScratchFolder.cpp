#include "standin/platform/ScratchFolder.h"

#include <stdlib.h>

#include <system_error>
#include <vector>

#include "standin/platform/TextEncoding.h"

namespace zem {

ScratchFolder::ScratchFolder(const std::string& prefix) {
  std::error_code ec;
  const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) return;
  std::string pattern = (base / (prefix + "XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!::mkdtemp(name.data())) return;
  m_path = name.data();
  m_undo = InterruptCleanup::RemoveFolderAndFiles(FromSystemBytes(m_path.string()));
}

ScratchFolder::~ScratchFolder() {
  if (m_path.empty()) return;
  m_undo.Dismiss();
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
}

}  // namespace zem
