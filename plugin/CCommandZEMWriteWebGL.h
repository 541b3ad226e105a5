#pragma once
// The plug-in's one command, "ZEMWriteWebGL". It asks on the command line
// for the export mode ("File", "Email" or "About"; Enter, Escape or no
// answer mean "File"), then shows the export options dialog in that
// delivery mode, or the About box. The command writes nothing itself: the
// dialog's "Ok" exports, after the command has returned. Without an open
// document it fails at once, silently.
//
// The dialog is made on first use and kept, hidden between
// exports, until the process ends, so its options carry over from one run to
// the next. A dialog whose window cannot be created is given up, and the
// next run tries again.
#include "dialog/ZEM_WebGL_Dialog.h"
#include "standin/host/CRhinoCommand.h"

class CCommandZEMWriteWebGL : public CRhinoScriptCommand {
 public:
  enum ExportMode { kFile = 1, kEmail = 2, kAbout = 3 };

  CCommandZEMWriteWebGL();
  // The dialog is not deleted: it may outlive the framework's module-level
  // objects that its destruction would use.
  ~CCommandZEMWriteWebGL() override;

  ON_UUID CommandUUID() override;
  const wchar_t* EnglishCommandName() override;
  result RunCommand(const CRhinoCommandContext& context) override;
  // The plug-in's help address with the command's topic.
  bool GetCommandHelpURL(ON_wString& url) override;

  // The "Export Mode" prompt: kFile, kEmail or kAbout.
  int GetExportMode();
  // Shows the export dialog (creating it first when needed) and prepares it
  // for the mode; true when it is shown.
  bool ShowExportDialog(bool sendByMail);
  // The kept dialog, or null.
  ZEM_WebGL_Dialog* Dialog() const { return m_dialog; }

 private:
  ZEM_WebGL_Dialog* m_dialog = nullptr;
};

// The module's command object.
CCommandZEMWriteWebGL& WriteWebGLCommand();
