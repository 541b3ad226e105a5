#pragma once
// Profile (.ini) files, as the Windows profile-string functions read and
// write them: "[section]" headers, then "key=value" lines. Section and key
// names match without regard to case; values are trimmed of surrounding
// blanks and of one pair of enclosing quotes. Files are UTF-8 (the stand-in
// for the ANSI code page) with CR LF line ends; a UTF-8 byte-order mark is
// skipped when read.
//
// Writing replaces the file as a whole: the new text goes to a temporary
// sibling that is then renamed over the old file, so that a crash or a full
// disk leaves either the old file or the new one, never a part. A value
// never spans lines: line breaks in a written value become spaces.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "standin/platform/WinTypes.h"

namespace zem {

// A profile file's text, parsed. Lines that are neither headers nor entries
// (comments, blank lines) are kept as they are.
class ProfileText {
 public:
  static ProfileText Parse(std::string_view utf8);
  std::string Serialize() const;

  std::optional<std::wstring> Get(std::wstring_view section, std::wstring_view key) const;
  // False when the names cannot be written (see IsValidSectionName and
  // IsValidKeyName); nothing changes then.
  bool Set(std::wstring_view section, std::wstring_view key, std::wstring_view value);
  void RemoveKey(std::wstring_view section, std::wstring_view key);
  void RemoveSection(std::wstring_view section);

  std::vector<std::wstring> SectionNames() const;
  std::vector<std::wstring> KeyNames(std::wstring_view section) const;

  static bool IsValidSectionName(std::wstring_view section);
  static bool IsValidKeyName(std::wstring_view key);

 private:
  struct Line {
    enum Kind { kOther, kSection, kEntry } kind = kOther;
    std::wstring text;   // the line as it stands in the file
    std::wstring name;   // section or key name
    std::wstring value;  // entry value, trimmed and unquoted
  };
  static Line Classify(std::wstring text);
  // Index of the section's header line, or npos.
  std::size_t FindSection(std::wstring_view section) const;
  // One past the section's last line.
  std::size_t SectionEnd(std::size_t header) const;

  std::vector<Line> m_lines;
};

}  // namespace zem

// Copies the value of `key` in `section` of `fileName` (or `defaultValue`,
// trailing blanks removed, when there is none) into the buffer, cut to
// size - 1 characters, and answers the number of characters copied. With a
// null section: the section names; with a null key: the section's key names;
// each name zero-terminated, the list ended by a second zero.
DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR defaultValue, LPWSTR buffer, DWORD size,
                               LPCWSTR fileName);

// Sets `key` in `section` to `value`, creating section, key and file as
// needed. A null key removes the section, a null value removes the key.
// Answers FALSE when the file cannot be read or written, or when the section
// or key name could not be read back as written.
BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR fileName);
