#pragma once
// The page file as the writer sees it: a text-mode output stream that turns
// each wide character into one ISO-8859-1 byte and every line feed into
// CR LF. It remembers whether any write failed, so that a broken page is
// never taken for a finished one.
#include <cstdio>
#include <string>
#include <string_view>

namespace zem {

class PageStream {
 public:
  PageStream() = default;
  ~PageStream();
  PageStream(const PageStream&) = delete;
  PageStream& operator=(const PageStream&) = delete;

  // Creates (or truncates) the file. False when it cannot be created.
  bool Open(const std::wstring& path);
  bool IsOpen() const { return m_file != nullptr; }

  // Wide text: characters beyond ISO-8859-1 are written as '?' (page texts
  // have been escaped before they get here, so this only guards the encoding).
  void Put(std::wstring_view text);
  // Narrow text, byte for byte (line feeds still become CR LF).
  void PutNarrow(std::string_view text);

  // Flushes and closes. True when every write since Open succeeded.
  bool Close();
  // True once any write, flush or close has failed.
  bool Failed() const { return m_failed; }

 private:
  void Flush();
  // Bytes without line feeds, as they are.
  void PutRun(const char* bytes, std::size_t n);
  void PutByte(char c) {
    if (m_used == sizeof(m_buffer)) Flush();
    m_buffer[m_used++] = c;
  }

  std::FILE* m_file = nullptr;
  bool m_failed = false;
  std::size_t m_used = 0;
  char m_buffer[1 << 16];
};

}  // namespace zem
