#include "standin/platform/NativePath.h"
#include "standin/platform/ModuleFileName.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <map>
#include <system_error>

#include "standin/platform/ModuleState.h"
#include "standin/platform/TextEncoding.h"

namespace {

std::map<HMODULE, std::wstring>& Names() {
  static std::map<HMODULE, std::wstring> names;
  return names;
}

HMODULE ProgramHandle() { return AfxGetAppModuleState()->m_hCurrentInstanceHandle; }

std::wstring ProgramFileName() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::wstring() : zem::FromUtf8(exe.string());
}

}  // namespace

void zem::SetModuleFileName(HMODULE module, const std::wstring& path) {
  if (module) Names()[module] = path;
}

std::wstring zem::ModuleFileName(HMODULE module) {
  if (module == nullptr || module == ProgramHandle()) {
    auto found = Names().find(ProgramHandle());
    return found != Names().end() ? found->second : ProgramFileName();
  }
  auto found = Names().find(module);
  return found != Names().end() ? found->second : std::wstring();
}

HMODULE GetModuleHandleW(LPCWSTR name) {
  if (name == nullptr) return ProgramHandle();
  const std::wstring wanted = zem::FoldedPath(name);
  const bool fileNameOnly = wanted.find(L'\\') == std::wstring::npos;
  for (const auto& [module, path] : Names()) {
    const std::wstring have = zem::FoldedPath(path);
    if (have == wanted || (fileNameOnly && zem::FileNamePart(have) == wanted)) return module;
  }
  return nullptr;
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return 0;
  const std::wstring name = zem::ModuleFileName(module);
  if (name.empty()) {
    buffer[0] = L'\0';
    return 0;
  }
  if (name.size() >= size) {
    std::copy_n(name.data(), size - 1, buffer);
    buffer[size - 1] = L'\0';
    return size;
  }
  std::copy(name.begin(), name.end(), buffer);
  buffer[name.size()] = L'\0';
  return static_cast<DWORD>(name.size());
}
