#pragma once
// Commands. A command object registers itself with the application when it
// is constructed (a plug-in's module-level command is there as soon as the
// module is) and leaves when it is destroyed. The host runs a command by
// name from RunScript: its English name, with or without the "_" (English)
// and "-" (scripted) prefixes, or its local name. A second command of a name
// already taken is never found by name; it can still be run directly.
#include "standin/host/ON_UUID.h"
#include "standin/host/ON_wString.h"
#include "standin/platform/WinTypes.h"

class CRhinoDoc;
class CRhinoPlugIn;

// What the host tells a command it runs.
class CRhinoCommandContext {
 public:
  enum COMMAND_STYLE { interactive_ui = 0, script_ui = 1 };

  CRhinoCommandContext(CRhinoDoc* doc, COMMAND_STYLE style) : m_doc(doc), m_style(style) {}
  // The document the command runs on; null when none is open.
  CRhinoDoc* Document() const { return m_doc; }
  bool IsInteractive() const { return m_style == interactive_ui; }

  CRhinoDoc* m_doc;
  COMMAND_STYLE m_style;
};

class CRhinoCommand {
 public:
  enum result {
    success = 0,
    cancel = 1,
    nothing = 2,
    failure = 3,
    unknown_command = 4,
  };

  // The flags and the plug-in are the host's registration details; this
  // host keeps them only to answer them.
  explicit CRhinoCommand(bool transparent = false, bool doNotRepeat = false, const CRhinoPlugIn* plugIn = nullptr,
                         bool testCommand = false);
  CRhinoCommand(const CRhinoCommand&) = delete;
  CRhinoCommand& operator=(const CRhinoCommand&) = delete;
  virtual ~CRhinoCommand();

  virtual ON_UUID CommandUUID() = 0;
  virtual const wchar_t* EnglishCommandName() = 0;
  virtual const wchar_t* LocalCommandName() { return EnglishCommandName(); }
  virtual result RunCommand(const CRhinoCommandContext& context) = 0;
  // The command's help: opens nothing here and answers false.
  virtual BOOL DoHelp() { return FALSE; }
  // Fills the address of the command's help page; false when it has none.
  virtual bool GetCommandHelpURL(ON_wString& url) { return false; }

  // Only script commands may run scripts while they run.
  virtual bool IsScriptCommand() const { return false; }
  bool IsTransparent() const { return m_transparent; }
  const CRhinoPlugIn* PlugIn() const { return m_plugIn; }

 private:
  bool m_transparent;
  bool m_doNotRepeat;
  const CRhinoPlugIn* m_plugIn;
  bool m_testCommand;
};

// A command that may run scripts (RhinoApp().RunScript) from its
// RunCommand; the host refuses scripts to other running commands.
class CRhinoScriptCommand : public CRhinoCommand {
 public:
  using CRhinoCommand::CRhinoCommand;
  bool IsScriptCommand() const override { return true; }
};
