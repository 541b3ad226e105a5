#pragma once
// The shell's special folders and the file-system queries the framework
// makes. The user's application-data folder is the configuration folder of
// this platform: $XDG_CONFIG_HOME, or ~/.config when that is not set. Tests
// point it elsewhere with OverrideAppDataFolder.
#include <optional>
#include <string>

#include "standin/platform/WinTypes.h"

using HRESULT = std::int32_t;
using HANDLE = void*;

// Macros, as the system headers have them, so that a second definition of
// the same value elsewhere in the stand-ins does no harm.
#ifndef S_OK
#define S_OK static_cast<HRESULT>(0)
#endif
#ifndef E_FAIL
#define E_FAIL static_cast<HRESULT>(0x80004005u)
#endif
#ifndef SUCCEEDED
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#endif
#ifndef MAX_PATH
#define MAX_PATH 260
#endif
#ifndef CSIDL_APPDATA
#define CSIDL_APPDATA 0x001a
#endif
#ifndef SHGFP_TYPE_CURRENT
#define SHGFP_TYPE_CURRENT 0
#endif
#ifndef INVALID_FILE_ATTRIBUTES
#define INVALID_FILE_ATTRIBUTES static_cast<DWORD>(0xFFFFFFFFu)
#endif
#ifndef FILE_ATTRIBUTE_DIRECTORY
#define FILE_ATTRIBUTE_DIRECTORY static_cast<DWORD>(0x10)
#endif
#ifndef FILE_ATTRIBUTE_NORMAL
#define FILE_ATTRIBUTE_NORMAL static_cast<DWORD>(0x80)
#endif

namespace zem {
// Replaces the application-data folder until called again with nullopt.
void OverrideAppDataFolder(std::optional<std::wstring> folder);
}  // namespace zem

// Writes the folder (at most 259 characters and a zero) into `path`, which
// holds MAX_PATH characters. Only CSIDL_APPDATA is known; it fails when no
// folder can be named or the name is too long.
HRESULT SHGetFolderPathW(HWND owner, int folder, HANDLE token, DWORD flags, LPWSTR path);

// FILE_ATTRIBUTE_DIRECTORY or FILE_ATTRIBUTE_NORMAL, or
// INVALID_FILE_ATTRIBUTES when nothing exists at the path.
DWORD GetFileAttributesW(LPCWSTR path);
// Creates one folder; its parent must exist. FALSE when it already exists.
BOOL CreateDirectoryW(LPCWSTR path, void* securityAttributes);
