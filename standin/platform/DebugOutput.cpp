#include "standin/platform/DebugOutput.h"

#include <cstdio>
#include <cstdlib>

#include "standin/platform/TextEncoding.h"

namespace {
std::vector<std::wstring>& Log() {
  static std::vector<std::wstring> log;
  return log;
}
}  // namespace

void OutputDebugStringW(LPCWSTR text) {
  if (text == nullptr) return;
  auto& log = Log();
  if (log.size() == 100) log.erase(log.begin());
  log.emplace_back(text);
  if (std::getenv("ZEM_DEBUG_OUTPUT")) std::fputs(zem::ToUtf8(text).c_str(), stderr);
}

const std::vector<std::wstring>& zem::DebugOutput() { return Log(); }
void zem::ClearDebugOutput() { Log().clear(); }
