#pragma once
// The system composes paths the Windows way, with backslashes. The platform's
// file functions accept both separators and map them to the native one.
#include <string>
#include <string_view>

namespace zem {

// The native (UTF-8, slash-separated) form of a system path.
std::string NativePath(std::wstring_view path);

// A path in lower case with backslashes, for comparing names the way
// Windows does (without regard to case or separator).
std::wstring FoldedPath(std::wstring_view path);

// The part of a path after its last separator of either kind.
std::wstring_view FileNamePart(std::wstring_view path);

}  // namespace zem
