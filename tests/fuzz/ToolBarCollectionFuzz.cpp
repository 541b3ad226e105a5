// libFuzzer target of the toolbar-collection reader: any bytes must read or
// be refused without harm; what reads must hold named, distinct toolbars
// with complete buttons, and must read back the same once written again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "standin/host/ToolBarCollectionFile.h"
#include "standin/platform/TextEncoding.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "toolbar fuzz: %s\n", what);
    std::abort();
  }
}

// The toolbars written out in the file format.
std::string Written(const std::vector<zem::ToolBarDefinition>& toolbars) {
  std::string text = "zem-toolbars 1\n";
  for (const auto& toolbar : toolbars) {
    text += "toolbar " + zem::ToUtf8(toolbar.name) + "\n";
    for (const auto& button : toolbar.buttons)
      text += "button " + zem::ToUtf8(button.tooltip) + " | " + zem::ToUtf8(button.macro) + "\n";
    text += "end\n";
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::wstring problem;
  const auto toolbars = zem::ParseToolBarCollection(bytes, &problem);
  if (!toolbars) {
    Check(!problem.empty(), "a refused file has no reason");
    return 0;
  }
  Check(!toolbars->empty(), "a collection without toolbars");
  std::set<std::wstring> names;
  for (const auto& toolbar : *toolbars) {
    Check(!toolbar.name.empty(), "a toolbar without a name");
    Check(names.insert(toolbar.name).second, "two toolbars of one name");
    for (const auto& button : toolbar.buttons) {
      Check(!button.tooltip.empty() && !button.macro.empty(), "an incomplete button");
      Check(button.tooltip.find(L'|') == std::wstring::npos, "a tip holding the separator");
    }
  }
  const std::string written = Written(*toolbars);
  const auto again = zem::ParseToolBarCollection(written);
  Check(again.has_value() && Written(*again) == written, "written toolbars read back differently");
  return 0;
}
