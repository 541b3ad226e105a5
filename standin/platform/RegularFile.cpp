#include "standin/platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zem {

std::FILE* OpenRegularFile(const std::string& nativePath, std::uintmax_t maxBytes, std::string& why) {
  // Non-blocking, so that opening a FIFO does not wait for a writer.
  const int fd = ::open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    why = errno == ENOENT ? "no such file" : std::strerror(errno);
    return nullptr;
  }
  struct stat status {};
  const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
  if (!regular || static_cast<std::uintmax_t>(status.st_size) > maxBytes) {
    why = regular ? "larger than " + SizeInWords(maxBytes) : "not a regular file";
    ::close(fd);
    return nullptr;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* file = ::fdopen(fd, "rb");
  if (!file) {
    why = std::strerror(errno);
    ::close(fd);
  }
  return file;
}

bool ReadRegularFile(const std::string& nativePath, std::uintmax_t maxBytes, std::vector<unsigned char>& data,
                     std::string& why) {
  std::FILE* file = OpenRegularFile(nativePath, maxBytes, why);
  if (!file) return false;
  data.clear();
  unsigned char block[1 << 16];
  bool ok = true;
  for (std::size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) {
    // A file that grows while it is read is held to the same limit.
    if (data.size() + got > maxBytes) {
      why = "larger than " + SizeInWords(maxBytes);
      ok = false;
      break;
    }
    data.insert(data.end(), block, block + got);
  }
  if (ok && std::ferror(file)) {
    why = "read error";
    ok = false;
  }
  std::fclose(file);
  return ok;
}

std::string SizeInWords(std::uintmax_t bytes) {
  constexpr std::uintmax_t kMB = 1u << 20;
  if (bytes >= 1024 * kMB && bytes % (1024 * kMB) == 0) return std::to_string(bytes / (1024 * kMB)) + " GB";
  return std::to_string((bytes + kMB / 2) / kMB) + " MB";
}

}  // namespace zem
