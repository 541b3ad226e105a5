#pragma once
// Packs one file into a new zip archive through the shell's zip folders (the
// system has no compression code of its own).
#include <string>

#include "standin/platform/WinTypes.h"

// How long CreateZipWithFile waits at most for the shell's copy to show up
// in the archive, in milliseconds.
namespace zem {

inline constexpr DWORD kZipCopyWaitLimit = 30000;

// Writes an empty archive at archivePath (replacing what is there), has the
// shell copy the file into it and waits, polling once a second, until the
// archive lists an entry or kZipCopyWaitLimit has passed. Answers whether the
// archive holds the file: false when the archive cannot be written, the shell
// or the archive's folder cannot be had, or the copy did not arrive in time.
bool CreateZipWithFile(const std::wstring& archivePath, const std::wstring& filePath);

}  // namespace zem
