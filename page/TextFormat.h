#pragma once
// The one formatter for wide text. Templates use printf's directives:
//   %s  a text argument        %d  an integer argument
//   %g  a number argument      %%  a percent sign
//   %.Nf a number argument with N decimals (N from 0 to 20), as printf's
// Arguments are type-checked at run time; a directive without a matching
// argument writes nothing (and asserts in debug builds). Results are never
// cut, whatever their length.
#include <initializer_list>
#include <string>
#include <string_view>

namespace zem {

class TextArg {
 public:
  enum class Kind { Text, Integer, Number };
  TextArg(std::wstring_view text) : m_kind(Kind::Text), m_text(text) {}
  TextArg(const std::wstring& text) : m_kind(Kind::Text), m_text(text) {}
  TextArg(const wchar_t* text) : m_kind(Kind::Text), m_text(text) {}
  TextArg(int value) : m_kind(Kind::Integer), m_integer(value) {}
  TextArg(long value) : m_kind(Kind::Integer), m_integer(value) {}
  TextArg(long long value) : m_kind(Kind::Integer), m_integer(value) {}
  TextArg(unsigned value) : m_kind(Kind::Integer), m_integer(value) {}
  TextArg(unsigned long value) : m_kind(Kind::Integer), m_integer(static_cast<long long>(value)) {}
  TextArg(double value) : m_kind(Kind::Number), m_number(value) {}
  TextArg(float value) : m_kind(Kind::Number), m_number(value) {}

  Kind kind() const { return m_kind; }
  std::wstring_view text() const { return m_text; }
  long long integer() const { return m_integer; }
  double number() const { return m_number; }

 private:
  Kind m_kind;
  std::wstring_view m_text;
  long long m_integer = 0;
  double m_number = 0;
};

// Appends the formatted template to out.
void AppendFormatted(std::wstring& out, std::wstring_view format, std::initializer_list<TextArg> args);

// Returns the formatted template.
std::wstring FormatText(std::wstring_view format, std::initializer_list<TextArg> args);

}  // namespace zem
