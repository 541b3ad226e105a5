#include "page/HtmlText.h"

#include <algorithm>
#include <array>

namespace zem {

std::wstring NormaliseLineEnds(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r') {
      out += L'\n';
      if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::wstring EscapeHtml(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size() + 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<std::make_unsigned_t<wchar_t>>(text[i]);
    switch (c) {
      case L'&':
        out += L"&amp;";
        break;
      case L'<':
        out += L"&lt;";
        break;
      case L'>':
        out += L"&gt;";
        break;
      case L'"':
        out += L"&quot;";
        break;
      case L'\'':
        out += L"&#39;";
        break;
      case L'\r':
        out += L'\n';
        if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        break;
      default:
        if (c <= 0xFF) {
          out += static_cast<wchar_t>(c);
        } else {
          // Surrogate halves and values beyond Unicode are not characters.
          unsigned long code = (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF ? 0xFFFD : c;
          out += L"&#" + std::to_wstring(code) + L';';
        }
    }
  }
  return out;
}

std::wstring SafeLinkTarget(std::wstring_view target) {
  // Browsers drop tabs and line feeds anywhere in a URL and trim control
  // characters and spaces at both ends before they read the scheme.
  std::wstring cleaned;
  for (wchar_t c : target) {
    if (c != L'\t' && c != L'\n' && c != L'\r') cleaned += c;
  }
  auto isPadding = [](wchar_t c) { return c >= 0 && c <= L' '; };
  auto first = std::find_if_not(cleaned.begin(), cleaned.end(), isPadding);
  auto last = std::find_if_not(cleaned.rbegin(), cleaned.rend(), isPadding).base();
  std::wstring trimmed = first < last ? std::wstring(first, last) : std::wstring();

  auto colon = trimmed.find(L':');
  if (colon == std::wstring::npos) return std::wstring(target);
  std::wstring scheme = trimmed.substr(0, colon);
  auto isSchemeChar = [](wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' ||
           c == L'.';
  };
  bool isScheme = !scheme.empty() &&
                  ((scheme[0] >= L'a' && scheme[0] <= L'z') || (scheme[0] >= L'A' && scheme[0] <= L'Z')) &&
                  std::all_of(scheme.begin(), scheme.end(), isSchemeChar);
  // "a/b:c" or "?x:y" is a relative reference, not a scheme.
  if (!isScheme) return std::wstring(target);
  for (wchar_t& c : scheme) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  static const std::array<std::wstring_view, 4> kAllowed = {L"http", L"https", L"ftp", L"mailto"};
  if (std::find(kAllowed.begin(), kAllowed.end(), scheme) == kAllowed.end()) return std::wstring();
  return std::wstring(target);
}

}  // namespace zem
