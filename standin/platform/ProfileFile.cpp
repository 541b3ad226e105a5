#include "standin/platform/ProfileFile.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <unistd.h>

#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"

namespace zem {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring_view Trim(std::wstring_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

bool HasLineBreak(std::wstring_view text) { return text.find_first_of(L"\r\n") != std::wstring_view::npos; }

}  // namespace

ProfileText::Line ProfileText::Classify(std::wstring text) {
  Line line;
  std::wstring_view trimmed = Trim(text);
  if (!trimmed.empty() && trimmed.front() == L'[') {
    line.kind = Line::kSection;
    std::wstring_view name = trimmed.substr(1);
    name = name.substr(0, name.find(L']'));
    line.name = Trim(name);
  } else if (!trimmed.empty() && trimmed.front() != L';') {
    const std::size_t equals = trimmed.find(L'=');
    if (equals != std::wstring_view::npos) {
      line.kind = Line::kEntry;
      line.name = Trim(trimmed.substr(0, equals));
      std::wstring_view value = Trim(trimmed.substr(equals + 1));
      if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
      line.value = value;
    }
  }
  line.text = std::move(text);
  return line;
}

ProfileText ProfileText::Parse(std::string_view utf8) {
  while (utf8.substr(0, 3) == "\xEF\xBB\xBF") utf8.remove_prefix(3);
  const std::wstring text = FromUtf8(utf8);
  ProfileText profile;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    profile.m_lines.push_back(Classify(text.substr(start, end - start)));
    if (end < text.size() && text[end] == L'\r' && end + 1 < text.size() && text[end + 1] == L'\n') ++end;
    start = end + 1;
  }
  return profile;
}

std::string ProfileText::Serialize() const {
  std::wstring text;
  for (const Line& line : m_lines) {
    text += line.text;
    text += L"\r\n";
  }
  return ToUtf8(text);
}

std::size_t ProfileText::FindSection(std::wstring_view section) const {
  for (std::size_t i = 0; i < m_lines.size(); ++i)
    if (m_lines[i].kind == Line::kSection && SameName(m_lines[i].name, section)) return i;
  return std::wstring::npos;
}

std::size_t ProfileText::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < m_lines.size() && m_lines[i].kind != Line::kSection) ++i;
  return i;
}

std::optional<std::wstring> ProfileText::Get(std::wstring_view section, std::wstring_view key) const {
  const std::size_t header = FindSection(section);
  if (header == std::wstring::npos) return std::nullopt;
  for (std::size_t i = header + 1, end = SectionEnd(header); i < end; ++i)
    if (m_lines[i].kind == Line::kEntry && SameName(m_lines[i].name, key)) return m_lines[i].value;
  return std::nullopt;
}

bool ProfileText::IsValidSectionName(std::wstring_view section) {
  // The name must read back as itself from "[name]".
  return !section.empty() && Trim(section) == section && section.find(L']') == std::wstring_view::npos &&
         !HasLineBreak(section);
}

bool ProfileText::IsValidKeyName(std::wstring_view key) {
  // The name must read back as itself from "key=value", and not as a header
  // or a comment.
  return !key.empty() && Trim(key) == key && key.find(L'=') == std::wstring_view::npos && key.front() != L'[' &&
         key.front() != L';' && !HasLineBreak(key);
}

bool ProfileText::Set(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
  if (!IsValidSectionName(section) || !IsValidKeyName(key)) return false;
  std::wstring oneLine(value);
  std::replace_if(
      oneLine.begin(), oneLine.end(), [](wchar_t c) { return c == L'\r' || c == L'\n'; }, L' ');
  std::wstring text = std::wstring(key) + L"=" + oneLine;
  std::size_t header = FindSection(section);
  if (header == std::wstring::npos) {
    m_lines.push_back(Classify(L"[" + std::wstring(section) + L"]"));
    m_lines.push_back(Classify(std::move(text)));
    return true;
  }
  const std::size_t end = SectionEnd(header);
  std::size_t last = header;
  for (std::size_t i = header + 1; i < end; ++i) {
    if (m_lines[i].kind == Line::kEntry && SameName(m_lines[i].name, key)) {
      m_lines[i] = Classify(std::move(text));
      return true;
    }
    if (m_lines[i].kind == Line::kEntry) last = i;
  }
  // After the section's last entry, before the blank lines that part it from
  // the next section.
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(last + 1), Classify(std::move(text)));
  return true;
}

