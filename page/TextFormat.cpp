#include "page/TextFormat.h"

#include <cassert>
#include <charconv>

#include "page/NumberFormat.h"

namespace zem {

namespace {
constexpr int kMaxDecimals = 20;
}  // namespace

void AppendFormatted(std::wstring& out, std::wstring_view format, std::initializer_list<TextArg> args) {
  const TextArg* next = args.begin();
  const TextArg* end = args.end();
  char digits[kMaxNumberChars];
  for (std::size_t i = 0; i < format.size(); ++i) {
    wchar_t c = format[i];
    if (c != L'%' || i + 1 == format.size()) {
      out += c;
      continue;
    }
    wchar_t directive = format[++i];
    // "%.Nf": the precision's digits, then 'f'.
    int decimals = -1;
    if (directive == L'.') {
      std::size_t j = i + 1;
      int n = 0;
      while (j < format.size() && format[j] >= L'0' && format[j] <= L'9' && n <= kMaxDecimals)
        n = n * 10 + (format[j++] - L'0');
      if (j > i + 1 && j < format.size() && format[j] == L'f' && n <= kMaxDecimals) {
        decimals = n;
        i = j;
        directive = L'f';
      }
    }
    if (directive == L'%') {
      out += L'%';
      continue;
    }
    if (next == end) {
      assert(!"format directive without argument");
      continue;
    }
    const TextArg& arg = *next++;
    char* stop = digits;
    switch (directive) {
      case L's':
        assert(arg.kind() == TextArg::Kind::Text);
        if (arg.kind() == TextArg::Kind::Text) out += arg.text();
        continue;
      case L'd':
        assert(arg.kind() == TextArg::Kind::Integer);
        if (arg.kind() == TextArg::Kind::Integer) stop = FormatInteger(digits, arg.integer());
        break;
      case L'g':
        assert(arg.kind() != TextArg::Kind::Text);
        if (arg.kind() == TextArg::Kind::Number) stop = FormatNumberG(digits, arg.number());
        if (arg.kind() == TextArg::Kind::Integer) stop = FormatNumberG(digits, static_cast<double>(arg.integer()));
        break;
      case L'f':
        if (decimals >= 0) {
          assert(arg.kind() != TextArg::Kind::Text);
          const double value = arg.kind() == TextArg::Kind::Integer ? static_cast<double>(arg.integer()) : arg.number();
          if (arg.kind() != TextArg::Kind::Text) {
            // Fixed notation of a large magnitude needs more room than one
            // number usually takes.
            char fixed[kMaxNumberChars + 340];
            auto [last, error] = std::to_chars(fixed, fixed + sizeof fixed, value, std::chars_format::fixed, decimals);
            if (error == std::errc()) out.append(fixed, last);
          }
          continue;
        }
        [[fallthrough]];
      default:
        assert(!"unknown format directive");
        out += L'%';
        out += directive;
        continue;
    }
    for (char* p = digits; p != stop; ++p) out += static_cast<wchar_t>(*p);
  }
  assert(next == end && "more arguments than directives");
}

std::wstring FormatText(std::wstring_view format, std::initializer_list<TextArg> args) {
  std::wstring out;
  out.reserve(format.size() + 32);
  AppendFormatted(out, format, args);
  return out;
}

}  // namespace zem
