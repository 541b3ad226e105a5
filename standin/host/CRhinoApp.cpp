#include "standin/host/CRhinoApp.h"

#include "standin/host/CRhinoDisplayConduit.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/host/CRhinoEventWatcher.h"
#include "standin/platform/MessageLoop.h"
#include "standin/platform/Window.h"

#include <algorithm>
#include <cwctype>

namespace {

std::wstring Lower(std::wstring s) {
  for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

// Words of one command line; double quotes group words and are removed.
std::vector<std::wstring> Words(const std::wstring& line) {
  std::vector<std::wstring> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && std::iswspace(line[i])) ++i;
    if (i >= line.size()) break;
    std::wstring word;
    bool quoted = false;
    while (i < line.size() && (quoted || !std::iswspace(line[i]))) {
      if (line[i] == L'"') {
        quoted = !quoted;
      } else {
        word += line[i];
      }
      ++i;
    }
    words.push_back(word);
  }
  return words;
}

// A command name without the "_" and "-" prefixes a script may give it.
std::wstring CommandKey(const std::wstring& name) {
  std::size_t start = name.find_first_not_of(L"_-");
  return Lower(start == std::wstring::npos ? std::wstring() : name.substr(start));
}

}  // namespace

// Never destroyed: module-level objects of a plug-in (commands, dialogs
// with their watchers and conduits) may still unregister at exit.
CRhinoApp& RhinoApp() {
  static CRhinoApp* app = [] {
    auto* created = new CRhinoApp;
    // The deferred redraw runs in the window library's idle step.
    zem::AddIdleHandler([] { RhinoApp().Idle(); });
    return created;
  }();
  return *app;
}

CRhinoApp::CRhinoApp() = default;

CRhinoApp::~CRhinoApp() {
  m_activeView = nullptr;
  m_doc.reset();
}

HWND CRhinoApp::MainWnd() {
  if (!IsWindow(m_mainWnd)) {
    m_mainWnd = zem::CreateWindowObject(L"ZemHostMainWindow", L"zem host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                        RECT{0, 0, 1280, 800});
    zem::SetMainWindow(m_mainWnd);
  }
  return m_mainWnd;
}

bool CRhinoApp::RunScript(const wchar_t* script, int) {
  if (!script) return false;
  std::wstring text(script);
  bool ranAny = false;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    std::vector<std::wstring> words = Words(text.substr(start, end - start));
    start = end + 1;
    if (words.empty()) continue;
    // A running command that is no script command may not run scripts.
    if (!m_running.empty() && !m_running.back()->IsScriptCommand()) return false;
    if (CRhinoCommand* command = FindCommand(words.front().c_str())) {
      const bool scripted = words.front().find(L'-') < words.front().find_first_not_of(L"_-");
      if (!RunCommandObject(*command, scripted, {words.begin() + 1, words.end()})) return false;
      ranAny = true;
      continue;
    }
    auto it = m_commands.find(CommandKey(words.front()));
    if (it == m_commands.end()) return false;
    ScriptCommand command = it->second;  // a command may unregister itself
    words.erase(words.begin());
    if (!command(words)) return false;
    ranAny = true;
  }
  return ranAny;
}

bool CRhinoApp::RunCommandObject(CRhinoCommand& command, bool scripted, std::vector<std::wstring> words) {
  // The line's words answer this command's prompts; a command run from
  // inside another takes the words of its own line only.
  std::deque<std::wstring> outer(std::make_move_iterator(words.begin()), std::make_move_iterator(words.end()));
  std::swap(outer, m_scriptWords);
  m_running.push_back(&command);
  const CRhinoCommandContext context(ActiveDoc(),
                                     scripted ? CRhinoCommandContext::script_ui : CRhinoCommandContext::interactive_ui);
  const CRhinoCommand::result result = command.RunCommand(context);
  m_running.pop_back();
  std::swap(outer, m_scriptWords);
  m_lastResult = result;
  return result == CRhinoCommand::success;
}

std::optional<std::wstring> CRhinoApp::TakeScriptWord() {
  if (m_running.empty() || m_scriptWords.empty()) return std::nullopt;
  std::wstring word = std::move(m_scriptWords.front());
  m_scriptWords.pop_front();
  return word;
}

void CRhinoApp::RegisterCommand(CRhinoCommand* command) {
  if (command && std::find(m_commandTable.begin(), m_commandTable.end(), command) == m_commandTable.end())
    m_commandTable.push_back(command);
}

void CRhinoApp::UnregisterCommand(CRhinoCommand* command) {
  m_commandTable.erase(std::remove(m_commandTable.begin(), m_commandTable.end(), command), m_commandTable.end());
}

