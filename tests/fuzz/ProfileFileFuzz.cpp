// libFuzzer target of the profile-file reader: any bytes must parse; the
// parsed text must write back to a text that reads as the same; a value set
// must read back as set; the reading functions must stay inside the caller's
// buffer whatever its size.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "standin/platform/ProfileFile.h"
#include "standin/platform/TextEncoding.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "profile fuzz: %s\n", what);
    std::abort();
  }
}

// One scratch file per fuzzing process, removed when the process ends.
struct ScratchFile {
  std::string native = "/tmp/zem-profile-fuzz-" + std::to_string(::getpid()) + ".ini";
  std::wstring path = zem::FromUtf8(native);
  ~ScratchFile() { std::remove(native.c_str()); }
};

const std::wstring& FilePath() {
  static const ScratchFile file;
  return file.path;
}

void ReadThroughTheFile(std::string_view bytes, const std::vector<std::wstring>& sections) {
  if (FILE* f = std::fopen(zem::ToUtf8(FilePath()).c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  for (DWORD size : {1u, 2u, 3u, 7u, 255u}) {
    // Guard characters after the buffer must survive.
    std::vector<wchar_t> buffer(size + 4, L'#');
    const DWORD n = GetPrivateProfileStringW(nullptr, nullptr, L"", buffer.data(), size, FilePath().c_str());
    Check(n < size, "section list longer than its buffer");
    Check(buffer[size] == L'#', "section list wrote past its buffer");
    if (!sections.empty()) {
      std::vector<wchar_t> keys(size + 4, L'#');
      GetPrivateProfileStringW(sections.front().c_str(), nullptr, L"", keys.data(), size, FilePath().c_str());
      Check(keys[size] == L'#', "key list wrote past its buffer");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const zem::ProfileText parsed = zem::ProfileText::Parse(bytes);
  const std::string once = parsed.Serialize();
  zem::ProfileText reparsed = zem::ProfileText::Parse(once);
  Check(reparsed.Serialize() == once, "written text does not read back the same");

  const std::vector<std::wstring> sections = parsed.SectionNames();
  Check(sections == reparsed.SectionNames(), "section names changed by a write-back");
  for (const auto& section : sections)
    for (const auto& key : parsed.KeyNames(section))
      Check(parsed.Get(section, key) == reparsed.Get(section, key), "value changed by a write-back");

  // Set a value taken from the input under a name taken from the input.
  const std::wstring text = zem::FromUtf8(bytes.substr(0, 64));
  const std::wstring section = sections.empty() ? std::wstring(L"fuzz") : sections.back();
  const std::wstring key = text.substr(0, text.find_first_of(L"=\r\n"));
  for (const std::wstring& name : {key, std::wstring(L"k")}) {
    if (!reparsed.Set(section, name, text)) {
      Check(!zem::ProfileText::IsValidSectionName(section) || !zem::ProfileText::IsValidKeyName(name),
            "a valid name was refused");
      continue;
    }
    const zem::ProfileText written = zem::ProfileText::Parse(reparsed.Serialize());
    Check(written.Get(section, name) == reparsed.Get(section, name), "a set value does not read back");
    Check(written.KeyNames(section).size() == reparsed.KeyNames(section).size(), "a set value added keys");
  }

  ReadThroughTheFile(bytes, sections);
  return 0;
}