void ProfileText::RemoveKey(std::wstring_view section, std::wstring_view key) {
  const std::size_t header = FindSection(section);
  if (header == std::wstring::npos) return;
  for (std::size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
    if (m_lines[i].kind == Line::kEntry && SameName(m_lines[i].name, key)) {
      m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
  }
}

void ProfileText::RemoveSection(std::wstring_view section) {
  const std::size_t header = FindSection(section);
  if (header == std::wstring::npos) return;
  m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(header),
                m_lines.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
}

std::vector<std::wstring> ProfileText::SectionNames() const {
  std::vector<std::wstring> names;
  for (const Line& line : m_lines)
    if (line.kind == Line::kSection) names.push_back(line.name);
  return names;
}

std::vector<std::wstring> ProfileText::KeyNames(std::wstring_view section) const {
  std::vector<std::wstring> names;
  const std::size_t header = FindSection(section);
  if (header == std::wstring::npos) return names;
  for (std::size_t i = header + 1, end = SectionEnd(header); i < end; ++i)
    if (m_lines[i].kind == Line::kEntry) names.push_back(m_lines[i].name);
  return names;
}

}  // namespace zem

namespace {

// The file's text; empty for a missing file, nullopt when it cannot be read.
std::optional<std::string> ReadProfileFile(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return error ? std::nullopt : std::optional<std::string>("");
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(text).str();
}

bool ReplaceProfileFile(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::path temporary = path;
  temporary += ".tmp" + std::to_string(::getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

DWORD CopyOut(std::wstring_view text, LPWSTR buffer, DWORD size) {
  const DWORD n = static_cast<DWORD>(std::min<std::size_t>(text.size(), size - 1));
  std::copy_n(text.data(), n, buffer);
  buffer[n] = L'\0';
  return n;
}

// Names as a zero-separated list ended by a second zero; a list that does not
// fit is cut and still doubly terminated, answering size - 2.
DWORD CopyOutList(const std::vector<std::wstring>& names, LPWSTR buffer, DWORD size) {
  std::wstring list;
  for (const auto& name : names) {
    list += name;
    list += L'\0';
  }
  if (size < 2) {
    buffer[0] = L'\0';
    return 0;
  }
  if (list.size() + 1 <= size) {
    std::copy(list.begin(), list.end(), buffer);
    buffer[list.size()] = L'\0';
    return static_cast<DWORD>(list.size());
  }
  std::copy_n(list.begin(), size - 2, buffer);
  buffer[size - 2] = L'\0';
  buffer[size - 1] = L'\0';
  return size - 2;
}

}  // namespace

DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, LPWSTR buffer, DWORD size,
                               LPCWSTR fileName) {
  if (buffer == nullptr || size == 0) return 0;
  std::optional<std::string> text;
  if (fileName != nullptr) text = ReadProfileFile(zem::NativePath(fileName));
  const zem::ProfileText profile = zem::ProfileText::Parse(text ? *text : std::string());
  if (section == nullptr) return CopyOutList(profile.SectionNames(), buffer, size);
  if (key == nullptr) return CopyOutList(profile.KeyNames(section), buffer, size);
  if (auto value = profile.Get(section, key)) return CopyOut(*value, buffer, size);
  std::wstring_view fallback = defaultValue ? defaultValue : L"";
  while (!fallback.empty() && fallback.back() == L' ') fallback.remove_suffix(1);
  return CopyOut(fallback, buffer, size);
}

BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR fileName) {
  if (section == nullptr || fileName == nullptr) return FALSE;
  const std::filesystem::path path = zem::NativePath(fileName);
  const std::optional<std::string> text = ReadProfileFile(path);
  if (!text) return FALSE;
  zem::ProfileText profile = zem::ProfileText::Parse(*text);
  if (key == nullptr) {
    profile.RemoveSection(section);
  } else if (value == nullptr) {
    profile.RemoveKey(section, key);
  } else if (!profile.Set(section, key, value)) {
    return FALSE;
  }
  return ReplaceProfileFile(path, profile.Serialize()) ? TRUE : FALSE;
}
