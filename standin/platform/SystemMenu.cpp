#include "standin/platform/SystemMenu.h"

#include <map>

namespace {

struct SystemMenuRecord {
  HWND window = nullptr;
  bool closeGreyed = false;
};

// Process-long; a record's address is its menu handle.
std::map<HWND, SystemMenuRecord>& Menus() {
  static auto* menus = new std::map<HWND, SystemMenuRecord>;
  return *menus;
}

SystemMenuRecord* FromHandle(HMENU menu) {
  for (auto& [window, record] : Menus())
    if (reinterpret_cast<HMENU>(&record) == menu) return IsWindow(window) ? &record : nullptr;
  return nullptr;
}

}  // namespace

HMENU GetSystemMenu(HWND window, BOOL) {
  if (!IsWindow(window)) return nullptr;
  SystemMenuRecord& record = Menus()[window];
  record.window = window;
  return reinterpret_cast<HMENU>(&record);
}

int EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  SystemMenuRecord* record = FromHandle(menu);
  if (!record || item != SC_CLOSE) return -1;
  const int previous = record->closeGreyed ? static_cast<int>(MF_GRAYED) : static_cast<int>(MF_ENABLED);
  record->closeGreyed = (flags & (MF_GRAYED | MF_DISABLED)) != 0;
  return previous;
}

bool zem::IsCloseGreyed(HWND window) {
  auto it = Menus().find(window);
  return it != Menus().end() && IsWindow(window) && it->second.closeGreyed;
}
