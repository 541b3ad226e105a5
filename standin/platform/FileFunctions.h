#pragma once
// File functions of the run-time library and the operating system that the
// export calls by their Windows names. Paths may use either separator.
#include <cstdio>

#include "standin/platform/WinTypes.h"

// Opens a file as fopen does; the mode is one of fopen's ("wb", "rb", "wx", ...).
std::FILE* _wfopen(const wchar_t* path, const wchar_t* mode);
// Deletes one file (not a folder). FALSE when there is none or it cannot go.
BOOL DeleteFileW(LPCWSTR path);
// Removes one empty folder. FALSE when it is missing, not empty or not a folder.
BOOL RemoveDirectoryW(LPCWSTR path);
