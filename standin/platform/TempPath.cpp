#include "standin/platform/TempPath.h"

#include <cstdlib>
#include <string>

#include "standin/platform/TextEncoding.h"

DWORD GetTempPathW(DWORD bufferLength, LPWSTR buffer) {
  const char* tmpdir = std::getenv("TMPDIR");
  std::wstring path = tmpdir && *tmpdir ? zem::FromUtf8(tmpdir) : std::wstring(L"/tmp");
  if (path.back() != L'/' && path.back() != L'\\') path += L'/';
  if (path.size() + 1 > bufferLength || !buffer) return static_cast<DWORD>(path.size() + 1);
  path.copy(buffer, path.size());
  buffer[path.size()] = L'\0';
  return static_cast<DWORD>(path.size());
}
