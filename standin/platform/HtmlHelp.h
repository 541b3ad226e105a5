#pragma once
// The HTML Help viewer, reached through its control library "HHCTRL.OCX"
// (Modules.h). Addresses name a compiled help file and, optionally, a topic
// page inside it: "mk:@MSITStore:FILE::TOPIC" or "mk:@MSITStore:FILE::/TOPIC"
// (also without the "mk:@MSITStore:" prefix).
//
// A file that does not exist or is not a compiled help file, or a topic the
// file does not hold, shows nothing: the viewer writes a note to the debug
// output. Otherwise, in a graphical session (DISPLAY or WAYLAND_DISPLAY set)
// with xdg-open on the PATH, the help file is opened with it. Every request
// is recorded.
#include <cstdint>
#include <string>
#include <vector>

#include "standin/platform/WinTypes.h"

using DWORD_PTR = std::uintptr_t;

#define HH_DISPLAY_TOPIC 0x0000

// Answers null: the viewer runs outside the program and has no window here.
HWND HtmlHelpW(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data);

namespace zem {

struct HelpRequest {
  std::wstring address;  // as given
  std::wstring file;     // the compiled help file named by it
  std::wstring topic;    // without a leading "/"; empty: the file's default
  UINT command = 0;
  bool found = false;  // the file (and the topic) exist
};

// Every request since the last clear, oldest first.
const std::vector<HelpRequest>& HelpRequests();
void ClearHelpRequests();

}  // namespace zem
