#pragma once
// The built-in demo: a page with fixed page texts and two text dots.
#include <string>

namespace zem::app {

enum class PageWriteResult {
  Written,     // the page is complete
  NotCreated,  // the file could not be created; nothing was written
  Broken,      // the file was created but a write failed; it is incomplete
};

// Writes the demo page to path.
PageWriteResult WriteDemoPage(const std::wstring& path);

}  // namespace zem::app
