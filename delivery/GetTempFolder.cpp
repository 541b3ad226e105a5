#include "delivery/GetTempFolder.h"

#include "standin/platform/TempPath.h"

namespace zem {

std::wstring GetTempFolder() {
  wchar_t buffer[260];
  DWORD length = GetTempPathW(260, buffer);
  if (length >= 1 && length <= 260) return std::wstring(buffer, length);
  return L"C:\\temp\\";
}

}  // namespace zem
