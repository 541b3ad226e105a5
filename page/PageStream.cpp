#include "page/PageStream.h"

#include "platform/NativePath.h"

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
  for (char c : text) {
    if (c == '\n') PutByte('\r');
    PutByte(c);
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
