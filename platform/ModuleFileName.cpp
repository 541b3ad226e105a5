#include "platform/ModuleFileName.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <map>
#include <system_error>

#include "platform/ModuleState.h"
#include "platform/TextEncoding.h"

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

// Lower case with backslashes, for comparing names the way Windows does.
std::wstring Folded(std::wstring_view name) {
  std::wstring folded(name);
  for (auto& c : folded) c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towlower(c));
  return folded;
}

std::wstring_view FilePart(std::wstring_view path) {
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
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
  const std::wstring wanted = Folded(name);
  const bool fileNameOnly = wanted.find(L'\\') == std::wstring::npos;
  for (const auto& [module, path] : Names()) {
    const std::wstring have = Folded(path);
    if (have == wanted || (fileNameOnly && FilePart(have) == wanted)) return module;
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
