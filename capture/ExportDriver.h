#pragma once
// One export of the active document's active view to a page, as the export
// dialog's "Ok" runs it: choose the page (a save dialog, or a temporary
// file for e-mail), let the sibling renderer write it when that renderer
// draws the view, else write it ourselves, then mail it when asked.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "capture/ExportOptions.h"

namespace zem {

// The texts the export dialog remembers from one export to the next.
struct ExportMemory {
  std::wstring storedTitle;
  std::wstring storedAuthor;
};

enum class ExportStatus {
  Written,            // the page was written
  WrittenByRenderer,  // the sibling renderer wrote the page
  Cancelled,          // the save dialog was cancelled, or no document or view is active
  NotCreated,         // the page file could not be created
  WriteFailed,        // writing the page failed; a page already at the path is left as it was
};

struct ExportResult {
  ExportStatus status = ExportStatus::Cancelled;
  std::wstring pagePath;           // in e-mail mode a temporary page, gone once mailed
  bool mailed = false;             // handed to the mail client (else a written page stays at pagePath)
  std::uintmax_t mailedBytes = 0;  // size of the attachment handed over
  // Texture files that are there but could not be read as images; their
  // materials are shaded without texture.
  std::vector<std::wstring> unreadTextures;
  bool outOfMemory = false;  // the write failed for want of memory
};

// Seconds spent in each stage of writing the page, for the benchmarks.
struct ExportStageTimes {
  double prepare = 0;  // exported materials and their texture images
  double preview = 0;  // the preview picture (alongside the scene when threads allow)
  double scene = 0;    // the page's head and the scene data, formatted and written
  double finish = 0;   // waiting for the preview, the page's body, closing the file
};

struct ExportHooks {
  // Hides the export dialog before the mail client shows its window.
  std::function<void()> hideDialog;
  // Told the number of triangles written so far, now and then.
  std::function<void(long long)> progress;
  // Whether the preview picture of the view is rendered into the page.
  bool capturePreview = true;
  // Filled with the stage times of the export when given.
  ExportStageTimes* times = nullptr;
};

ExportResult RunExport(const ExportOptions& options, ExportMemory& memory, const ExportHooks& hooks = {});

// Hands the whole export to the sibling renderer when its display pipeline
// draws the active view and its export command answers. True when the
// renderer wrote the page.
bool TryRendererExport(const std::wstring& targetPath, const zem::ExportOptions& options,
                       const std::wstring& linkTarget, const std::wstring& notice);

}  // namespace zem
