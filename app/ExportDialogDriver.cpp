#include "app/ExportDialogDriver.h"

#include <cstdint>

#include "dialog/ZEM_WebGL_Dialog.h"
#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoGet.h"
#include "standin/platform/AnswerQueue.h"
#include "standin/platform/Clock.h"
#include "standin/platform/MessageLoop.h"
#include "standin/platform/ScriptedPerson.h"
#include "standin/platform/TextEncoding.h"
#include "standin/platform/Window.h"
#include "standin/platform/WindowPainter.h"
#include "plugin/CCommandZEMWriteWebGL.h"

namespace zem::app {

namespace {

// The prompt of the command and its answers.
constexpr std::wstring_view kModePrompt = L"Export Mode";
constexpr const wchar_t* kCommandScript = L"_ZEMWriteWebGL";

// What the dialog's controls are called where a person sees them.
constexpr const wchar_t* kTitleLabel = ZEM_WebGL_Dialog::kTitleLabel;
constexpr const wchar_t* kAuthorLabel = ZEM_WebGL_Dialog::kAuthorLabel;
constexpr const wchar_t* kMailLinkItem = ZEM_WebGL_Dialog::kMailLinkItem;
constexpr const wchar_t* kWebLinkItem = ZEM_WebGL_Dialog::kWebLinkItem;
constexpr const wchar_t* kNoLinkItem = ZEM_WebGL_Dialog::kNoLinkItem;
constexpr const wchar_t* kNotesBox = ZEM_WebGL_Dialog::kNotesBox;
constexpr const wchar_t* kDotsBox = ZEM_WebGL_Dialog::kDotsBox;
constexpr const wchar_t* kZipBox = ZEM_WebGL_Dialog::kZipBox;

// The loop's bounds. The clock skips ahead whenever nothing is to be done,
// so an idle wait costs no real time; the pass count stops a loop that is
// kept busy without the clock moving (a message that posts itself again).
constexpr DWORD kLoopLimitMs = 60'000;
constexpr long kMaxPasses = 200'000;

std::wstring Box(bool on, const wchar_t* text) { return std::wstring(on ? L"check " : L"uncheck ") + text; }

std::string Refusal() {
  const RefusedAction& refused = RefusedActions().front();
  return "the export dialog refused \"" + ToUtf8(refused.action) + "\": " + ToUtf8(refused.reason);
}

}  // namespace

std::vector<std::wstring> DialogActions(const CommandLine& line, const std::wstring& title,
                                        const std::wstring& author) {
  std::vector<std::wstring> actions;
  actions.push_back(std::wstring(L"type ") + kTitleLabel + L"=" + title);
  actions.push_back(std::wstring(L"type ") + kAuthorLabel + L"=" + author);
  // Without a mode, the link's text chooses: an address with "@" is mailed.
  const wchar_t* mode = kNoLinkItem;
  if (line.linkMode)
    mode = *line.linkMode == "mail" ? kMailLinkItem : *line.linkMode == "web" ? kWebLinkItem : kNoLinkItem;
  else if (!line.link.empty())
    mode = line.link.find(L'@') != std::wstring::npos ? kMailLinkItem : kWebLinkItem;
  actions.push_back(std::wstring(L"select ") + mode);
  // The mode comes first: its choice opens or greys the link edit. A link
  // given with "no link" is typed all the same, and the greyed edit refuses
  // it, so that the option is not dropped in silence.
  if (mode != kNoLinkItem || !line.link.empty()) actions.push_back(std::wstring(L"type ") + mode + L"=" + line.link);
  actions.push_back(Box(line.notes, kNotesBox));
  actions.push_back(Box(line.dots, kDotsBox));
  if (line.email) actions.push_back(Box(line.zip, kZipBox));
  return actions;
}

std::vector<std::wstring> EstimateActions(const CommandLine& line) {
  if (!line.email) return {};
  return {Box(line.zip, kZipBox)};
}

ExportDialogDriver::ExportDialogDriver() {
  AnswerQueue::Instance().Clear();
  ClearRefusedActions();
}

ExportDialogDriver::~ExportDialogDriver() {
  AnswerQueue::Instance().Clear();
  ClearRefusedActions();
}

ZEM_WebGL_Dialog* ExportDialogDriver::Dialog() const { return WriteWebGLCommand().Dialog(); }

bool ExportDialogDriver::IsOpen() const {
  const ZEM_WebGL_Dialog* dialog = Dialog();
  return dialog != nullptr && ::IsWindow(dialog->m_hWnd) && !dialog->IsClosed() && dialog->IsWindowVisible();
}

template <typename Done>
bool ExportDialogDriver::Pump(Done done, DWORD limit, const char* what) {
  long passes = 0;
  bool bounded = false;
  const bool ended = RunMessageLoop(
      [&] {
        if (done()) return true;
        bounded = ++passes > kMaxPasses;
        return bounded;
      },
      limit);
  if (ended && !bounded) return true;
  m_problem = std::string("the export dialog ") + what + " within " +
              (bounded ? std::to_string(kMaxPasses) + " passes of the message loop"
                       : std::to_string(limit / 1000) + " seconds of the program's clock");
  return false;
}

bool ExportDialogDriver::Open(bool sendByMail) {
  AnswerQueue::Instance().Push(kModePrompt, sendByMail ? L"Email" : L"File");
  if (!RhinoApp().RunScript(kCommandScript) || RhinoApp().LastCommandResult() != CRhinoCommand::success || !IsOpen()) {
    m_problem = "the ZEMWriteWebGL command did not show its export dialog";
    return false;
  }
  return true;
}

bool ExportDialogDriver::Idle(DWORD milliseconds) {
  const DWORD until = GetTickCount() + milliseconds;
  // Ends at the limit with the dialog open, which is what was asked for.
  RunMessageLoop([this, until] { return !IsOpen() || static_cast<std::int32_t>(GetTickCount() - until) >= 0; },
                 milliseconds);
  if (IsOpen()) return true;
  m_problem = "the export dialog closed by itself";
  return false;
}

bool ExportDialogDriver::Perform(const std::vector<std::wstring>& actions) {
  AnswerQueue& answers = AnswerQueue::Instance();
  for (const auto& action : actions) answers.Push(kDialogQuestion, action);
  const bool ended = Pump([&] { return !RefusedActions().empty() || !IsOpen() || !answers.Has(kDialogQuestion); },
                          kLoopLimitMs, "did not take the options");
  if (!RefusedActions().empty()) {
    m_problem = Refusal();
    return false;
  }
  if (ended && !IsOpen()) {
    m_problem = "the export dialog closed before it took the options";
    return false;
  }
  return ended;
}

bool ExportDialogDriver::Finish(bool ok) {
  AnswerQueue::Instance().Push(kDialogQuestion, ok ? L"press Ok" : L"press Cancel");
  const bool ended = Pump([this] { return !RefusedActions().empty() || !IsOpen(); }, kLoopLimitMs, "did not close");
  if (!RefusedActions().empty()) {
    m_problem = Refusal();
    return false;
  }
  return ended;
}

void ExportDialogDriver::CancelIfOpen() {
  AnswerQueue::Instance().Clear();
  ClearRefusedActions();
  if (!IsOpen()) return;
  // Cancel, as a person would; a dialog that ignores it is told directly,
  // so that the next run finds it closed.
  const std::string problem = m_problem;
  if (!Finish(false) && IsOpen()) Dialog()->SendMessageW(WM_COMMAND, IDCANCEL, 0);
  m_problem = problem;
}

std::wstring ExportDialogDriver::SizeLabel() const {
  const ZEM_WebGL_Dialog* dialog = Dialog();
  return dialog != nullptr ? dialog->SizeText() : std::wstring();
}

bool ExportDialogDriver::SavePicture(const std::string& path) {
  const ZEM_WebGL_Dialog* dialog = Dialog();
  std::wstring error;
  if (dialog != nullptr && RenderWindowToPng(dialog->m_hWnd, path, &error)) return true;
  m_problem = "cannot save the dialog's picture " + path + (error.empty() ? "" : ": " + ToUtf8(error));
  return false;
}

}  // namespace zem::app
