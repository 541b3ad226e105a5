#pragma once
// zem-webgl at the host as a person would be: it runs the plug-in's
// "ZEMWriteWebGL" command, answers its "Export Mode" prompt, works the
// export dialog through the scripted person (type, select, check, press)
// and runs the message loop until the dialog has closed. Every wait is
// bounded: a dialog that does not take an action or does not close is an
// error, never a hang.
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "standin/platform/WinTypes.h"

class ZEM_WebGL_Dialog;

namespace zem::app {

// The person's actions in the export dialog for the command line's page
// options: the title and the author (the document's own when not given),
// the link mode, then the link text while the edit is open for it, and the
// three boxes (the zip box only when mailing, the one mode that enables it).
std::vector<std::wstring> DialogActions(const CommandLine& line, const std::wstring& title, const std::wstring& author);

// The actions of estimate: the zip box, set as asked, when mailing.
std::vector<std::wstring> EstimateActions(const CommandLine& line);

class ExportDialogDriver {
 public:
  ExportDialogDriver();
  // Takes back what is still queued for the person and the prompts.
  ~ExportDialogDriver();
  ExportDialogDriver(const ExportDialogDriver&) = delete;
  ExportDialogDriver& operator=(const ExportDialogDriver&) = delete;

  // Runs the command in file or mail mode; true when its dialog is shown.
  bool Open(bool sendByMail);
  // Lets the loop run for `milliseconds` of clock time: redraws, estimate
  // ticks. False when the dialog closed meanwhile.
  bool Idle(DWORD milliseconds);
  // Carries out the actions, one per loop pass; false when the dialog
  // refused one (Problem names it) or closed before the last.
  bool Perform(const std::vector<std::wstring>& actions);
  // Presses Ok (the export runs) or Cancel, then runs the loop until the
  // dialog has closed; false when Ok or Cancel was refused or the dialog
  // stayed open.
  bool Finish(bool ok);
  // Cancels a dialog still open, after a failure; nothing is written.
  void CancelIfOpen();

  // The size estimate as the dialog shows it, or empty.
  std::wstring SizeLabel() const;
  // Writes the PNG of the dialog as it stands; false with Problem set.
  bool SavePicture(const std::string& path);
  // Why the last step failed, for the user.
  const std::string& Problem() const { return m_problem; }

 private:
  ZEM_WebGL_Dialog* Dialog() const;
  bool IsOpen() const;
  // Runs the loop until `done`, within the bounds; false (Problem set to
  // `what`) when a bound ends it first.
  template <typename Done>
  bool Pump(Done done, DWORD limit, const char* what);

  std::string m_problem;
};

}  // namespace zem::app
