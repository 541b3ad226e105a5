#include "standin/platform/CFileDialog.h"

#include "standin/platform/AnswerQueue.h"
#include "standin/platform/MessageBox.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"

#include <filesystem>
#include <system_error>

namespace {

std::size_t NameStart(const std::wstring& path) {
  std::size_t slash = path.find_last_of(L"/\\");
  return slash == std::wstring::npos ? 0 : slash + 1;
}

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd*)
    : m_open(bOpenFileDialog != FALSE),
      m_defaultExtension(lpszDefExt ? lpszDefExt : L""),
      m_fileName(lpszFileName ? lpszFileName : L""),
      m_flags(dwFlags),
      m_filter(lpszFilter ? lpszFilter : L"") {}

int CFileDialog::DoModal() {
  m_path.clear();
  const std::wstring_view question = m_open ? zem::kOpenFileQuestion : zem::kSaveFileQuestion;
  while (auto answer = zem::AnswerQueue::Instance().Take(question)) {
    if (answer->empty()) return IDCANCEL;
    if (Accept(*answer)) return IDOK;
  }
  return IDCANCEL;
}

bool CFileDialog::Accept(const std::wstring& answer) {
  std::wstring path = answer;
  std::size_t nameStart = NameStart(path);
  if (nameStart == path.size()) return false;  // a folder, not a file
  if (!m_defaultExtension.empty() && path.find(L'.', nameStart) == std::wstring::npos) {
    path += L'.';
    path += m_defaultExtension;
  }
  std::error_code error;
  std::filesystem::path native = std::filesystem::absolute(zem::NativePath(path), error);
  if (error) return false;
  native = native.lexically_normal();
  const bool exists = std::filesystem::is_regular_file(native, error);
  if (m_open && (m_flags & OFN_FILEMUSTEXIST) && !exists) return false;
  std::wstring full = zem::FromUtf8(native.string());
  if (!m_open && exists && (m_flags & OFN_OVERWRITEPROMPT)) {
    std::wstring text = full.substr(NameStart(full)) + L" already exists.\nDo you want to replace it?";
    if (MessageBoxW(nullptr, text.c_str(), L"Confirm Save As", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
      return false;
    }
  }
  m_path = std::move(full);
  return true;
}

CString CFileDialog::GetPathName() const { return CString(m_path); }

CString CFileDialog::GetFileName() const { return CString(m_path.substr(NameStart(m_path))); }

CString CFileDialog::GetFileExt() const {
  std::wstring name = m_path.substr(NameStart(m_path));
  std::size_t dot = name.rfind(L'.');
  return CString(dot == std::wstring::npos ? std::wstring() : name.substr(dot + 1));
}
