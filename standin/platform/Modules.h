#pragma once
// Loading system libraries by name and finding their functions. The
// libraries on offer: the Simple MAPI library "MAPI32.DLL" with its
// "MAPISendMail" (SimpleMapi.h) and the HTML Help control "HHCTRL.OCX" with
// its "HtmlHelpW" (HtmlHelp.h). Names match without regard to case, with or
// without ".dll" and a folder in front.
#include <cstdint>
#include <string_view>

#include "standin/platform/WinTypes.h"

struct HINSTANCE__;
using HMODULE = HINSTANCE__*;
using HINSTANCE = HMODULE;
using FARPROC = std::intptr_t (*)();

// A handle of the library, loaded once more; null when there is no such library.
HMODULE LoadLibraryW(LPCWSTR name);
// The library's function of that name, or null.
FARPROC GetProcAddress(HMODULE module, const char* name);
// Balances one LoadLibraryW; FALSE for a handle that is not loaded.
BOOL FreeLibrary(HMODULE module);

namespace zem {
// Takes a system library away (or gives it back), as on a system where it is
// not installed. Installed by default.
void SetLibraryInstalled(std::wstring_view name, bool installed);
// How often the library was loaded by LoadLibraryW so far, and how many of
// those loads are not yet freed.
int LibraryLoadCount(std::wstring_view name);
int LibraryLoadsHeld(std::wstring_view name);
}  // namespace zem
