#include "delivery/CreateZipWithFile.h"

#include <cstdio>

#include "standin/platform/Automation.h"
#include "standin/platform/Clock.h"
#include "standin/platform/ComObjects.h"
#include "standin/platform/FileFunctions.h"
#include "standin/platform/ShellZipFolder.h"

namespace zem {

namespace {

// The end-of-central-directory record of an archive without entries.
constexpr unsigned char kEmptyArchive[22] = {0x50, 0x4B, 0x05, 0x06};

bool WriteEmptyArchive(const std::wstring& archivePath) {
  std::FILE* file = _wfopen(archivePath.c_str(), L"wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(kEmptyArchive, 1, sizeof kEmptyArchive, file) == sizeof kEmptyArchive;
  return std::fclose(file) == 0 && written;
}

long ItemCount(Folder* folder) {
  FolderItems* items = nullptr;
  long count = 0;
  if (SUCCEEDED(folder->Items(&items)) && items != nullptr) {
    if (FAILED(items->get_Count(&count))) count = 0;
    items->Release();
  }
  return count;
}

// Copies the file into the archive's shell folder and waits for it; answers
// the number of entries the archive lists at the end.
long CopyIntoArchive(const std::wstring& archivePath, const std::wstring& filePath) {
  IShellDispatch* shell = nullptr;
  if (FAILED(CoCreateInstance(CLSID_Shell, nullptr, CLSCTX_INPROC_SERVER, IID_IShellDispatch,
                              reinterpret_cast<void**>(&shell))) ||
      shell == nullptr) {
    return 0;
  }
  VARIANT archive;
  VariantInit(&archive);
  archive.vt = VT_BSTR;
  archive.bstrVal = SysAllocString(archivePath.c_str());
  Folder* folder = nullptr;
  // A path the shell cannot open as a folder answers S_FALSE and no folder.
  if (FAILED(shell->NameSpace(archive, &folder)) || folder == nullptr) {
    SysFreeString(archive.bstrVal);
    shell->Release();
    return 0;
  }
  VARIANT file;
  VariantInit(&file);
  file.vt = VT_BSTR;
  file.bstrVal = SysAllocString(filePath.c_str());
  VARIANT options;
  VariantInit(&options);
  options.vt = VT_I4;
  options.lVal = FOF_SILENT;
  folder->CopyHere(file, options);

  // The shell copies in the background; the entry appears when it is done.
  const DWORD start = GetTickCount();
  long count = 0;
  do {
    Sleep(1000);
    count = ItemCount(folder);
  } while (count < 1 && GetTickCount() - start < kZipCopyWaitLimit);

  SysFreeString(archive.bstrVal);
  SysFreeString(file.bstrVal);
  folder->Release();
  shell->Release();
  return count;
}

}  // namespace

bool CreateZipWithFile(const std::wstring& archivePath, const std::wstring& filePath) {
  if (!WriteEmptyArchive(archivePath)) return false;
  // Only a successful initialisation (S_OK or S_FALSE) is balanced; a thread
  // already in another apartment model can still use the shell.
  const bool initialized = SUCCEEDED(CoInitialize(nullptr));
  const long count = CopyIntoArchive(archivePath, filePath);
  if (initialized) CoUninitialize();
  return count >= 1;
}

}  // namespace zem
