#pragma once
// The window library's application object, as far as the plug-in's module
// uses it: its name and its profile. The profile is a profile (.ini) file in
// the application-data folder, named after the application unless
// m_pszProfileName names another file (see AppName); binary values are stored as text, two
// letters per byte ('A' plus each half-byte, high half first).
#include <string>

#include "standin/platform/WinTypes.h"

class CWinApp {
 public:
  explicit CWinApp(LPCWSTR appName = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // On success *data is a new[] array of *bytes bytes that the caller
  // delete[]s; otherwise *data is null and *bytes 0.
  BOOL GetProfileBinary(LPCWSTR section, LPCWSTR entry, BYTE** data, UINT* bytes);
  BOOL WriteProfileBinary(LPCWSTR section, LPCWSTR entry, const BYTE* data, UINT bytes);
  UINT GetProfileIntW(LPCWSTR section, LPCWSTR entry, int defaultValue);
  BOOL WriteProfileInt(LPCWSTR section, LPCWSTR entry, int value);

  // The application's name; without one, the name of the plug-in module's
  // file (without folder and extension), known once the module is loaded.
  std::wstring AppName() const;
  // The profile file's path.
  std::wstring ProfilePath() const;

  std::wstring m_pszAppName;
  // A file name or full path; empty: the application name plus ".ini".
  std::wstring m_pszProfileName;
};

// The module's application object: the last one constructed that still
// exists, or null.
CWinApp* AfxGetApp();
