#pragma once
// Resources by id per module: dialog templates, icons and bitmaps are
// registered under a module's instance handle and found through the current
// module state (AfxGetResourceHandle, ModuleState.h), as every entry from the
// host into the plug-in switches to the plug-in's state. Pictures are PNG
// files; icons may have several sizes under one id.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "standin/platform/ModuleState.h"
#include "standin/platform/WinTypes.h"

using HANDLE = void*;

inline LPCWSTR MAKEINTRESOURCEW(unsigned id) {
  return reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(id)));
}
constexpr UINT LR_DEFAULTCOLOR = 0;

namespace zem {

// A control of a dialog template, its rectangle in dialog units.
struct DialogItem {
  std::wstring className;
  std::wstring text;
  int id = 0;
  DWORD style = 0;
  RECT rect;
};

// A dialog template: size in dialog units, styles, caption, font and the
// controls the dialog is created with.
struct DialogTemplate {
  int cx = 0;
  int cy = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  std::wstring caption;
  std::wstring fontFace = L"MS Shell Dlg";
  int pointSize = 8;
  std::vector<DialogItem> items;
};

// A decoded picture: premultiplied 32-bit ARGB pixels, row by row.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

void RegisterDialogTemplate(HINSTANCE module, UINT id, DialogTemplate dialogTemplate);
// Answers false when the bytes are no PNG picture.
bool RegisterBitmap(HINSTANCE module, UINT id, const unsigned char* png, std::size_t size);
bool RegisterIcon(HINSTANCE module, UINT id, const unsigned char* png, std::size_t size);

// The current module's template, or null.
const DialogTemplate* FindDialogTemplate(UINT id);
// The picture behind a bitmap or icon handle, or null.
const Picture* PictureOf(const void* handle);

}  // namespace zem

// The icon of the module (null: the current one) whose size is nearest to
// (cx, cy), 32 x 32 for 0. Null when the module has no such icon.
HICON LoadIconW(HINSTANCE module, LPCWSTR name);
HANDLE LoadImageW(HINSTANCE module, LPCWSTR name, UINT type, int cx, int cy, UINT flags);
HBITMAP LoadBitmapW(HINSTANCE module, LPCWSTR name);
