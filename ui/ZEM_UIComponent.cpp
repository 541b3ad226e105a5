#include "ui/ZEM_UIComponent.h"

#include <cstdio>

#include "platform/DebugOutput.h"

#include "platform/Window.h"

ZEM_UIComponent::ZEM_UIComponent() {
  char name[16];
  std::snprintf(name, sizeof name, "%d", static_cast<int>(m_id));
  m_name = name;
}

void ZEM_2DUIComponent::Enable(bool enable) {
  if (m_id == kNoId) return;
  if (m_window) EnableWindow(m_window, enable ? TRUE : FALSE);
  if (m_buddy && m_buddy->m_window) EnableWindow(m_buddy->m_window, enable ? TRUE : FALSE);
}

void ZEM_2DUIComponent::SetHeight(int pixels) {
  RECT r;
  if (!m_window || !GetWindowRect(m_window, &r)) return;
  // The window rectangle is in the parent's client coordinates, as MoveWindow
  // takes it.
  MoveWindow(m_window, r.left, r.top, r.right - r.left, pixels, TRUE);
}

void ZEM_2DUIComponent::SetWidth(int pixels) {
  RECT r;
  if (!m_window || !GetWindowRect(m_window, &r)) return;
  MoveWindow(m_window, r.left, r.top, pixels, r.bottom - r.top, TRUE);
}

bool ZEM_2DUIComponent::ReadFromSettings() {
  OutputDebugStringW(L"ZEM_2DUIComponent: Read from settings for this kind of widget not yet implemented.\n");
  return false;
}

bool ZEM_2DUIComponent::WriteToSettings() {
  OutputDebugStringW(L"ZEM_2DUIComponent: Write to settings for this kind of widget not yet implemented.\n");
  return false;
}
