#pragma once
// zem-webgl demo and export: open the model as the host's document, choose
// the view and display mode, then export through the plug-in's command and
// its dialog (ExportDialogDriver.h); report what happened.
#include <optional>
#include <ostream>
#include <string>

#include "app/CommandLine.h"
#include "capture/ExportListener.h"

namespace zem::app {

// Answers the process exit code.
int RunExportCommand(const CommandLine& line, std::ostream& out, std::ostream& err);

// Exports the active view of the open document to `page` as the program
// does: the command's dialog filled from the line's options, then Ok with
// the save dialog answered. `listener` hears the progress and the outcome.
// Answers the outcome, or nothing (with `problem` set) when the dialog
// refused an option or did not close; it is cancelled then and nothing is
// written.
std::optional<ExportResult> ExportWithDialog(const CommandLine& line, const std::wstring& page,
                                             ExportListener& listener, std::string& problem);

}  // namespace zem::app
