#pragma once
// zem-webgl estimate: opens the model, shows the export dialog for its
// active view (or the one named) as the command does, lets the dialog draw
// and tick, prints the size estimate exactly as the dialog shows it, then
// cancels the dialog. No page is written.
#include <ostream>

#include "app/CommandLine.h"

namespace zem::app {

// Answers the process exit code.
int RunEstimateCommand(const CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace zem::app
