#include "standin/host/CRhinoUiToolBarManager.h"

#include <cwctype>
#include <fstream>
#include <iterator>

#include "standin/host/CRhinoApp.h"
#include "standin/platform/DebugOutput.h"
#include "standin/platform/NativePath.h"

namespace {

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  std::ifstream in(zem::NativePath(path), std::ios::binary);
  if (!in) return false;
  // Read one byte past the limit, so a larger file is seen as such.
  bytes.resize(zem::kLargestToolBarFile + 1);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return !in.bad();
}

}  // namespace

CRhinoUiToolBarCollection::CRhinoUiToolBarCollection(std::wstring path, std::vector<zem::ToolBarDefinition> toolbars)
    : m_path(std::move(path)) {
  for (auto& toolbar : toolbars) m_toolbars.push_back(std::make_unique<CRhinoUiToolBar>(std::move(toolbar)));
}

int CRhinoUiToolBarCollection::FindToolBar(const wchar_t* name, bool ignoreCase) const {
  if (name == nullptr) return -1;
  for (std::size_t i = 0; i < m_toolbars.size(); ++i) {
    const std::wstring& have = m_toolbars[i]->Name();
    if (ignoreCase ? zem::FoldedPath(have) == zem::FoldedPath(name) : have == name) return static_cast<int>(i);
  }
  return -1;
}

CRhinoUiToolBar* CRhinoUiToolBarCollection::ToolBar(int index) const {
  return index >= 0 && index < ToolBarCount() ? m_toolbars[static_cast<std::size_t>(index)].get() : nullptr;
}

bool CRhinoUiToolBarManager::ReadFile(const wchar_t* path, bool keep, bool checkOpen, bool quiet) {
  if (path == nullptr || *path == L'\0') return false;
  m_attempts.emplace_back(path);
  if (checkOpen && CollectionIndex(path, false) >= 0) return true;
  std::string bytes;
  std::wstring problem = L"cannot be read";
  std::optional<std::vector<zem::ToolBarDefinition>> toolbars;
  if (ReadWholeFile(path, bytes)) toolbars = zem::ParseToolBarCollection(bytes, &problem);
  if (!toolbars) {
    if (!quiet) OutputDebugStringW((L"Toolbar collection " + std::wstring(path) + L": " + problem + L"\n").c_str());
    return false;
  }
  if (keep) m_collections.push_back(std::make_unique<CRhinoUiToolBarCollection>(path, std::move(*toolbars)));
  return true;
}

int CRhinoUiToolBarManager::CollectionIndex(const wchar_t* path, bool fileNameOnly) const {
  if (path == nullptr) return -1;
  const std::wstring wanted = zem::FoldedPath(fileNameOnly ? zem::FileNamePart(path) : std::wstring_view(path));
  for (std::size_t i = 0; i < m_collections.size(); ++i) {
    const std::wstring& have = m_collections[i]->Path();
    if (zem::FoldedPath(fileNameOnly ? zem::FileNamePart(have) : std::wstring_view(have)) == wanted)
      return static_cast<int>(i);
  }
  return -1;
}

CRhinoUiToolBarCollection* CRhinoUiToolBarManager::Collection(int index) const {
  return index >= 0 && index < CollectionCount() ? m_collections[static_cast<std::size_t>(index)].get() : nullptr;
}

bool CRhinoUiToolBarManager::ShowToolBar(const CRhinoUiToolBarCollection& collection, CRhinoUiToolBar& toolbar,
                                         bool show, bool recalculateLayout) {
  for (const auto& open : m_collections) {
    if (open.get() != &collection) continue;
    for (int i = 0; i < collection.ToolBarCount(); ++i) {
      if (collection.ToolBar(i) == &toolbar) {
        toolbar.m_visible = show;
        return true;
      }
    }
  }
  return false;
}

void CRhinoUiToolBarManager::Clear() {
  m_collections.clear();
  m_attempts.clear();
}

CRhinoUiToolBarManager& CRhinoApp::RhinoUiToolBarManager() {
  static CRhinoUiToolBarManager manager;
  return manager;
}
