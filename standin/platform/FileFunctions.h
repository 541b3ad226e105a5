#pragma once
// File functions of the run-time library and the operating system that the
// export calls by their Windows names. Paths may use either separator.
#include <cstdio>
#include <string>

#include "standin/platform/InterruptCleanup.h"
#include "standin/platform/WinTypes.h"

// Opens a file as fopen does; the mode is one of fopen's ("wb", "rb", "wx", ...).
std::FILE* _wfopen(const wchar_t* path, const wchar_t* mode);
// Deletes one file (not a folder). FALSE when there is none or it cannot go.
BOOL DeleteFileW(LPCWSTR path);
// Removes one empty folder. FALSE when it is missing, not empty or not a folder.
BOOL RemoveDirectoryW(LPCWSTR path);

namespace zem {

// A new folder only this user may enter (mode 0700), named by `prefix` (a
// path and the start of a name) and six random characters; it never follows
// a link planted at its name. Empty when it cannot be made. With `undo`, the
// folder is registered there for removal with its files on an interrupt,
// with no moment between its making and its registration.
std::wstring CreatePrivateFolder(const std::wstring& prefix, InterruptCleanup* undo = nullptr);

// A new, empty file only this user may read (mode 0600), named by `prefix`,
// six random characters and `suffix`, created exclusively (a name that is
// taken, a link among them, is never opened). Empty when it cannot be made.
// With `undo`, the file is registered there for removal on an interrupt as
// it is made.
std::wstring CreatePrivateFile(const std::wstring& prefix, const std::wstring& suffix,
                               InterruptCleanup* undo = nullptr);

// Copies the bytes of one existing file over those of another existing file,
// leaving its mode and owner as they are. False when a file cannot be opened
// or a read or write fails.
bool CopyFileBytes(const std::wstring& from, const std::wstring& to);

// Gives a file the mode a new file of the user gets (0666 less the umask):
// for a private file that becomes the user's document.
void SetUsualFileMode(const std::wstring& path);

}  // namespace zem
