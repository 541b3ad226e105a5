#pragma once
// The framework's own resources: its dialog templates, icons and bitmaps,
// embedded at build time and registered for the module that links the
// framework (the plug-in's static module state), so they are found while a
// host entry has switched to that state (AFX_MANAGE_STATE).
#include "standin/platform/WinTypes.h"

namespace zem {

// Template ids: the fixed-frame and the sizing-border empty dialogs, and the
// file dialog's extra panel.
inline constexpr UINT kFixedDialogTemplate = 2016;
inline constexpr UINT kSizingDialogTemplate = 119;
inline constexpr UINT kFilePanelTemplate = 101;
// The file panel's controls.
inline constexpr int kFilePanelPreview = 1002;
inline constexpr int kFilePanelInfo = 1004;
inline constexpr int kFilePanelFrame = 1119;
// Icons (16 and 32 pixels; the Undo and Redo icons 16 only).
inline constexpr UINT kDialogIcon = 110;
inline constexpr UINT kUndoIcon = 133;
inline constexpr UINT kRedoIcon = 113;
// Bitmaps: the top decoration and the short and tall side decorations.
inline constexpr UINT kTopBitmap = 139;
inline constexpr UINT kShortSideBitmap = 146;
inline constexpr UINT kTallSideBitmap = 138;

// Registers them once per process; answers false when an embedded picture
// cannot be decoded.
bool RegisterFrameworkResources();

}  // namespace zem
