#include "capture/ExportOptions.h"

#include "ZemVersion.h"
#include "page/TextFormat.h"

std::wstring zem::ComposeLinkTarget(const std::wstring& linkText, zem::ExportOptions::LinkMode linkMode) {
  using zem::ExportOptions;
  if (linkText.empty() || linkMode == ExportOptions::LinkMode::NoSelection) return linkText;
  if (linkMode == ExportOptions::LinkMode::NoLink) return std::wstring();
  if (linkText.find(L"://") != std::wstring::npos || linkText.find(L"mailto:") != std::wstring::npos) return linkText;
  if (linkMode == ExportOptions::LinkMode::Mail) return L"mailto:" + linkText;
  if (linkMode == ExportOptions::LinkMode::Web) return L"http://" + linkText;
  return linkText;
}

std::wstring zem::GeneratorNotice() {
  return zem::FormatText(L"free ZEM WebGL Export for Rhino version %d.%d.%d",
                         {ZEM_VERSION_MAJOR, ZEM_VERSION_MINOR, ZEM_VERSION_BUILD});
}
