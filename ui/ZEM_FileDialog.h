#pragma once
// The framework's file dialog: the common open or save dialog with the
// framework's flags (hide read-only, prompt before overwriting, resizable),
// the extra panel of template 101 (a preview picture and an info text), and
// a file-name buffer of 4096 characters that starts with the initial name.
//
// A selection in the dialog's file list is joined to its folder with one
// separator and handed to the preview loader; the loaded picture reaches
// the preview on the user-interface thread while the dialog runs; what is
// loaded after the dialog has ended is dropped. A name or
// path that does not fit the buffer is refused: DoModal answers IDCANCEL
// and RefusalReason says why.
#include <memory>
#include <string>

#include "standin/platform/CFileDialog.h"
#include "ui/ZEM_FileDialogPreviewThread.h"

// What the panel's preview picture shows.
class CImagePreviewStatic {
 public:
  void SetPicture(std::unique_ptr<CRhinoDib> picture, std::wstring path);
  const CRhinoDib* Picture() const { return m_picture.get(); }
  const std::wstring& Path() const { return m_path; }
  // The info text: the picture's size, or that the file is no picture.
  const std::wstring& Info() const { return m_info; }

 private:
  std::unique_ptr<CRhinoDib> m_picture;
  std::wstring m_path;
  std::wstring m_info;
};

class ZEM_FileDialog : public CFileDialog {
 public:
  static constexpr std::size_t kFileNameBufferSize = 4096;
  static constexpr DWORD kFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ENABLESIZING;

  ZEM_FileDialog(BOOL open, LPCTSTR defaultExtension, LPCTSTR initialName, LPCTSTR filter, CWnd* parent = nullptr);
  ~ZEM_FileDialog() override;

  int DoModal() override;

  // Folder and file name with exactly one separator between them.
  static std::wstring JoinFolderAndName(const std::wstring& folder, const std::wstring& name);

  // The shell view's selection changed to `fileName` in `folder`.
  void OnSelectionChanged(const std::wstring& folder, const std::wstring& fileName);
  // Hands a loaded preview to the picture (user-interface thread; the dialog
  // does it from the message loop's idle step while it runs).
  void DeliverPreview();

  const wchar_t* FileNameBuffer() const { return m_fileName; }
  UINT PanelTemplate() const { return m_panelTemplate; }
  const CImagePreviewStatic& Preview() const { return m_preview; }
  ZEM_FileDialogPreviewThread& Loader() { return *m_loader; }
  // Loads previews with `loader` from now on.
  void UsePreviewLoader(ZEM_FileDialogPreviewThread::Loader loader) {
    m_loader = std::make_unique<ZEM_FileDialogPreviewThread>(std::move(loader));
  }
  const std::wstring& RefusalReason() const { return m_refusal; }

 private:
  wchar_t m_fileName[kFileNameBufferSize] = {};
  UINT m_panelTemplate;
  bool m_initialNameFits = true;
  std::wstring m_refusal;
  CImagePreviewStatic m_preview;
  std::unique_ptr<ZEM_FileDialogPreviewThread> m_loader;
};
