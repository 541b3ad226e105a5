#pragma once
// The debugger output channel. Texts are kept in memory (the last ones, for
// tests) and go to the standard error stream when ZEM_DEBUG_OUTPUT is set.
#include <string>
#include <vector>

#include "standin/platform/WinTypes.h"

void OutputDebugStringW(LPCWSTR text);

namespace zem {
// The texts written since the last clear, oldest first (at most 100).
const std::vector<std::wstring>& DebugOutput();
void ClearDebugOutput();
}  // namespace zem
