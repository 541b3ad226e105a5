#pragma once
// The date of the page's header comment, in the C library's ctime form
// ("Sun Dec  6 11:11:50 2026" and a line feed). When SOURCE_DATE_EPOCH is
// set to a number of seconds, that instant is used, read as UTC, so a page
// can be reproduced byte for byte; otherwise the local time now.
#include <string>

namespace zem {

std::wstring PageDateText();

}  // namespace zem
