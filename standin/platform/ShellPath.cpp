#include "standin/platform/ShellPath.h"

#include <cwchar>
#include <string_view>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

void Put(wchar_t* out, std::wstring_view part) {
  if (!out) return;
  part.copy(out, part.size());
  out[part.size()] = L'\0';
}

}  // namespace

BOOL PathRemoveFileSpecW(LPWSTR path) {
  if (path == nullptr || path[0] == L'\0') return FALSE;
  const std::size_t length = std::wcslen(path);
  // Where the folder part begins: after "C:" and a root separator.
  std::size_t rootEnd = 0;
  if (length >= 2 && path[1] == L':') rootEnd = 2;
  if (rootEnd < length && IsSeparator(path[rootEnd])) ++rootEnd;
  std::size_t last = length;
  while (last > 0 && !IsSeparator(path[last - 1])) --last;
  if (last == 0) {
    // A bare name (or "C:name"): nothing of a folder is left.
    const std::size_t keep = (length >= 2 && path[1] == L':') ? 2 : 0;
    if (keep == length) return FALSE;
    path[keep] = L'\0';
    return TRUE;
  }
  // `last` is just past the last separator.
  std::size_t cut = last - 1;
  if (cut < rootEnd) cut = rootEnd;  // keep the root's separator
  if (cut == length) return FALSE;
  path[cut] = L'\0';
  return TRUE;
}

void _wsplitpath(const wchar_t* path, wchar_t* drive, wchar_t* dir, wchar_t* fname, wchar_t* ext) {
  std::wstring_view rest = path ? std::wstring_view(path) : std::wstring_view();
  std::wstring_view drivePart;
  if (rest.size() >= 2 && rest[1] == L':') {
    drivePart = rest.substr(0, 2);
    rest.remove_prefix(2);
  }
  std::size_t folderEnd = rest.size();
  while (folderEnd > 0 && !IsSeparator(rest[folderEnd - 1])) --folderEnd;
  const std::wstring_view folder = rest.substr(0, folderEnd);
  std::wstring_view name = rest.substr(folderEnd);
  const auto dot = name.find_last_of(L'.');
  const std::wstring_view extension = dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot);
  name = name.substr(0, name.size() - extension.size());
  Put(drive, drivePart);
  Put(dir, folder);
  Put(fname, name);
  Put(ext, extension);
}
