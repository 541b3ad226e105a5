#pragma once
// The host's file search.
#include "standin/host/ON_wString.h"

#include <string>
#include <vector>

class CRhinoFileUtilities {
 public:
  // Looks for a file: as named (absolute, or from the working folder), then
  // by its name in the folder of the active document's file, then in the
  // search folders. Answers its full path.
  static bool FindFile(const wchar_t* fileName, ON_wString& fullPath);
  // Folders searched after the document's own, in the order added.
  static void AddSearchFolder(const wchar_t* folder);
  static void ClearSearchFolders();
};
