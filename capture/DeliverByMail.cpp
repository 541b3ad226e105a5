#include "capture/DeliverByMail.h"

#include <cwctype>
#include <filesystem>

#include "delivery/CreateZipWithFile.h"
#include "delivery/GetTempFolder.h"
#include "delivery/SendMailWithAttachment.h"
#include "page/PageLinks.h"
#include "standin/platform/FileFunctions.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/ShellFolders.h"
#include "standin/platform/TextEncoding.h"

namespace {

constexpr std::size_t kMaxNameCharacters = 120;
// Leaves room for ".html.zip" within the 255 bytes of a file name.
constexpr std::size_t kMaxNameBytes = 200;
// The export folders that MailPagePath makes start with this.
constexpr std::wstring_view kExportFolderPrefix = L"zem-mail-";

bool IsBadNameCharacter(wchar_t c) {
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;  // control characters
  if (c >= 0xD800 && c <= 0xDFFF) return true;            // lone surrogate halves
  if (static_cast<unsigned long>(c) > 0x10FFFF) return true;
  return std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos;
}

void TrimDotsAndSpaces(std::wstring& name) {
  auto edge = [](wchar_t c) { return c == L'.' || c == L' '; };
  while (!name.empty() && edge(name.back())) name.pop_back();
  std::size_t lead = 0;
  while (lead < name.size() && edge(name[lead])) ++lead;
  name.erase(0, lead);
}

bool IsDeviceName(const std::wstring& name) {
  std::wstring stem = name.substr(0, name.find(L'.'));
  while (!stem.empty() && stem.back() == L' ') stem.pop_back();
  for (auto& c : stem) c = static_cast<wchar_t>(std::towupper(c));
  if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL") return true;
  return stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) && stem[3] >= L'1' &&
         stem[3] <= L'9';
}

std::wstring FolderOf(const std::wstring& path) {
  const auto at = path.find_last_of(L"/\\");
  return at == std::wstring::npos ? std::wstring() : path.substr(0, at);
}

std::wstring LastPart(const std::wstring& path) {
  const auto at = path.find_last_of(L"/\\");
  return at == std::wstring::npos ? path : path.substr(at + 1);
}

std::wstring Body(const wchar_t* firstSentence) {
  return std::wstring(firstSentence) + L"\n\nCreated using free ZEM WebGL Export for Rhinoceros.\nDetails on " +
         zem::kProductPage + L".";
}

}  // namespace

std::wstring zem::MailBodyForPage() {
  return Body(L"Please open the attached HTML page in a WebGL capable browser to view it correctly !");
}

std::wstring zem::MailBodyForArchive() {
  return Body(
      L"Please extract the attached zip file and open the HTML page in a WebGL capable browser to view it "
      L"correctly !");
}

std::wstring zem::SafeFileNameFromTitle(const std::wstring& title) {
  std::wstring name;
  for (const wchar_t c : title) {
    wchar_t keep = c;
    if (c == L'\t' || c == L'\n' || c == L'\r') {
      keep = L' ';
    } else if (IsBadNameCharacter(c)) {
      keep = L'_';
    }
    // A run of dots becomes one dot, so ".." never appears.
    if (keep == L'.' && !name.empty() && name.back() == L'.') continue;
    name += keep;
  }
  TrimDotsAndSpaces(name);
  if (name.size() > kMaxNameCharacters) name.resize(kMaxNameCharacters);
  while (zem::ToUtf8(name).size() > kMaxNameBytes) name.pop_back();
  TrimDotsAndSpaces(name);
  if (name.empty()) return L"model";
  if (IsDeviceName(name)) name.insert(0, L"_");
  return name;
}

std::wstring zem::MailPagePath(const std::wstring& documentTitle, InterruptCleanup* undo) {
  // A folder of this export's own, new and private: the temporary folder is
  // shared, so nothing in it is trusted.
  const std::wstring folder = CreatePrivateFolder(GetTempFolder() + std::wstring(kExportFolderPrefix), undo);
  if (folder.empty()) return {};
  return folder + L"\\" + SafeFileNameFromTitle(documentTitle) + L".html";
}

void zem::DiscardMailPage(const std::wstring& pagePath) {
  if (pagePath.empty()) return;
  DeleteFileW(pagePath.c_str());
  DeleteFileW((pagePath + L".zip").c_str());
  // Only a folder that MailPagePath made goes, and only when it is empty.
  const std::wstring folder = FolderOf(pagePath);
  if (LastPart(folder).starts_with(kExportFolderPrefix)) {
    RemoveDirectoryW(folder.c_str());
  }
}

bool zem::DeliverByMail(const std::wstring& pagePath, const std::wstring& title, bool zip, HWND mainWindow,
                        const std::function<void()>& hideDialog, std::uintmax_t* handedBytes) {
  if (handedBytes) *handedBytes = 0;
  if (pagePath.empty() || GetFileAttributesW(pagePath.c_str()) != FILE_ATTRIBUTE_NORMAL) {
    zem::DiscardMailPage(pagePath);
    return false;
  }
  const std::wstring subject = zem::kMailSubjectPrefix + title;
  std::wstring attachment = pagePath;
  std::wstring body = zem::MailBodyForPage();
  const std::wstring archive = pagePath + L".zip";
  // An archive that did not come to hold the page is not worth sending.
  if (zip && CreateZipWithFile(archive, pagePath)) {
    attachment = archive;
    body = zem::MailBodyForArchive();
  }
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(zem::NativePath(attachment), ec);
  if (hideDialog) hideDialog();
  // The hand-over takes the attachment's bytes, so the files may go at once;
  // a page that was not handed over stays for the user to find.
  if (!SendMailWithAttachment(attachment, mainWindow, subject, body)) {
    DeleteFileW(archive.c_str());
    return false;
  }
  zem::DiscardMailPage(pagePath);
  if (handedBytes) *handedBytes = ec ? 0 : size;
  return true;
}
