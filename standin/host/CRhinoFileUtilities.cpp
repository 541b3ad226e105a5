#include "standin/host/CRhinoFileUtilities.h"

#include "standin/host/CRhinoApp.h"
#include "standin/host/CRhinoDoc.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"

#include <filesystem>

namespace {

namespace fs = std::filesystem;

std::vector<std::wstring>& SearchFolders() {
  static std::vector<std::wstring> folders;
  return folders;
}

bool Found(const fs::path& candidate, ON_wString& fullPath) {
  std::error_code ec;
  if (!fs::is_regular_file(candidate, ec)) return false;
  fs::path absolute = fs::absolute(candidate, ec);
  if (ec) return false;
  fullPath = zem::FromUtf8(absolute.lexically_normal().string());
  return true;
}

}  // namespace

bool CRhinoFileUtilities::FindFile(const wchar_t* fileName, ON_wString& fullPath) {
  if (!fileName || !*fileName) return false;
  const fs::path named(zem::NativePath(fileName));
  if (Found(named, fullPath)) return true;
  const fs::path leaf = named.filename();
  if (leaf.empty()) return false;
  if (const CRhinoDoc* doc = RhinoApp().ActiveDoc(); doc && !doc->PathName().empty()) {
    if (Found(fs::path(zem::NativePath(doc->PathName())).parent_path() / leaf, fullPath)) return true;
  }
  for (const std::wstring& folder : SearchFolders()) {
    if (Found(fs::path(zem::NativePath(folder)) / leaf, fullPath)) return true;
  }
  return false;
}

void CRhinoFileUtilities::AddSearchFolder(const wchar_t* folder) {
  if (folder && *folder) SearchFolders().emplace_back(folder);
}

void CRhinoFileUtilities::ClearSearchFolders() { SearchFolders().clear(); }
