#include "ui/ZEM_UIComponent.h"

#include <cstdio>

#include "standin/platform/DebugOutput.h"

#include "standin/platform/CWnd.h"
#include "standin/platform/Fonts.h"
#include "standin/platform/Window.h"
#include "ui/ZEM_Dialog.h"

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

std::uint32_t ZEM_2DUIComponent::NextControlId() {
  static std::uint32_t next = 10000;
  return next++;
}

void ZEM_2DUIComponent::SetSize(int width, int height) {
  RECT r;
  if (!m_window || !GetWindowRect(m_window, &r)) return;
  MoveWindow(m_window, r.left, r.top, width, height, TRUE);
}

SIZE ZEM_2DUIComponent::TextExtent(const std::wstring& text) const {
  SIZE size;
  if (text.empty() || !IsWindow(m_parentDialog)) return size;
  HDC dc = GetDC(m_parentDialog);
  if (!dc) return size;
  HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(m_parentDialog, WM_GETFONT, 0, 0));
  HGDIOBJ before = font ? SelectObject(dc, font) : nullptr;
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  if (before) SelectObject(dc, before);
  ReleaseDC(m_parentDialog, dc);
  return size;
}

void ZEM_2DUIComponent::SizeToText(int extra) { SetWidth(TextExtent(zem::WindowText(m_window)).cx + extra); }

bool ZEM_2DUIComponent::SetToolTip(const std::wstring& text) {
  if (!IsWindow(m_window)) return false;
  auto* dialog = dynamic_cast<ZEM_Dialog*>(CWnd::FromHandlePermanent(m_parentDialog));
  return dialog && dialog->AddToolTip(m_window, text);
}

bool ZEM_2DUIComponent::CreateControl(CWnd& self, CWnd* dialog, const wchar_t* className, const std::wstring& text,
                                      DWORD style, DWORD exStyle, int extra) {
  if (!dialog || !IsWindow(dialog->m_hWnd) || IsWindow(m_window)) return false;
  m_parentDialog = dialog->m_hWnd;
  if (m_id == kNoId) SetId(NextControlId());
  const int width = TextExtent(text).cx + extra;
  HWND window =
      CreateWindowExW(exStyle, className, text.c_str(), (style | WS_CHILD) & ~WS_VISIBLE, 0, 0, width, kControlHeight,
                      m_parentDialog, reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(m_id)), nullptr, nullptr);
  if (!window) return false;
  m_window = window;
  self.Attach(window);
  const LRESULT font = SendMessageW(m_parentDialog, WM_GETFONT, 0, 0);
  SendMessageW(window, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
  ReadFromSettings();
  ShowWindow(window, SW_SHOW);
  return true;
}
