// libFuzzer target of the toolbar-collection reader: any bytes must read or
// be refused without harm; what reads must hold named, distinct toolbars
// with complete buttons, and must read back the same once written again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "host/ToolBarCollectionFile.h"
#include "platform/TextEncoding.h"

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "toolbar fuzz: %s\n", what);
    std::abort();
  }
}

bool SameToolBars(const std::vector<zem::ToolBarDefinition>& a, const std::vector<zem::ToolBarDefinition>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].buttons.size() != b[i].buttons.size()) return false;
    for (std::size_t k = 0; k < a[i].buttons.size(); ++k) {
      if (a[i].buttons[k].tooltip != b[i].buttons[k].tooltip || a[i].buttons[k].macro != b[i].buttons[k].macro)
        return false;
    }
  }
  return true;
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
  std::string written = "zem-toolbars 1\n";
  for (const auto& toolbar : *toolbars) {
    Check(!toolbar.name.empty(), "a toolbar without a name");
    Check(names.insert(toolbar.name).second, "two toolbars of one name");
    written += "toolbar " + zem::ToUtf8(toolbar.name) + "\n";
    for (const auto& button : toolbar.buttons) {
      Check(!button.tooltip.empty() && !button.macro.empty(), "an incomplete button");
      Check(button.tooltip.find(L'|') == std::wstring::npos, "a tip holding the separator");
      written += "button " + zem::ToUtf8(button.tooltip) + " | " + zem::ToUtf8(button.macro) + "\n";
    }
    written += "end\n";
  }
  const auto again = zem::ParseToolBarCollection(written);
  Check(again.has_value() && SameToolBars(*toolbars, *again), "written toolbars read back differently");
  return 0;
}
