#include "page/PageStream.h"

#include <cstring>

#include "standin/platform/NativePath.h"

namespace zem {

PageStream::~PageStream() { Close(); }

bool PageStream::Open(const std::wstring& path) {
  Close();
  m_failed = false;
  m_used = 0;
  m_file = std::fopen(NativePath(path).c_str(), "wb");
  return m_file != nullptr;
}

void PageStream::Put(std::wstring_view text) {
  if (!m_file) return;
  for (wchar_t c : text) {
    if (c == L'\n') {
      PutByte('\r');
      PutByte('\n');
    } else if (c >= 0 && c <= 0xFF) {
      PutByte(static_cast<char>(c));
    } else {
      PutByte('?');
    }
  }
}

void PageStream::PutNarrow(std::string_view text) {
  if (!m_file) return;
  while (!text.empty()) {
    // Copy up to the next line feed in one piece, then the line end.
    const void* feed = std::memchr(text.data(), '\n', text.size());
    const std::size_t run = feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - text.data()) : text.size();
    PutRun(text.data(), run);
    if (!feed) break;
    PutByte('\r');
    PutByte('\n');
    text.remove_prefix(run + 1);
  }
}

void PageStream::PutRun(const char* bytes, std::size_t n) {
  while (n > 0) {
    if (m_used == sizeof(m_buffer)) Flush();
    const std::size_t room = sizeof(m_buffer) - m_used;
    const std::size_t take = n < room ? n : room;
    std::memcpy(m_buffer + m_used, bytes, take);
    m_used += take;
    bytes += take;
    n -= take;
  }
}

void PageStream::Flush() {
  if (m_used > 0 && m_file) {
    if (std::fwrite(m_buffer, 1, m_used, m_file) != m_used) m_failed = true;
  }
  m_used = 0;
}

bool PageStream::Close() {
  if (!m_file) return !m_failed;
  Flush();
  if (std::fflush(m_file) != 0) m_failed = true;
  if (std::ferror(m_file)) m_failed = true;
  if (std::fclose(m_file) != 0) m_failed = true;
  m_file = nullptr;
  return !m_failed;
}

}  // namespace zem
