#pragma once
// The host's toolbars: collections read from toolbar-collection files
// (ToolBarCollectionFile.h), each with its toolbars, any of which can be
// shown. The manager is the application's (CRhinoApp::RhinoUiToolBarManager).
#include <memory>
#include <string>
#include <vector>

#include "standin/host/ON_wString.h"
#include "standin/host/ToolBarCollectionFile.h"

class CRhinoUiToolBar {
 public:
  explicit CRhinoUiToolBar(zem::ToolBarDefinition definition) : m_definition(std::move(definition)) {}
  const std::wstring& Name() const { return m_definition.name; }
  const std::vector<zem::ToolBarButton>& Buttons() const { return m_definition.buttons; }
  bool IsVisible() const { return m_visible; }

 private:
  friend class CRhinoUiToolBarManager;
  zem::ToolBarDefinition m_definition;
  bool m_visible = false;
};

class CRhinoUiToolBarCollection {
 public:
  CRhinoUiToolBarCollection(std::wstring path, std::vector<zem::ToolBarDefinition> toolbars);
  const std::wstring& Path() const { return m_path; }
  int ToolBarCount() const { return static_cast<int>(m_toolbars.size()); }
  // The index of the toolbar of that name, or -1; `ignoreCase` compares
  // without regard to case.
  int FindToolBar(const wchar_t* name, bool ignoreCase) const;
  // Null for an index out of range.
  CRhinoUiToolBar* ToolBar(int index) const;

 private:
  std::wstring m_path;
  std::vector<std::unique_ptr<CRhinoUiToolBar>> m_toolbars;
};

class CRhinoUiToolBarManager {
 public:
  // Reads the collection file at `path` and keeps it open. `checkOpen`: a
  // file already open answers true without reading it again. `quiet`: a file
  // that is missing or malformed is not noted on the debug output. `keep`:
  // false only checks that the file reads. A malformed file reads as no
  // collection.
  bool ReadFile(const wchar_t* path, bool keep, bool checkOpen, bool quiet);
  // The index of the open collection read from `path` (`fileNameOnly`:
  // compare only the file names), or -1. Paths compare without case and with
  // either separator.
  int CollectionIndex(const wchar_t* path, bool fileNameOnly) const;
  int CollectionCount() const { return static_cast<int>(m_collections.size()); }
  // Null for an index out of range.
  CRhinoUiToolBarCollection* Collection(int index) const;
  // Shows or hides a toolbar of an open collection; false for a collection
  // the manager did not read. `recalculateLayout` asks for the docked
  // toolbars to be arranged at once (the headless host has no layout).
  bool ShowToolBar(const CRhinoUiToolBarCollection& collection, CRhinoUiToolBar& toolbar, bool show,
                   bool recalculateLayout);

  // Every path ReadFile was asked to read, in order.
  const std::vector<std::wstring>& ReadAttempts() const { return m_attempts; }
  // Closes every collection and forgets the attempts.
  void Clear();

 private:
  std::vector<std::unique_ptr<CRhinoUiToolBarCollection>> m_collections;
  std::vector<std::wstring> m_attempts;
};
