#pragma once
// The folder for the export's temporary files (the e-mail copy of the page,
// the preview and texture pictures).
#include <string>

// The system's temporary folder, ending in a separator. A folder path that
// does not fit 260 characters with its terminating zero, or a failed query,
// gives "C:\temp\". The folder is neither created nor checked.
std::wstring GetTempFolder();

namespace zem {

// A file name in the temporary folder that no other export uses, in this
// process or another: prefix, a number of this export's own, extension
// (for example "_tex-4711-3.jpg"). The file is not created.
std::wstring UniqueTempFilePath(const std::wstring& prefix, const std::wstring& extension);

}  // namespace zem
