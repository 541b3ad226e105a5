#pragma once
// The toolbar-collection file format (docs/toolbar-collection-format.md):
// UTF-8 text naming toolbars and their buttons. Reading is all or nothing: a
// malformed file gives no collection.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zem {

struct ToolBarButton {
  std::wstring tooltip;
  std::wstring macro;  // the command line the button runs
};

struct ToolBarDefinition {
  std::wstring name;
  std::vector<ToolBarButton> buttons;
};

// Files larger than this are not toolbar collections.
inline constexpr std::size_t kLargestToolBarFile = 1 << 20;

// The toolbars of the file's text, in file order; nothing when the text is
// malformed (the reason goes to `problem` when given).
std::optional<std::vector<ToolBarDefinition>> ParseToolBarCollection(std::string_view text,
                                                                     std::wstring* problem = nullptr);

}  // namespace zem
