#pragma once
// Reading a zip archive back in the tests, through libzip.
#include <zip.h>

#include <filesystem>
#include <string>
#include <vector>

namespace zem::testing {

struct ZipEntry {
  std::string name;
  std::string bytes;
};

// The entries of the archive at path; none when it cannot be opened.
inline std::vector<ZipEntry> ZipEntries(const std::filesystem::path& archivePath) {
  std::vector<ZipEntry> entries;
  int error = 0;
  zip_t* archive = zip_open(archivePath.c_str(), ZIP_RDONLY, &error);
  if (archive == nullptr) return entries;
  for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
    zip_stat_t stat;
    zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
    ZipEntry entry{stat.name, std::string(stat.size, '\0')};
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
    zip_fread(file, entry.bytes.data(), stat.size);
    zip_fclose(file);
    entries.push_back(entry);
  }
  zip_discard(archive);
  return entries;
}

}  // namespace zem::testing
