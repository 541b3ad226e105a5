#pragma once
// The folder for the export's temporary files (the e-mail copy of the page,
// the kept copy of a page written in place).
#include <string>

// The system's temporary folder, ending in a separator. A folder path that
// does not fit 260 characters with its terminating zero, or a failed query,
// gives "C:\temp\". The folder is neither created nor checked.
namespace zem {

std::wstring GetTempFolder();

}  // namespace zem
