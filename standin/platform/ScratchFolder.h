#pragma once
// A folder of one's own under the system's temporary folder, made with a
// unique name (so that two processes never share it) and removed with
// everything in it when the object goes.
#include <filesystem>
#include <memory>
#include <string>

namespace zem {

class ScratchFolder {
 public:
  // Makes <temp>/<prefix>XXXXXX; empty `Path()` when that failed.
  explicit ScratchFolder(const std::string& prefix);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

}  // namespace zem
