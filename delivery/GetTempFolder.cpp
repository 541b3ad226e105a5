#include "delivery/GetTempFolder.h"

#include <unistd.h>

#include <atomic>

#include "standin/platform/TempPath.h"

std::wstring GetTempFolder() {
  wchar_t buffer[260];
  DWORD length = GetTempPathW(260, buffer);
  if (length >= 1 && length <= 260) return std::wstring(buffer, length);
  return L"C:\\temp\\";
}

std::wstring zem::UniqueTempFilePath(const std::wstring& prefix, const std::wstring& extension) {
  static std::atomic<unsigned> counter{0};
  return GetTempFolder() + prefix + L"-" + std::to_wstring(::getpid()) + L"-" + std::to_wstring(++counter) + extension;
}
