#include "standin/platform/ShellFolders.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"

namespace {
std::optional<std::wstring>& Override() {
  static std::optional<std::wstring> folder;
  return folder;
}
}  // namespace

void zem::OverrideAppDataFolder(std::optional<std::wstring> folder) { Override() = std::move(folder); }

HRESULT SHGetFolderPathW(HWND, int folder, HANDLE, DWORD, LPWSTR path) {
  if (path == nullptr || folder != CSIDL_APPDATA) return E_FAIL;
  std::wstring result;
  if (Override()) {
    result = *Override();
  } else if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    result = zem::FromUtf8(config);
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    result = zem::FromUtf8(home) + L"/.config";
  }
  if (result.empty() || result.size() >= MAX_PATH) return E_FAIL;
  result.copy(path, result.size());
  path[result.size()] = L'\0';
  return S_OK;
}

DWORD GetFileAttributesW(LPCWSTR path) {
  if (path == nullptr || *path == L'\0') return INVALID_FILE_ATTRIBUTES;
  std::error_code error;
  const auto status = std::filesystem::status(zem::NativePath(path), error);
  if (error || !std::filesystem::exists(status)) return INVALID_FILE_ATTRIBUTES;
  return std::filesystem::is_directory(status) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

BOOL CreateDirectoryW(LPCWSTR path, void*) {
  if (path == nullptr || *path == L'\0') return FALSE;
  std::error_code error;
  return std::filesystem::create_directory(zem::NativePath(path), error) && !error ? TRUE : FALSE;
}
