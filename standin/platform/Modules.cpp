#include "standin/platform/Modules.h"

#include <cstring>
#include <cwctype>
#include <string>

#include "standin/platform/HtmlHelp.h"
#include "standin/platform/SimpleMapi.h"

namespace {

struct Export {
  const char* name;
  FARPROC function;
};

struct Library {
  const wchar_t* name;  // upper case, without ".DLL" (other extensions kept)
  Export exports[1];
  bool installed = true;
  int loads = 0;
  int held = 0;
};

Library libraries[] = {
    {L"MAPI32", {{"MAPISendMail", reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&zem::MapiSendMail))}}},
    {L"HHCTRL.OCX", {{"HtmlHelpW", reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&HtmlHelpW))}}},
};

// Upper case, without a folder and without ".DLL".
std::wstring Canonical(std::wstring_view name) {
  const auto slash = name.find_last_of(L"/\\");
  if (slash != std::wstring_view::npos) name.remove_prefix(slash + 1);
  std::wstring upper(name);
  for (auto& c : upper) c = static_cast<wchar_t>(std::towupper(c));
  if (upper.size() > 4 && upper.compare(upper.size() - 4, 4, L".DLL") == 0) upper.resize(upper.size() - 4);
  return upper;
}

Library* Find(std::wstring_view name) {
  const std::wstring key = Canonical(name);
  for (auto& library : libraries) {
    if (key == library.name) return &library;
  }
  return nullptr;
}

Library* FromHandle(HMODULE module) {
  for (auto& library : libraries) {
    if (reinterpret_cast<HMODULE>(&library) == module) return &library;
  }
  return nullptr;
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR name) {
  if (name == nullptr) return nullptr;
  Library* library = Find(name);
  if (library == nullptr || !library->installed) return nullptr;
  ++library->loads;
  ++library->held;
  return reinterpret_cast<HMODULE>(library);
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
  Library* library = FromHandle(module);
  if (library == nullptr || library->held <= 0 || name == nullptr) return nullptr;
  for (const auto& entry : library->exports) {
    if (std::strcmp(entry.name, name) == 0) return entry.function;
  }
  return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
  Library* library = FromHandle(module);
  if (library == nullptr || library->held <= 0) return FALSE;
  --library->held;
  return TRUE;
}

void zem::SetLibraryInstalled(std::wstring_view name, bool installed) {
  if (Library* library = Find(name)) library->installed = installed;
}

int zem::LibraryLoadCount(std::wstring_view name) {
  const Library* library = Find(name);
  return library ? library->loads : 0;
}

int zem::LibraryLoadsHeld(std::wstring_view name) {
  const Library* library = Find(name);
  return library ? library->held : 0;
}
