#pragma once
// zem-webgl demo and export: open the model as the host's document, choose
// the view and display mode, answer the save dialog with the page path and
// run the export driver; report what happened.
#include <ostream>

#include "app/CommandLine.h"

namespace zem::app {

// Answers the process exit code.
int RunExportCommand(const CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace zem::app
