#pragma once
// The geometry library's wide string.
#include <string>
#include <string_view>

class ON_wString : public std::wstring {
 public:
  ON_wString() = default;
  ON_wString(const wchar_t* s) : std::wstring(s ? s : L"") {}
  ON_wString(std::wstring s) : std::wstring(std::move(s)) {}
  ON_wString(std::wstring_view s) : std::wstring(s) {}

  int Length() const { return static_cast<int>(size()); }
  bool IsEmpty() const { return empty(); }
  const wchar_t* Array() const { return c_str(); }
  operator const wchar_t*() const { return c_str(); }
  void Empty() { clear(); }
};
