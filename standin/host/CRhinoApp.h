#pragma once
// The application: its one open document, the active view, the main
// window, settings, script commands, and the conduits and watchers that it
// calls.
#include "standin/host/CRhinoAppSettings.h"
#include "standin/platform/WinTypes.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "standin/host/CRhinoCommand.h"

class CRhinoDoc;
class CRhinoView;
class CRhinoDisplayConduit;
class CRhinoEventWatcher;
class CRhinoUiToolBarManager;

class CRhinoApp {
 public:
  // A command run by a script: the words after its name (quotes removed);
  // answers success.
  using ScriptCommand = std::function<bool(const std::vector<std::wstring>& arguments)>;

  CRhinoApp();
  ~CRhinoApp();

  // Null when no document is open / no view is active.
  CRhinoDoc* ActiveDoc() const { return m_doc.get(); }
  CRhinoView* ActiveView() const { return m_activeView; }
  HWND MainWnd();
  CRhinoAppSettings& AppSettings() { return m_settings; }
  // The toolbars of the application (CRhinoUiToolBarManager.h).
  CRhinoUiToolBarManager& RhinoUiToolBarManager();

  // Runs each line of the script as a command line, synchronously: the
  // command name, then its arguments (double quotes group words). Answers
  // true when every command exists and succeeded; stops at the first that
  // fails. Echo mode 0 runs quietly (the host prints nothing anyway).
  // A registered command object (CRhinoCommand.h) runs with a context of
  // the active document and takes the rest of its line as the answers to
  // its prompts (CRhinoGet.h); it succeeds when it answers success. While a
  // command that is no script command runs, scripts are refused.
  bool RunScript(const wchar_t* script, int echoMode = 1);
  void RegisterScriptCommand(const wchar_t* name, ScriptCommand command);
  void UnregisterScriptCommand(const wchar_t* name);

  // The command table, in order of construction; maintained by the
  // commands' constructors and destructors (names are read only when a
  // command is looked up, after its construction).
  void RegisterCommand(CRhinoCommand* command);
  void UnregisterCommand(CRhinoCommand* command);
  // The first command of that English or local name (prefixes "_" and "-"
  // allowed, case ignored), or null: a later command of a taken name is
  // never found by name.
  CRhinoCommand* FindCommand(const wchar_t* name) const;
  // What the command run last by RunScript answered.
  CRhinoCommand::result LastCommandResult() const { return m_lastResult; }
  // The next word of the running command's script line, for its prompts.
  std::optional<std::wstring> TakeScriptWord();

  // Closes the open document (watchers hear of it) and starts a new, empty
  // one without views.
  CRhinoDoc& NewDocument();
  // Closes the open document and opens a new one from a file: `read` fills
  // it (watchers hear before and after). On success its initial view becomes
  // active; when `read` fails the new document is closed again and no
  // document is open.
  bool OpenDocument(const wchar_t* fileName, const std::function<bool(CRhinoDoc&)>& read);
  void CloseDocument();
  // Tells the watchers about a save of the active document around `save`,
  // which writes the file and answers success.
  bool SaveDocument(const wchar_t* fileName, const std::function<bool(const CRhinoDoc&)>& save);

  bool SetActiveView(CRhinoView* view);
  // What the host does when it has nothing else to do: the deferred redraws.
  // Answers the number of viewport frames drawn.
  int Idle();

  // Conduits and watchers; maintained by their constructors and methods.
  void AddConduit(CRhinoDisplayConduit* conduit);
  void RemoveConduit(CRhinoDisplayConduit* conduit);
  const std::vector<CRhinoDisplayConduit*>& Conduits() const { return m_conduits; }
  void AddWatcher(CRhinoEventWatcher* watcher);
  void RemoveWatcher(CRhinoEventWatcher* watcher);
  // Calls `event` for every registered, enabled watcher (also safe when a
  // watcher unregisters itself or another one meanwhile).
  void NotifyWatchers(const std::function<void(CRhinoEventWatcher&)>& event);

 private:
  bool RunCommandObject(CRhinoCommand& command, bool scripted, std::vector<std::wstring> words);

  std::unique_ptr<CRhinoDoc> m_doc;
  CRhinoView* m_activeView = nullptr;
  HWND m_mainWnd = nullptr;
  CRhinoAppSettings m_settings;
  std::map<std::wstring, ScriptCommand> m_commands;
  std::vector<CRhinoCommand*> m_commandTable;
  std::vector<CRhinoCommand*> m_running;  // innermost last
  std::deque<std::wstring> m_scriptWords;
  CRhinoCommand::result m_lastResult = CRhinoCommand::success;
  std::vector<CRhinoDisplayConduit*> m_conduits;
  std::vector<CRhinoEventWatcher*> m_watchers;
};

CRhinoApp& RhinoApp();
