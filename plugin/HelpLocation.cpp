#include "plugin/HelpLocation.h"

#include "standin/platform/HtmlHelp.h"
#include "standin/platform/ModuleFileName.h"
#include "standin/platform/ShellFolders.h"
#include "standin/platform/ShellPath.h"
#include "plugin/CRhino_WebGLPlugIn.h"
#include "ui/ZEM_Settings.h"

namespace zem {

namespace {

constexpr const wchar_t* kHelpFile = L"ZEM_WEBGL_help.chm";
constexpr const wchar_t* kTopic = L"::writewebgl.htm";
constexpr const wchar_t* kMarker = L"default_language.txt";

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The module's file name, however long.
std::wstring ModulePath(HMODULE module) {
  std::wstring buffer(260, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring DocumentationFolder() {
  const std::wstring plugInFile = WebGLPlugIn().PlugInFileName();
  HMODULE module = GetModuleHandleW(plugInFile.c_str());
  if (module == nullptr) return {};
  std::wstring folder = ModulePath(module);
  if (folder.empty()) return {};
  PathRemoveFileSpecW(folder.data());
  folder.resize(std::wcslen(folder.c_str()));
  // The folder is kept as text ("..\" and all), as the help viewer gets it.
  for (const wchar_t* relative : {L"\\..\\Doc\\", L"\\..\\..\\Doc\\"}) {
    if (Exists(folder + relative)) return folder + relative;
  }
  return {};
}

// A language name names a folder inside D, nothing else.
bool IsLanguageName(const std::wstring& value) {
  if (value.find_first_of(L"\\/:") != std::wstring::npos || value.find(L"..") != std::wstring::npos) return false;
  for (wchar_t c : value) {
    if (c < 0x20 || c == 0x7F) return false;
  }
  return true;
}

}  // namespace

bool FindHelpLocation(std::wstring* docFolder, std::wstring* languageFolder, std::wstring* languageName) {
  std::wstring folder;
  if (docFolder) {
    folder = DocumentationFolder();
    *docFolder = folder;
  }
  if (!languageFolder && !languageName) return true;
  std::wstring language;
  ZEM_SettingsImpl::Instance()->ReadString(L"Language", L"OnlineHelpLanguage", language, L"", L"Global");
  if (!language.empty() && !IsLanguageName(language)) language = L"English";
  if (language.empty()) {
    language = L"English";
    if (docFolder) {
      if (Exists(folder + L"Japanese\\" + kMarker)) language = L"Japanese";
      if (Exists(folder + L"German\\" + kMarker)) language = L"German";
    }
  }
  if (languageFolder) *languageFolder = language == L"English" ? std::wstring() : language + L"\\";
  if (languageName) *languageName = language;
  return true;
}

std::wstring HelpAddress(bool withTopic) {
  std::wstring folder, language;
  FindHelpLocation(&folder, &language, nullptr);
  std::wstring address = L"mk:@MSITStore:" + folder + language + kHelpFile;
  if (withTopic) address += kTopic;
  return address;
}

void OpenHelp(const std::wstring& address) {
  using HtmlHelpFunction = HWND (*)(HWND, LPCWSTR, UINT, DWORD_PTR);
  static HMODULE library = nullptr;
  if (library == nullptr) library = LoadLibraryW(L"HHCTRL.OCX");
  if (library == nullptr) return;
  FARPROC function = GetProcAddress(library, "HtmlHelpW");
  if (function == nullptr) return;
  reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void (*)()>(function))(nullptr, address.c_str(), HH_DISPLAY_TOPIC,
                                                                             0);
}

}  // namespace zem
