#include "ui/ZEM_FileDialog.h"

#include <algorithm>

#include "standin/platform/MessageLoop.h"
#include "page/TextFormat.h"
#include "ui/FrameworkResources.h"

std::wstring ZEM_FileDialog::JoinFolderAndName(const std::wstring& folder, const std::wstring& name) {
  const auto isSeparator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  std::size_t folderEnd = folder.size();
  while (folderEnd > 0 && isSeparator(folder[folderEnd - 1])) --folderEnd;
  std::size_t nameStart = 0;
  while (nameStart < name.size() && isSeparator(name[nameStart])) ++nameStart;
  if (folderEnd == 0 && folder.empty()) return name.substr(nameStart);
  return folder.substr(0, folderEnd) + L'\\' + name.substr(nameStart);
}

void CImagePreviewStatic::SetPicture(std::unique_ptr<CRhinoDib> picture, std::wstring path) {
  m_picture = std::move(picture);
  m_path = std::move(path);
  m_info = m_picture ? zem::FormatText(L"%d x %d", {m_picture->Width(), std::abs(m_picture->Height())})
                     : std::wstring(L"No preview");
}

ZEM_FileDialog::ZEM_FileDialog(BOOL open, LPCTSTR defaultExtension, LPCTSTR initialName, LPCTSTR filter, CWnd* parent)
    : CFileDialog(open, defaultExtension, initialName, kFlags, filter, parent),
      m_panelTemplate(zem::kFilePanelTemplate),
      m_loader(std::make_unique<ZEM_FileDialogPreviewThread>()) {
  zem::RegisterFrameworkResources();
  const std::wstring name = initialName ? initialName : L"";
  // The buffer holds the name and its terminator.
  m_initialNameFits = name.size() < kFileNameBufferSize;
  if (m_initialNameFits) std::copy(name.begin(), name.end(), m_fileName);
}

// The loader (a member declared after the preview) is joined first.
ZEM_FileDialog::~ZEM_FileDialog() = default;

int ZEM_FileDialog::DoModal() {
  m_refusal.clear();
  if (!m_initialNameFits) {
    m_refusal = zem::FormatText(L"The initial file name is longer than %d characters.",
                                {static_cast<int>(kFileNameBufferSize - 1)});
    return IDCANCEL;
  }
  const int idle = zem::AddIdleHandler([this] { DeliverPreview(); });
  int result = CFileDialog::DoModal();
  zem::RemoveIdleHandler(idle);
  // A preview still loading is of no use once the dialog has ended.
  m_loader->Stop();
  if (result == IDOK && GetPathName().GetLength() >= static_cast<int>(kFileNameBufferSize)) {
    m_refusal =
        zem::FormatText(L"The chosen path is longer than %d characters.", {static_cast<int>(kFileNameBufferSize - 1)});
    result = IDCANCEL;
  }
  if (result == IDOK) {
    const std::wstring path(GetPathName());
    std::fill(std::begin(m_fileName), std::end(m_fileName), L'\0');
    std::copy(path.begin(), path.end(), m_fileName);
  }
  return result;
}

void ZEM_FileDialog::OnSelectionChanged(const std::wstring& folder, const std::wstring& fileName) {
  if (fileName.empty()) return;
  m_loader->Request(JoinFolderAndName(folder, fileName));
}

void ZEM_FileDialog::DeliverPreview() {
  if (auto preview = m_loader->Collect()) m_preview.SetPicture(std::move(preview->picture), std::move(preview->path));
}
