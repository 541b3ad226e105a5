#include "standin/platform/ShellZipFolder.h"

#include <zip.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "standin/platform/Clock.h"
#include "standin/platform/NativePath.h"
#include "standin/platform/TextEncoding.h"

const CLSID CLSID_Shell = {0x13709620, 0xC279, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID IID_IShellDispatch = {0xD8F015C0, 0xC278, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID IID_Folder = {0xBBCBDE60, 0xC3FF, 0x11CE, {0x83, 0x50, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const IID IID_FolderItems = {0x744129E0, 0xCBE5, 0x11CE, {0x83, 0x50, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

namespace {

bool registered = true;
DWORD copyDuration = 0;

// Reference counting and QueryInterface for one interface.
template <typename Interface>
class ComObject : public Interface {
 public:
  ComObject(const IID& iid) : m_iid(iid) {}
  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == m_iid) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++m_count; }
  ULONG Release() override {
    const ULONG left = --m_count;
    if (left == 0) delete this;
    return left;
  }

 private:
  const IID& m_iid;
  std::atomic<ULONG> m_count{1};
};

// The last part of a path, after either separator.
std::wstring FileNameOf(const std::wstring& path) {
  const auto at = path.find_last_of(L"/\\");
  return at == std::wstring::npos ? path : path.substr(at + 1);
}

bool EndsWithZip(const std::wstring& path) {
  if (path.size() < 4) return false;
  std::wstring tail = path.substr(path.size() - 4);
  for (auto& c : tail) c = static_cast<wchar_t>(std::towlower(c));
  return tail == L".zip";
}

bool ReadWholeFile(const std::string& nativePath, std::string& bytes) {
  std::ifstream in(nativePath, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  return !in.bad();
}

class ZipFolder : public ComObject<Folder> {
 public:
  explicit ZipFolder(std::string nativePath) : ComObject(IID_Folder), m_archive(std::move(nativePath)) {}
  ~ZipFolder() override { LandDueCopies(); }

  HRESULT CopyHere(VARIANT item, VARIANT) override {
    if (item.vt != VT_BSTR || item.bstrVal == nullptr || *item.bstrVal == L'\0') return E_INVALIDARG;
    const std::wstring source(item.bstrVal);
    Copy copy;
    copy.source = zem::NativePath(source);
    copy.entryName = zem::ToUtf8(FileNameOf(source));
    copy.never = copyDuration == INFINITE;
    copy.due = GetTickCount() + copyDuration;
    m_copies.push_back(std::move(copy));
    LandDueCopies();
    return S_OK;
  }

  HRESULT Items(FolderItems** items) override;

  long CountEntries() {
    LandDueCopies();
    int error = 0;
    zip_t* archive = zip_open(m_archive.c_str(), ZIP_RDONLY, &error);
    if (archive == nullptr) return 0;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    zip_discard(archive);
    return count < 0 ? 0 : static_cast<long>(count);
  }

 private:
  struct Copy {
    std::string source;
    std::string entryName;
    DWORD due = 0;
    bool never = false;
  };

  void LandDueCopies() {
    for (auto it = m_copies.begin(); it != m_copies.end();) {
      if (it->never || static_cast<std::int32_t>(GetTickCount() - it->due) < 0) {
        ++it;
        continue;
      }
      Land(*it);
      it = m_copies.erase(it);
    }
  }

  // Adds the source as one deflated entry, replacing an entry of that name.
  // A source that cannot be read or an archive that cannot be written leaves
  // the archive as it was.
  void Land(const Copy& copy) {
    std::string bytes;
    if (!ReadWholeFile(copy.source, bytes)) return;
    int error = 0;
    zip_t* archive = zip_open(m_archive.c_str(), 0, &error);
    if (archive == nullptr) return;
    void* data = std::malloc(bytes.size() ? bytes.size() : 1);
    if (data == nullptr) {
      zip_discard(archive);
      return;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    zip_source_t* source = zip_source_buffer(archive, data, bytes.size(), 1);
    if (source == nullptr) {
      std::free(data);
      zip_discard(archive);
      return;
    }
    const zip_int64_t index =
        zip_file_add(archive, copy.entryName.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    if (index < 0) {
      zip_source_free(source);
      zip_discard(archive);
      return;
    }
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 0);
    if (zip_close(archive) != 0) zip_discard(archive);
  }

  std::string m_archive;
  std::vector<Copy> m_copies;
};

class ZipFolderItems : public ComObject<FolderItems> {
 public:
  explicit ZipFolderItems(ZipFolder* folder) : ComObject(IID_FolderItems), m_folder(folder) { m_folder->AddRef(); }
  ~ZipFolderItems() override { m_folder->Release(); }
  HRESULT get_Count(long* count) override {
    if (count == nullptr) return E_POINTER;
    *count = m_folder->CountEntries();
    return S_OK;
  }

 private:
  ZipFolder* m_folder;
};

HRESULT ZipFolder::Items(FolderItems** items) {
  if (items == nullptr) return E_POINTER;
  *items = new ZipFolderItems(this);
  return S_OK;
}

class ShellApplication : public ComObject<IShellDispatch> {
 public:
  ShellApplication() : ComObject(IID_IShellDispatch) {}
  HRESULT NameSpace(VARIANT dir, Folder** folder) override {
    if (folder == nullptr) return E_POINTER;
    *folder = nullptr;
    if (dir.vt != VT_BSTR || dir.bstrVal == nullptr) return S_FALSE;
    const std::wstring path(dir.bstrVal);
    const std::string native = zem::NativePath(path);
    std::error_code error;
    if (!EndsWithZip(path) || !std::filesystem::is_regular_file(native, error)) return S_FALSE;
    *folder = new ZipFolder(native);
    return S_OK;
  }
};

}  // namespace

HRESULT zem::CreateShellApplication(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!registered) return REGDB_E_CLASSNOTREG;
  auto* shell = new ShellApplication();
  const HRESULT result = shell->QueryInterface(riid, object);
  shell->Release();
  return result;
}

void zem::SetShellApplicationRegistered(bool on) { registered = on; }

void zem::SetShellCopyDuration(DWORD milliseconds) { copyDuration = milliseconds; }
