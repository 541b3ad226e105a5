#include "platform/Window.h"

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
  RECT rect;
  HWND parent = nullptr;
  int controlId = 0;
};

struct WindowRegistry {
  std::map<std::uintptr_t, WindowRecord> windows;
  std::uintptr_t nextHandle = 0x1000;
};

WindowRegistry& Registry() {
  static WindowRegistry registry;
  return registry;
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

HWND CreateWindowObject(const wchar_t* className, const wchar_t* text, DWORD style,
                        const RECT& rect, HWND parent, int controlId) {
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

}  // namespace zem

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
  } else {
    record->style |= WS_VISIBLE;
  }
  return wasVisible;
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
  return 0;
}

HWND GetParent(HWND window) {
  const WindowRecord* record = Find(window);
  return record ? record->parent : nullptr;
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
