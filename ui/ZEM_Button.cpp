#include "ui/ZEM_Button.h"

#include "standin/platform/Resources.h"

namespace {
constexpr DWORD kButtonStyle = WS_CHILD | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON;
}  // namespace

bool ZEM_Button::Create(CWnd* dialog, const std::wstring& text, int id) {
  if (id != -1) SetId(static_cast<std::uint32_t>(id));
  return CreateControl(*this, dialog, L"Button", text, kButtonStyle, 0, 0);
}

bool ZEM_Button::CreateIcon(CWnd* dialog, UINT icon, int id) {
  if (id != -1) SetId(static_cast<std::uint32_t>(id));
  if (!CreateControl(*this, dialog, L"Button", L"", kButtonStyle | BS_ICON, 0, 0)) return false;
  SetSize(kIconButtonSize, kIconButtonSize);
  auto* picture = static_cast<HICON>(
      LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(icon), IMAGE_ICON, kIconSize, kIconSize, LR_DEFAULTCOLOR));
  if (picture) SetIcon(picture);
  return true;
}
