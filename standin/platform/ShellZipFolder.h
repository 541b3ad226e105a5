#pragma once
// The shell's application object and its folders, as far as the export uses
// them to pack a file into a zip archive: the shell opens an existing .zip
// file as a folder, and copying a file into that folder adds it to the
// archive as one deflated entry named like the file (libzip does the work).
//
// As on Windows, the copy runs in the background: CopyHere returns at once
// and the entry appears in the archive when the copy is done, which by
// default is at once and otherwise after SetShellCopyDuration milliseconds of
// the system clock (Clock.h). A copy whose source cannot be read never
// appears. Copies still running when the folder is let go are lost.
#include "standin/platform/Automation.h"
#include "standin/platform/ComObjects.h"

// Shell.Application and its dispatch interface.
extern const CLSID CLSID_Shell;       // {13709620-C279-11CE-A49E-444553540000}
extern const IID IID_IShellDispatch;  // {D8F015C0-C278-11CE-A49E-444553540000}
extern const IID IID_Folder;          // {BBCBDE60-C3FF-11CE-8350-444553540000}
extern const IID IID_FolderItems;     // {744129E0-CBE5-11CE-8350-444553540000}

// Shell copy options (the vOptions of CopyHere).
constexpr LONG FOF_SILENT = 0x4;  // no progress dialog
constexpr LONG FOF_NOCONFIRMATION = 0x10;

struct FolderItems : IUnknown {
  virtual HRESULT get_Count(long* count) = 0;
};

struct Folder : IUnknown {
  // Starts copying the file named by item (a string variant) into the folder.
  virtual HRESULT CopyHere(VARIANT item, VARIANT options) = 0;
  virtual HRESULT Items(FolderItems** items) = 0;
};

struct IShellDispatch : IUnknown {
  // The folder named by dir (a string variant). For a path that names no
  // folder the shell can open, S_FALSE and a null folder.
  virtual HRESULT NameSpace(VARIANT dir, Folder** folder) = 0;
};

namespace zem {

// Makes a shell application object (CoCreateInstance calls this).
HRESULT CreateShellApplication(REFIID riid, void** object);
// Whether the shell application class is on offer (a system without the
// shell answers REGDB_E_CLASSNOTREG). On by default.
void SetShellApplicationRegistered(bool registered);
// How long a copy into a zip folder takes on the system clock; INFINITE
// (0xFFFFFFFF) for a copy that never finishes. 0 by default.
void SetShellCopyDuration(DWORD milliseconds);

}  // namespace zem

#ifndef INFINITE
#define INFINITE static_cast<DWORD>(0xFFFFFFFFu)
#endif
