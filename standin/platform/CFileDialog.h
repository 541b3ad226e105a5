#pragma once
// The common file dialog. DoModal takes the path a person would pick from
// the answer queue ("save-file" or "open-file"); an empty answer, or none
// queued, is a cancelled dialog. A name without an extension gets the
// default extension. An open dialog with OFN_FILEMUSTEXIST passes over
// answers naming missing files, as the real one refuses them; a save dialog
// with OFN_OVERWRITEPROMPT asks through a yes/no message box (default: no)
// before it accepts an existing file, and takes the next answer when the
// person declines.
#include "standin/platform/CString.h"
#include "standin/platform/WinTypes.h"

class CWnd;

class CFileDialog {
 public:
  explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                       CWnd* pParentWnd = nullptr);
  virtual ~CFileDialog() = default;

  // IDOK or IDCANCEL.
  virtual int DoModal();

  // The chosen file's full path, its name, and its extension (without dot).
  CString GetPathName() const;
  CString GetFileName() const;
  CString GetFileExt() const;

  bool IsOpenDialog() const { return m_open; }
  DWORD Flags() const { return m_flags; }
  const std::wstring& Filter() const { return m_filter; }
  const std::wstring& DefaultExtension() const { return m_defaultExtension; }

 private:
  bool Accept(const std::wstring& answer);

  bool m_open;
  std::wstring m_defaultExtension;
  std::wstring m_fileName;
  DWORD m_flags;
  std::wstring m_filter;
  std::wstring m_path;
};
