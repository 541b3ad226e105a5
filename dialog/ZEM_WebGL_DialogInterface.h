#pragma once
// What the export command asks of the export options dialog, and the one
// place where the dialog object is made. The command creates the dialog
// once, keeps it and shows it again at every run; it reaches the dialog only
// through this face, so the command's layer does not depend on how the
// dialog is built.
#include <functional>
#include <string>

#include "platform/WinTypes.h"

class ZEM_WebGL_DialogInterface {
 public:
  // The command's help address (with its topic), asked afresh at each
  // request, since the help language can change while the dialog lives.
  using HelpAddressProvider = std::function<std::wstring()>;

  virtual ~ZEM_WebGL_DialogInterface() = default;

  // Creates the dialog's hidden, non-resizable window, without a status
  // text; false when it cannot be created.
  virtual bool CreateExportWindow() = 0;
  // Shows the window activated at its size and place, marks the dialog as
  // open, updates it and gives it the keyboard focus.
  virtual void ShowForExport() = 0;
  // Brings the dialog up to date for this showing: the delivery mode, the
  // caption, title and author, the preview and the size estimate.
  virtual void PrepareForShow(bool sendByMail) = 0;
  // Gives up the object (its creator's reference); the command calls it
  // only for a dialog whose window could not be created.
  virtual void Discard() = 0;
};

// Makes a dialog object: the parent window and the help provider.
using ZEM_WebGL_DialogFactory =
    std::function<ZEM_WebGL_DialogInterface*(HWND parent, ZEM_WebGL_DialogInterface::HelpAddressProvider help)>;

// Installs the factory the command's dialogs come from (empty: none);
// answers the one it replaces.
ZEM_WebGL_DialogFactory SetWebGLDialogFactory(ZEM_WebGL_DialogFactory factory);

// A new dialog object from the installed factory, or null when there is
// none or it makes nothing.
ZEM_WebGL_DialogInterface* NewWebGLDialog(HWND parent, ZEM_WebGL_DialogInterface::HelpAddressProvider help);
