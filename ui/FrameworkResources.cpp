#include "ui/FrameworkResources.h"

#include <cstddef>

#include "standin/platform/Controls.h"
#include "standin/platform/Resources.h"

extern const unsigned char zem_dialog_icon16_png[];
extern const std::size_t zem_dialog_icon16_png_size;
extern const unsigned char zem_dialog_icon32_png[];
extern const std::size_t zem_dialog_icon32_png_size;
extern const unsigned char zem_dialog_undo_png[];
extern const std::size_t zem_dialog_undo_png_size;
extern const unsigned char zem_dialog_redo_png[];
extern const std::size_t zem_dialog_redo_png_size;
extern const unsigned char zem_dialog_top_png[];
extern const std::size_t zem_dialog_top_png_size;
extern const unsigned char zem_dialog_side_short_png[];
extern const std::size_t zem_dialog_side_short_png_size;
extern const unsigned char zem_dialog_side_tall_png[];
extern const std::size_t zem_dialog_side_tall_png_size;

namespace {

constexpr DWORD kPopupDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

bool Register() {
  HINSTANCE module = AfxGetStaticModuleState()->m_hCurrentInstanceHandle;
  zem::DialogTemplate fixed;
  fixed.cx = 100;
  fixed.cy = 75;
  fixed.style = kPopupDialog;
  fixed.exStyle = WS_EX_DLGMODALFRAME;
  fixed.caption = L"Dialog";
  zem::RegisterDialogTemplate(module, zem::kFixedDialogTemplate, fixed);

  zem::DialogTemplate sizing = fixed;
  sizing.cx = 78;
  sizing.cy = 63;
  sizing.style |= WS_THICKFRAME;
  zem::RegisterDialogTemplate(module, zem::kSizingDialogTemplate, sizing);

  zem::DialogTemplate panel;
  panel.cx = 111;
  panel.cy = 184;
  panel.style = WS_CHILD | WS_VISIBLE | DS_SETFONT;
  panel.items = {
      {L"Static", L"", zem::kFilePanelFrame, WS_VISIBLE | SS_ETCHEDVERT, RECT{4, 4, 107, 110}},
      {L"Static", L"", zem::kFilePanelPreview, WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE, RECT{7, 7, 104, 107}},
      {L"Static", L"Info", zem::kFilePanelInfo, WS_VISIBLE, RECT{4, 114, 107, 180}},
  };
  zem::RegisterDialogTemplate(module, zem::kFilePanelTemplate, panel);

  return zem::RegisterIcon(module, zem::kDialogIcon, zem_dialog_icon16_png, zem_dialog_icon16_png_size) &&
         zem::RegisterIcon(module, zem::kDialogIcon, zem_dialog_icon32_png, zem_dialog_icon32_png_size) &&
         zem::RegisterIcon(module, zem::kUndoIcon, zem_dialog_undo_png, zem_dialog_undo_png_size) &&
         zem::RegisterIcon(module, zem::kRedoIcon, zem_dialog_redo_png, zem_dialog_redo_png_size) &&
         zem::RegisterBitmap(module, zem::kTopBitmap, zem_dialog_top_png, zem_dialog_top_png_size) &&
         zem::RegisterBitmap(module, zem::kShortSideBitmap, zem_dialog_side_short_png,
                             zem_dialog_side_short_png_size) &&
         zem::RegisterBitmap(module, zem::kTallSideBitmap, zem_dialog_side_tall_png, zem_dialog_side_tall_png_size);
}

}  // namespace

bool zem::RegisterFrameworkResources() {
  static const bool registered = Register();
  return registered;
}
