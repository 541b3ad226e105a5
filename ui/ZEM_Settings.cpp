#include "ui/ZEM_Settings.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cwchar>

#include "standin/platform/ProfileFile.h"
#include "standin/platform/ShellFolders.h"

namespace {

constexpr DWORD kReadBufferLength = 255;

bool EndsWithSeparator(const std::wstring& text) {
  return !text.empty() && (text.back() == L'\\' || text.back() == L'/');
}

const wchar_t* SectionOrDefault(const std::wstring& section) { return section.empty() ? L"settings" : section.c_str(); }

// atoi: leading blanks, a sign, digits; anything else ends the number.
int ToInt(const std::wstring& text) {
  const long long value = std::wcstoll(text.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

std::wstring FormatInt(int value) {
  wchar_t buffer[16];
  std::swprintf(buffer, 16, L"%d", value);
  return buffer;
}

}  // namespace

ZEM_SettingsImpl* ZEM_SettingsImpl::Instance() {
  static ZEM_SettingsImpl* const instance = new ZEM_SettingsImpl;
  return instance;
}

ZEM_SettingsImpl::ZEM_SettingsImpl() {
  wchar_t folder[MAX_PATH];
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) BaseFolder() = folder;
  SubFolder().clear();
}

std::wstring& ZEM_SettingsImpl::BaseFolder() {
  static std::wstring folder = L".\\";
  return folder;
}

std::wstring& ZEM_SettingsImpl::SubFolder() {
  static std::wstring folder;
  return folder;
}

const std::wstring& ZEM_SettingsImpl::DefaultFileName() {
  static const std::wstring name = L"ZEMSettings.ini";
  return name;
}

std::wstring ZEM_SettingsImpl::GetSettingsPath(const wchar_t* store) const {
  std::wstring path = BaseFolder();
  if (!EndsWithSeparator(path)) path += L'\\';
  if (!SubFolder().empty()) {
    path += SubFolder();
    if (!EndsWithSeparator(path)) path += L'\\';
  }
  path += store != nullptr && *store != L'\0' ? std::wstring(store) : DefaultFileName();
  if (!path.ends_with(L".ini")) path += L".ini";
  return path;
}

bool ZEM_SettingsImpl::EnsureFolder(const std::wstring& path) const {
  // Every prefix that ends before a separator, then the whole path. Both
  // separators count: paths are composed with backslashes on top of native
  // folders.
  std::size_t cut = path.find_first_of(L"/\\", 1);
  while (true) {
    const std::wstring prefix = path.substr(0, cut);
    if (!prefix.empty() && GetFileAttributesW(prefix.c_str()) == INVALID_FILE_ATTRIBUTES)
      CreateDirectoryW(prefix.c_str(), nullptr);
    if (cut == std::wstring::npos) break;
    cut = path.find_first_of(L"/\\", cut + 1);
  }
  return GetFileAttributesW(path.c_str()) == FILE_ATTRIBUTE_DIRECTORY;
}

bool ZEM_SettingsImpl::ReadString(const std::wstring& section, const std::wstring& key, std::wstring& value,
                                  const std::wstring& defaultValue, const wchar_t* store) const {
  if (key.empty()) return false;
  wchar_t buffer[kReadBufferLength];
  const std::wstring path = GetSettingsPath(store);
  const DWORD read =
      GetPrivateProfileStringW(SectionOrDefault(section), key.c_str(), L"", buffer, kReadBufferLength, path.c_str());
  value = read > 0 ? std::wstring(buffer, read) : defaultValue;
  return read > 0;
}

bool ZEM_SettingsImpl::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                                   const wchar_t* store) const {
  if (key.empty()) return false;
  const std::wstring path = GetSettingsPath(store);
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash != std::wstring::npos && slash > 0 && !EnsureFolder(path.substr(0, slash))) return false;
  return WritePrivateProfileStringW(SectionOrDefault(section), key.c_str(), value.c_str(), path.c_str()) != FALSE;
}

bool ZEM_SettingsImpl::ReadInt(const std::wstring& section, const std::wstring& key, int& value,
                               const wchar_t* store) const {
  std::wstring text;
  const bool found = ReadString(section, key, text, FormatInt(value), store);
  if (key.empty()) return false;
  value = ToInt(text);
  return found;
}

bool ZEM_SettingsImpl::WriteInt(const std::wstring& section, const std::wstring& key, int value,
                                const wchar_t* store) const {
  return WriteString(section, key, FormatInt(value), store);
}

bool ZEM_SettingsImpl::ReadBool(const std::wstring& section, const std::wstring& key, bool& value,
                                const wchar_t* store) const {
  int number = value ? 1 : 0;
  const bool found = ReadInt(section, key, number, store);
  value = number != 0;
  return found;
}

bool ZEM_SettingsImpl::WriteBool(const std::wstring& section, const std::wstring& key, bool value,
                                 const wchar_t* store) const {
  return WriteInt(section, key, value ? 1 : 0, store);
}

std::wstring ZEM_SettingsImpl::FormatReal(double value) {
  if (std::fabs(value) < 1e-10) value = 0;
  wchar_t buffer[512];  // "%f" of 1e12 fits easily; larger values use "%g"
  std::swprintf(buffer, 512, std::fabs(value) <= 1e12 ? L"%f" : L"%g", value);
  return buffer;
}

bool ZEM_SettingsImpl::ReadReal(const std::wstring& section, const std::wstring& key, double& value,
                                const wchar_t* store) const {
  std::wstring text;
  const bool found = ReadString(section, key, text, FormatReal(value), store);
  // Nothing stored: the caller's value stays exactly as it was.
  if (found) value = std::wcstod(text.c_str(), nullptr);
  return found;
}

bool ZEM_SettingsImpl::WriteReal(const std::wstring& section, const std::wstring& key, double value,
                                 const wchar_t* store) const {
  return WriteString(section, key, FormatReal(value), store);
}
