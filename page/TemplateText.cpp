#include "page/TemplateText.h"

namespace zem {

std::string JoinTemplateLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 1);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    for (std::size_t i = start; i < end; ++i) {
      if (text[i] == ' ' && (i + 1 == end || text[i + 1] == ' ')) continue;
      out += text[i];
    }
    start = end + 1;
  }
  out += '\n';
  return out;
}

}  // namespace zem
