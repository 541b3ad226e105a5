#pragma once
// zem-webgl export MODEL...: each model exported by a child process of the
// program itself, exactly as `zem-webgl export MODEL` would (the host holds
// one document at a time, and every export starts from a fresh host), up
// to `line.jobs` at once. Pages go into the -o folder (made when missing)
// or next to their models. Each child's messages are passed on whole when
// it ends, followed by a line naming the model and its result.
#include <ostream>
#include <string>

#include "app/CommandLine.h"

namespace zem::app {

// `program` is the zem-webgl executable. Answers kExitOk only when every
// model was exported.
int RunBatchExport(const CommandLine& line, const std::string& program, std::ostream& out, std::ostream& err);

// Passes the signal on to the workers running now and waits for them to
// end: the program's interrupt handler calls it first, so a batch that is
// stopped stops its exports too (they undo what they made).
void StopBatchWorkers(int signal);

}  // namespace zem::app
