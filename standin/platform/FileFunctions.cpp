#include "standin/platform/FileFunctions.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"

std::FILE* _wfopen(const wchar_t* path, const wchar_t* mode) {
  if (path == nullptr || mode == nullptr || *path == L'\0') return nullptr;
  return std::fopen(zem::NativePath(path).c_str(), zem::ToUtf8(mode).c_str());
}

BOOL DeleteFileW(LPCWSTR path) {
  if (path == nullptr || *path == L'\0') return FALSE;
  const std::string native = zem::NativePath(path);
  std::error_code error;
  if (std::filesystem::is_directory(std::filesystem::symlink_status(native, error))) return FALSE;
  return std::filesystem::remove(native, error) && !error ? TRUE : FALSE;
}

BOOL RemoveDirectoryW(LPCWSTR path) {
  if (path == nullptr || *path == L'\0') return FALSE;
  const std::string native = zem::NativePath(path);
  std::error_code error;
  if (!std::filesystem::is_directory(std::filesystem::symlink_status(native, error))) return FALSE;
  // remove() takes only an empty folder.
  return std::filesystem::remove(native, error) && !error ? TRUE : FALSE;
}
