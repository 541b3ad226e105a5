#include "standin/host/ToolBarCollectionFile.h"

#include <cstdint>

#include "standin/platform/TextEncoding.h"

namespace zem {
namespace {

constexpr std::string_view kFirstLine = "zem-toolbars 1";

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Well-formed UTF-8 without control characters other than tab.
bool IsCleanText(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      if ((c < 0x20 && c != '\t') || c == 0x7F) return false;
      ++i;
      continue;
    }
    int extra = 0;
    std::uint32_t code = 0;
    if (c >= 0xC2 && c <= 0xDF)
      extra = 1, code = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF)
      extra = 2, code = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4)
      extra = 3, code = c & 0x07;
    else
      return false;
    if (i + extra >= s.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      code = code << 6 | (d & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF.
    if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
      return false;
    i += extra + 1;
  }
  return true;
}

bool Fail(std::wstring* problem, int line, const wchar_t* why) {
  if (problem) *problem = L"line " + std::to_wstring(line) + L": " + why;
  return false;
}

// The word at the start of the line, and the rest after one blank.
bool TakeKeyword(std::string_view line, std::string_view keyword, std::string_view& rest) {
  if (line.substr(0, keyword.size()) != keyword) return false;
  if (line.size() == keyword.size()) {
    rest = {};
    return true;
  }
  if (line[keyword.size()] != ' ' && line[keyword.size()] != '\t') return false;
  rest = Trim(line.substr(keyword.size()));
  return true;
}

}  // namespace

std::optional<std::vector<ToolBarDefinition>> ParseToolBarCollection(std::string_view text, std::wstring* problem) {
  if (text.size() > kLargestToolBarFile) {
    Fail(problem, 0, L"file too large");
    return std::nullopt;
  }
  std::vector<ToolBarDefinition> toolbars;
  bool open = false;
  int number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!IsCleanText(line)) return Fail(problem, number, L"not UTF-8 text"), std::nullopt;
    if (number == 1) {
      if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
      if (Trim(line) != kFirstLine) return Fail(problem, number, L"not a toolbar collection"), std::nullopt;
      continue;
    }
    line = Trim(line);
    if (line.empty() || line.front() == '#') continue;
    std::string_view rest;
    if (TakeKeyword(line, "toolbar", rest)) {
      if (open) return Fail(problem, number, L"toolbar inside a toolbar"), std::nullopt;
      if (rest.empty()) return Fail(problem, number, L"toolbar without a name"), std::nullopt;
      const std::wstring name = FromUtf8(rest);
      for (const auto& toolbar : toolbars) {
        if (toolbar.name == name) return Fail(problem, number, L"toolbar named twice"), std::nullopt;
      }
      toolbars.push_back(ToolBarDefinition{name, {}});
      open = true;
    } else if (TakeKeyword(line, "button", rest)) {
      if (!open) return Fail(problem, number, L"button outside a toolbar"), std::nullopt;
      const auto bar = rest.find('|');
      if (bar == std::string_view::npos) return Fail(problem, number, L"button without a command"), std::nullopt;
      const std::string_view tooltip = Trim(rest.substr(0, bar));
      const std::string_view macro = Trim(rest.substr(bar + 1));
      if (tooltip.empty() || macro.empty())
        return Fail(problem, number, L"button without a tip or a command"), std::nullopt;
      toolbars.back().buttons.push_back(ToolBarButton{FromUtf8(tooltip), FromUtf8(macro)});
    } else if (line == "end") {
      if (!open) return Fail(problem, number, L"end without a toolbar"), std::nullopt;
      open = false;
    } else {
      return Fail(problem, number, L"unknown line"), std::nullopt;
    }
  }
  if (number == 0) return Fail(problem, 1, L"empty file"), std::nullopt;
  if (open) return Fail(problem, number, L"toolbar not closed by end"), std::nullopt;
  if (toolbars.empty()) return Fail(problem, number, L"no toolbar"), std::nullopt;
  return toolbars;
}

}  // namespace zem