CRhinoCommand* CRhinoApp::FindCommand(const wchar_t* name) const {
  if (!name) return nullptr;
  const std::wstring key = CommandKey(name);
  if (key.empty()) return nullptr;
  for (CRhinoCommand* command : m_commandTable) {
    const wchar_t* english = command->EnglishCommandName();
    const wchar_t* local = command->LocalCommandName();
    if ((english && CommandKey(english) == key) || (local && CommandKey(local) == key)) return command;
  }
  return nullptr;
}

void CRhinoApp::RegisterScriptCommand(const wchar_t* name, ScriptCommand command) {
  if (name && command) m_commands[CommandKey(name)] = std::move(command);
}

void CRhinoApp::UnregisterScriptCommand(const wchar_t* name) {
  if (name) m_commands.erase(CommandKey(name));
}

CRhinoDoc& CRhinoApp::NewDocument() {
  CloseDocument();
  m_doc = std::make_unique<CRhinoDoc>();
  NotifyWatchers([&](CRhinoEventWatcher& w) { w.OnNewDocument(*m_doc); });
  return *m_doc;
}

bool CRhinoApp::OpenDocument(const wchar_t* fileName, const std::function<bool(CRhinoDoc&)>& read) {
  CloseDocument();
  m_doc = std::make_unique<CRhinoDoc>();
  CRhinoDoc& doc = *m_doc;
  NotifyWatchers([&](CRhinoEventWatcher& w) { w.OnBeginOpenDocument(doc, fileName, FALSE, FALSE); });
  if (!read(doc)) {
    CloseDocument();
    return false;
  }
  if (fileName) doc.SetPathName(fileName);
  if (const ON_Color* background = doc.ViewportBackgroundColor()) m_settings.SetViewportBackgroundColor(*background);
  if (CRhinoView* initial = doc.View(doc.InitialViewIndex())) {
    SetActiveView(initial);
  } else if (doc.ViewCount() > 0) {
    SetActiveView(doc.View(0));
  }
  NotifyWatchers([&](CRhinoEventWatcher& w) { w.OnEndOpenDocument(doc, fileName, FALSE, FALSE); });
  return true;
}

void CRhinoApp::CloseDocument() {
  if (!m_doc) return;
  CRhinoDoc& doc = *m_doc;
  NotifyWatchers([&](CRhinoEventWatcher& w) { w.OnCloseDocument(doc); });
  m_activeView = nullptr;
  m_doc.reset();
}

bool CRhinoApp::SaveDocument(const wchar_t* fileName, const std::function<bool(const CRhinoDoc&)>& save) {
  if (!m_doc) return false;
  CRhinoDoc& doc = *m_doc;
  NotifyWatchers([&](CRhinoEventWatcher& w) { w.OnBeginSaveDocument(doc, fileName, FALSE); });
  const bool saved = save(doc);
  if (saved) NotifyWatchers([&](CRhinoEventWatcher& w) { w.OnEndSaveDocument(doc, fileName, FALSE); });
  return saved;
}

bool CRhinoApp::SetActiveView(CRhinoView* view) {
  if (!view || !m_doc || view->Document() != m_doc.get()) return false;
  if (view == m_activeView) return true;
  m_activeView = view;
  NotifyWatchers([&](CRhinoEventWatcher& w) { w.OnSetActiveView(view); });
  return true;
}

int CRhinoApp::Idle() {
  if (!m_doc || !m_doc->m_deferredRedraw) return 0;
  m_doc->m_deferredRedraw = false;
  int frames = 0;
  for (int i = 0; i < m_doc->ViewCount(); ++i) {
    CRhinoView* view = m_doc->View(i);
    if (view->NeedsRedraw()) {
      view->Redraw();
      frames += view->ViewportCount();
    }
  }
  return frames;
}

void CRhinoApp::AddConduit(CRhinoDisplayConduit* conduit) {
  if (std::find(m_conduits.begin(), m_conduits.end(), conduit) == m_conduits.end()) m_conduits.push_back(conduit);
}

void CRhinoApp::RemoveConduit(CRhinoDisplayConduit* conduit) {
  m_conduits.erase(std::remove(m_conduits.begin(), m_conduits.end(), conduit), m_conduits.end());
}

void CRhinoApp::AddWatcher(CRhinoEventWatcher* watcher) {
  if (std::find(m_watchers.begin(), m_watchers.end(), watcher) == m_watchers.end()) m_watchers.push_back(watcher);
}

void CRhinoApp::RemoveWatcher(CRhinoEventWatcher* watcher) {
  m_watchers.erase(std::remove(m_watchers.begin(), m_watchers.end(), watcher), m_watchers.end());
}

void CRhinoApp::NotifyWatchers(const std::function<void(CRhinoEventWatcher&)>& event) {
  const std::vector<CRhinoEventWatcher*> snapshot = m_watchers;
  for (CRhinoEventWatcher* watcher : snapshot) {
    // A watcher removed by an earlier one in this round is not called.
    if (std::find(m_watchers.begin(), m_watchers.end(), watcher) == m_watchers.end()) continue;
    if (watcher->IsEnabled()) event(*watcher);
  }
}
