#pragma once
// Module handles and module file names. The program and the plug-in module
// linked into it have handles of their own (ModuleState.h); the plug-in
// module's file name is the path the host's plug-in loader was given.
#include <string>

#include "standin/platform/Modules.h"

// The handle of the loaded module with that file name (the whole path, or
// only the file name when `name` has no folder; compared without case and
// with either separator), or the program's own handle for null. Null when no
// module has that name.
HMODULE GetModuleHandleW(LPCWSTR name);

// Copies the module's file name into `buffer` (null module: the program's).
// Answers the characters copied without the terminator; when the buffer is
// too short the name is cut to size - 1 characters, still terminated, and
// the answer is `size`, so a caller can tell and try a longer buffer. 0 for
// an unknown module, no buffer or a size of 0.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);

namespace zem {
// Gives a module its file name (the loader does it when it loads the module).
void SetModuleFileName(HMODULE module, const std::wstring& path);
// The whole file name, however long; empty for an unknown module.
std::wstring ModuleFileName(HMODULE module);
}  // namespace zem
