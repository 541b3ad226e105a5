#pragma once
// The framework's persistent key-value store: profile (.ini) files in the
// user's application-data folder. One file per store name; "ZEMSettings.ini"
// when no store is named, "Global.ini" for the store "Global". An empty
// section means the section "settings".
//
// Encodings: text as is (at most 254 characters are read back); integers and
// booleans in decimal; reals with six decimals up to a magnitude of 1e12 and
// in the "%g" form above, anything below 1e-10 in magnitude as 0.
#include <string>

#include "core/ZEM_SmartPointer.h"

class ZEM_SettingsImpl : public ZEM_BaseUnknown {
  ZEM_DECLARE_CLASS(ZEM_SettingsImpl, ZEM_BaseUnknown)

 public:
  // The process-wide store, created at the first use and kept.
  static ZEM_SettingsImpl* Instance();

  // Takes the application-data folder as the base folder when the platform
  // names one; the base folder stays ".\" otherwise.
  ZEM_SettingsImpl();

  // The state is process-wide, shared by every instance.
  static std::wstring& BaseFolder();
  static std::wstring& SubFolder();
  static const std::wstring& DefaultFileName();

  // The file of a store: base folder, subfolder, then the store name (or the
  // default file name), with ".ini" added unless it is there.
  std::wstring GetSettingsPath(const wchar_t* store = nullptr) const;
  // Creates every missing folder along the path; answers whether the whole
  // path exists as a folder at the end.
  bool EnsureFolder(const std::wstring& path) const;

  // An empty key reads nothing and changes nothing. Otherwise `value` gets
  // the stored text, or `defaultValue` when none is stored; answers whether
  // a value was stored.
  bool ReadString(const std::wstring& section, const std::wstring& key, std::wstring& value,
                  const std::wstring& defaultValue, const wchar_t* store = nullptr) const;
  bool WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                   const wchar_t* store = nullptr) const;
  // `value` keeps what the caller put in when nothing is stored.
  bool ReadInt(const std::wstring& section, const std::wstring& key, int& value, const wchar_t* store = nullptr) const;
  bool WriteInt(const std::wstring& section, const std::wstring& key, int value, const wchar_t* store = nullptr) const;
  bool ReadBool(const std::wstring& section, const std::wstring& key, bool& value,
                const wchar_t* store = nullptr) const;
  bool WriteBool(const std::wstring& section, const std::wstring& key, bool value,
                 const wchar_t* store = nullptr) const;
  bool ReadReal(const std::wstring& section, const std::wstring& key, double& value,
                const wchar_t* store = nullptr) const;
  bool WriteReal(const std::wstring& section, const std::wstring& key, double value,
                 const wchar_t* store = nullptr) const;

  // The text a real is written as.
  static std::wstring FormatReal(double value);
};
ZEM_DECLARE_POINTER(ZEM_SettingsImpl);
