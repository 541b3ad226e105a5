#include "standin/platform/Window.h"

#include "standin/platform/WindowMessages.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <map>
#include <vector>

namespace {

struct WindowRecord {
  std::wstring className;
  std::wstring text;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect;
  HWND parent = nullptr;
  HWND owner = nullptr;
  int controlId = 0;
  bool minimized = false;
  bool hiddenByOwner = false;
  unsigned long long shownAt = 0;  // when last made visible
};

struct WindowRegistry {
  std::map<std::uintptr_t, WindowRecord> windows;
  std::uintptr_t nextHandle = 0x1000;
  unsigned long long showCount = 0;
  HWND mainWindow = nullptr;
};

// Lives for the whole process: objects destroyed at exit may still ask
// about their windows.
WindowRegistry& Registry() {
  static WindowRegistry* registry = new WindowRegistry;
  return *registry;
}

// Sends the owner's new state to the popups it owns.
void TellOwnedPopups(HWND owner, bool opening) {
  for (HWND popup : zem::OwnedWindows(owner)) {
    if (opening ? zem::HiddenByOwner(popup) : IsWindowVisible(popup) != FALSE)
      SendMessageW(popup, WM_SHOWWINDOW, opening ? TRUE : FALSE, opening ? SW_PARENTOPENING : SW_PARENTCLOSING);
  }
}

WindowRecord* Find(HWND window) {
  auto& windows = Registry().windows;
  auto it = windows.find(reinterpret_cast<std::uintptr_t>(window));
  return it == windows.end() ? nullptr : &it->second;
}

int CopyText(const std::wstring& text, LPWSTR buffer, int maxCount) {
  if (!buffer || maxCount <= 0) return 0;
  int n = std::min(static_cast<int>(text.size()), maxCount - 1);
  std::wmemcpy(buffer, text.data(), static_cast<std::size_t>(n));
  buffer[n] = L'\0';
  return n;
}

}  // namespace

namespace zem {

HWND CreateWindowObject(const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect, HWND parent,
                        int controlId) {
  if (parent && !Find(parent)) return nullptr;
  auto& registry = Registry();
  std::uintptr_t handle = registry.nextHandle;
  registry.nextHandle += 0x10;
  WindowRecord record;
  record.className = className ? className : L"";
  record.text = text ? text : L"";
  record.style = style;
  record.rect = rect;
  record.parent = parent;
  record.controlId = controlId;
  if (style & WS_VISIBLE) record.shownAt = ++registry.showCount;
  registry.windows.emplace(handle, std::move(record));
  return reinterpret_cast<HWND>(handle);
}

std::wstring WindowText(HWND window) {
  const WindowRecord* record = Find(window);
  return record ? record->text : std::wstring();
}

int WindowCount() { return static_cast<int>(Registry().windows.size()); }

std::vector<HWND> ChildWindows(HWND parent) {
  // Handles grow with every creation, so the map's order is creation order.
  std::vector<HWND> children;
  if (!parent) return children;
  for (auto& [handle, record] : Registry().windows)
    if (record.parent == parent) children.push_back(reinterpret_cast<HWND>(handle));
  return children;
}

void SetWindowOwner(HWND window, HWND owner) {
  if (WindowRecord* record = Find(window)) record->owner = Find(owner) && owner != window ? owner : nullptr;
}

std::vector<HWND> OwnedWindows(HWND owner) {
  std::vector<HWND> owned;
  if (!owner) return owned;
  for (auto& [handle, record] : Registry().windows)
    if (record.owner == owner) owned.push_back(reinterpret_cast<HWND>(handle));
  return owned;
}

void SetHiddenByOwner(HWND window, bool hidden) {
  if (WindowRecord* record = Find(window)) record->hiddenByOwner = hidden;
}

bool HiddenByOwner(HWND window) {
  const WindowRecord* record = Find(window);
  return record && record->hiddenByOwner;
}

void SetMainWindow(HWND window) { Registry().mainWindow = window; }
HWND MainWindow() { return Find(Registry().mainWindow) ? Registry().mainWindow : nullptr; }

HWND LastShownWindow(const wchar_t* className) {
  HWND last = nullptr;
  unsigned long long lastShown = 0;
  for (auto& [handle, record] : Registry().windows) {
    HWND w = reinterpret_cast<HWND>(handle);
    if (record.parent || record.className != className || !IsWindowVisible(w)) continue;
    if (record.shownAt >= lastShown) {
      lastShown = record.shownAt;
      last = w;
    }
  }
  return last;
}

}  // namespace zem

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR text, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU menu, void*, void*) {
  const bool child = (style & WS_CHILD) != 0;
  if (parent && !Find(parent)) return nullptr;
  const int id = child ? static_cast<int>(reinterpret_cast<std::uintptr_t>(menu)) : 0;
  // A top-level window's "parent" is its owner.
  HWND window =
      zem::CreateWindowObject(className, text, style, RECT{x, y, x + width, y + height}, child ? parent : nullptr, id);
  if (WindowRecord* record = Find(window)) {
    record->exStyle = exStyle;
    if (!child) record->owner = parent;
  }
  return window;
}

