#include "page/PageDate.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace zem {

namespace {

// The ctime text of tm, built from fixed English names so that no locale
// setting of the process changes it.
std::wstring CtimeText(const std::tm& tm) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char text[64];
  int n = std::snprintf(text, sizeof(text), "%.3s %.3s%3d %.2d:%.2d:%.2d %d\n", kDays[(tm.tm_wday % 7 + 7) % 7],
                        kMonths[(tm.tm_mon % 12 + 12) % 12], tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                        tm.tm_year + 1900);
  if (n < 0) n = 0;
  if (n >= static_cast<int>(sizeof(text))) n = sizeof(text) - 1;
  return std::wstring(text, text + n);
}

}  // namespace

std::wstring PageDateText() {
  std::tm tm{};
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
    errno = 0;
    char* end = nullptr;
    long long seconds = std::strtoll(epoch, &end, 10);
    if (errno == 0 && *end == '\0' && seconds >= 0) {
      std::time_t t = static_cast<std::time_t>(seconds);
      if (gmtime_r(&t, &tm)) return CtimeText(tm);
    }
  }
  std::time_t now = std::time(nullptr);
  localtime_r(&now, &tm);
  return CtimeText(tm);
}

}  // namespace zem
