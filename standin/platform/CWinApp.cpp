#include "standin/platform/CWinApp.h"

#include <cwchar>
#include <vector>

#include "standin/platform/ModuleFileName.h"
#include "standin/platform/ModuleState.h"
#include "standin/platform/ProfileFile.h"
#include "standin/platform/ShellFolders.h"

namespace {
std::vector<CWinApp*>& Apps() {
  static std::vector<CWinApp*> apps;
  return apps;
}
constexpr DWORD kLongestValue = 65536;
}  // namespace

CWinApp::CWinApp(LPCWSTR appName) : m_pszAppName(appName ? appName : L"") { Apps().push_back(this); }

CWinApp::~CWinApp() { std::erase(Apps(), this); }

CWinApp* AfxGetApp() { return Apps().empty() ? nullptr : Apps().back(); }

std::wstring CWinApp::AppName() const {
  if (!m_pszAppName.empty()) return m_pszAppName;
  // As the window library does: an application without a name takes the
  // name of its module's file, without folder and extension.
  std::wstring name = zem::ModuleFileName(AfxGetStaticModuleState()->m_hCurrentInstanceHandle);
  const auto slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name.erase(0, slash + 1);
  const auto dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos && dot > 0) name.erase(dot);
  return name;
}

std::wstring CWinApp::ProfilePath() const {
  std::wstring name = m_pszProfileName.empty() ? AppName() + L".ini" : m_pszProfileName;
  if (name.find_first_of(L"\\/") != std::wstring::npos) return name;
  wchar_t folder[MAX_PATH];
  if (!SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return name;
  return std::wstring(folder) + L"\\" + name;
}

BOOL CWinApp::GetProfileBinary(LPCWSTR section, LPCWSTR entry, BYTE** data, UINT* bytes) {
  if (!data || !bytes) return FALSE;
  *data = nullptr;
  *bytes = 0;
  std::wstring text(kLongestValue, L'\0');
  const std::wstring path = ProfilePath();
  const DWORD n = GetPrivateProfileStringW(section, entry, L"", text.data(), kLongestValue, path.c_str());
  if (n == 0 || n % 2 != 0) return FALSE;
  std::vector<BYTE> value(n / 2);
  for (DWORD i = 0; i < n; i += 2) {
    const int high = text[i] - L'A', low = text[i + 1] - L'A';
    if (high < 0 || high > 15 || low < 0 || low > 15) return FALSE;
    value[i / 2] = static_cast<BYTE>(high << 4 | low);
  }
  *data = new BYTE[value.size()];
  std::copy(value.begin(), value.end(), *data);
  *bytes = static_cast<UINT>(value.size());
  return TRUE;
}

BOOL CWinApp::WriteProfileBinary(LPCWSTR section, LPCWSTR entry, const BYTE* data, UINT bytes) {
  std::wstring text;
  for (UINT i = 0; i < bytes; ++i) {
    text += static_cast<wchar_t>(L'A' + (data[i] >> 4));
    text += static_cast<wchar_t>(L'A' + (data[i] & 0xF));
  }
  const std::wstring path = ProfilePath();
  return WritePrivateProfileStringW(section, entry, text.c_str(), path.c_str());
}

UINT CWinApp::GetProfileIntW(LPCWSTR section, LPCWSTR entry, int defaultValue) {
  wchar_t text[32];
  const std::wstring path = ProfilePath();
  if (GetPrivateProfileStringW(section, entry, L"", text, 32, path.c_str()) == 0)
    return static_cast<UINT>(defaultValue);
  return static_cast<UINT>(std::wcstol(text, nullptr, 10));
}

BOOL CWinApp::WriteProfileInt(LPCWSTR section, LPCWSTR entry, int value) {
  const std::wstring text = std::to_wstring(value);
  const std::wstring path = ProfilePath();
  return WritePrivateProfileStringW(section, entry, text.c_str(), path.c_str());
}