BOOL IsWindow(HWND window) { return Find(window) ? TRUE : FALSE; }

BOOL DestroyWindow(HWND window) {
  if (!Find(window)) return FALSE;
  // Children go with their parent.
  std::vector<HWND> doomed{window};
  for (std::size_t i = 0; i < doomed.size(); ++i) {
    for (auto& [handle, record] : Registry().windows) {
      if (record.parent == doomed[i]) doomed.push_back(reinterpret_cast<HWND>(handle));
    }
  }
  for (HWND w : doomed) Registry().windows.erase(reinterpret_cast<std::uintptr_t>(w));
  return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
  WindowRecord* record = Find(window);
  if (!record) return FALSE;
  BOOL wasVisible = (record->style & WS_VISIBLE) ? TRUE : FALSE;
  if (command == SW_HIDE) {
    record->style &= ~WS_VISIBLE;
    return wasVisible;
  }
  if (!wasVisible) record->shownAt = ++Registry().showCount;
  record->style |= WS_VISIBLE;
  const bool minimise = command == SW_MINIMIZE || command == SW_SHOWMINIMIZED;
  if (minimise != record->minimized) {
    record->minimized = minimise;
    TellOwnedPopups(window, !minimise);
  }
  return wasVisible;
}

BOOL IsIconic(HWND window) {
  const WindowRecord* record = Find(window);
  return record && record->minimized ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window) {
  for (WindowRecord* record = Find(window); record; record = Find(record->parent)) {
    if (!(record->style & WS_VISIBLE)) return FALSE;
    if (!record->parent) return TRUE;
  }
  return FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
  WindowRecord* record = Find(window);
  if (!record) return FALSE;
  BOOL wasDisabled = (record->style & WS_DISABLED) ? TRUE : FALSE;
  if (enable) {
    record->style &= ~WS_DISABLED;
  } else {
    record->style |= WS_DISABLED;
  }
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) {
  const WindowRecord* record = Find(window);
  return record && !(record->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL SetWindowTextW(HWND window, LPCWSTR text) {
  WindowRecord* record = Find(window);
  if (!record) return FALSE;
  record->text = text ? text : L"";
  return TRUE;
}

int GetWindowTextW(HWND window, LPWSTR buffer, int maxCount) {
  const WindowRecord* record = Find(window);
  if (!record) {
    if (buffer && maxCount > 0) buffer[0] = L'\0';
    return 0;
  }
  return CopyText(record->text, buffer, maxCount);
}

int GetWindowTextLengthW(HWND window) {
  const WindowRecord* record = Find(window);
  return record ? static_cast<int>(record->text.size()) : 0;
}

int GetClassNameW(HWND window, LPWSTR buffer, int maxCount) {
  const WindowRecord* record = Find(window);
  return record ? CopyText(record->className, buffer, maxCount) : 0;
}

LONG GetWindowLongW(HWND window, int index) {
  const WindowRecord* record = Find(window);
  if (!record) return 0;
  if (index == GWL_STYLE) return static_cast<LONG>(record->style);
  if (index == GWL_ID) return record->controlId;
  if (index == GWL_EXSTYLE) return static_cast<LONG>(record->exStyle);
  return 0;
}

LONG SetWindowLongW(HWND window, int index, LONG value) {
  WindowRecord* record = Find(window);
  if (!record) return 0;
  DWORD* field = index == GWL_STYLE ? &record->style : index == GWL_EXSTYLE ? &record->exStyle : nullptr;
  if (!field) return 0;
  const LONG previous = static_cast<LONG>(*field);
  *field = static_cast<DWORD>(value);
  return previous;
}

HWND GetParent(HWND window) {
  const WindowRecord* record = Find(window);
  if (!record) return nullptr;
  return record->parent ? record->parent : record->owner;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
  const WindowRecord* record = Find(window);
  if (!record || !rect) return FALSE;
  *rect = record->rect;
  return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
  WindowRecord* record = Find(window);
  if (!record) return FALSE;
  record->rect = RECT{x, y, x + width, y + height};
  return TRUE;
}

int GetDlgCtrlID(HWND window) {
  const WindowRecord* record = Find(window);
  return record ? record->controlId : 0;
}

HWND GetDlgItem(HWND parent, int controlId) {
  if (!Find(parent)) return nullptr;
  for (auto& [handle, record] : Registry().windows) {
    if (record.parent == parent && record.controlId == controlId) return reinterpret_cast<HWND>(handle);
  }
  return nullptr;
}
