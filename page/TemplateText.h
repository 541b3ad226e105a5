#pragma once
// The viewer's texts (style sheet, shaders, script) are stored as readable
// multi-line files and written into the page as one line each.
#include <string>
#include <string_view>

namespace zem {

// Joins the lines of text without separator and ends the result with one
// line feed. In each line, a space followed by another space and a space
// at the end of the line are dropped, so indentation shrinks to one space
// and trailing spaces vanish. A last line without line feed is kept.
std::string JoinTemplateLines(std::string_view text);

}  // namespace zem
