#include "standin/platform/HtmlHelp.h"

#include <chm_lib.h>
#include <cwctype>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "standin/platform/DebugOutput.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"

extern char** environ;

namespace {

std::vector<zem::HelpRequest>& Requests() {
  static std::vector<zem::HelpRequest> requests;
  return requests;
}

constexpr std::wstring_view kStorePrefix = L"mk:@MSITStore:";

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::towlower(text[i]) != std::towlower(prefix[i])) return false;
  }
  return true;
}

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

std::string FindOnPath(const char* program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return {};
  const std::string_view list(path);
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(':', start);
    if (end == std::string_view::npos) end = list.size();
    const std::string folder = end > start ? std::string(list.substr(start, end - start)) : ".";
    const std::string candidate = folder + "/" + program;
    if (::access(candidate.c_str(), X_OK) == 0 && !std::filesystem::is_directory(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

// Whether the compiled help file opens and, when a topic is named, holds it.
bool HelpFileHolds(const std::string& file, const std::wstring& topic, std::wstring& problem) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    problem = L"no such help file";
    return false;
  }
  chmFile* chm = chm_open(file.c_str());
  if (chm == nullptr) {
    problem = L"not a compiled help file";
    return false;
  }
  bool found = true;
  if (!topic.empty()) {
    const std::string object = "/" + zem::ToUtf8(topic);
    chmUnitInfo unit;
    found = chm_resolve_object(chm, object.c_str(), &unit) == CHM_RESOLVE_SUCCESS;
    if (!found) problem = L"the help file has no topic " + topic;
  }
  chm_close(chm);
  return found;
}

void OpenWithDesktop(const std::string& file) {
  if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY")) return;
  const std::string program = FindOnPath("xdg-open");
  if (program.empty()) return;
  std::string argument0 = "xdg-open", argument1 = file;
  char* argv[] = {argument0.data(), argument1.data(), nullptr};
  pid_t child = 0;
  if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0) return;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

HWND HtmlHelpW(HWND, LPCWSTR file, UINT command, DWORD_PTR) {
  zem::HelpRequest request;
  request.address = file ? file : L"";
  request.command = command;
  std::wstring_view rest = request.address;
  if (StartsWithNoCase(rest, kStorePrefix)) rest.remove_prefix(kStorePrefix.size());
  const auto separator = rest.find(L"::");
  request.file = std::wstring(rest.substr(0, separator));
  if (separator != std::wstring_view::npos) {
    std::wstring_view topic = rest.substr(separator + 2);
    while (!topic.empty() && (topic.front() == L'/' || topic.front() == L'\\')) topic.remove_prefix(1);
    request.topic = std::wstring(topic);
  }
  std::wstring problem;
  const std::string native = zem::NativePath(request.file);
  request.found = command == HH_DISPLAY_TOPIC && !request.file.empty() && HelpFileHolds(native, request.topic, problem);
  if (command != HH_DISPLAY_TOPIC) problem = L"unsupported command";
  if (request.file.empty()) problem = L"no help file named";
  Requests().push_back(request);
  if (!request.found) {
    const std::wstring note = L"HtmlHelpW: " + problem + L": " + request.address + L"\n";
    OutputDebugStringW(note.c_str());
    return nullptr;
  }
  OpenWithDesktop(native);
  return nullptr;
}

const std::vector<zem::HelpRequest>& zem::HelpRequests() { return Requests(); }
void zem::ClearHelpRequests() { Requests().clear(); }
