#pragma once
// Splitting paths into their parts, Windows style: a drive ("C:") only in
// front, folders ending in a separator, either separator accepted.
#include "standin/platform/WinTypes.h"

// Removes the last element of the path and the separator before it (a root
// "C:\" or "\" keeps its separator). TRUE when something was removed.
BOOL PathRemoveFileSpecW(LPWSTR path);

// Splits `path` into drive, folder (with its trailing separator), file name
// and extension (with its dot). Every output that is not null must hold
// wcslen(path) + 1 characters; each one is always terminated.
void _wsplitpath(const wchar_t* path, wchar_t* drive, wchar_t* dir, wchar_t* fname, wchar_t* ext);
