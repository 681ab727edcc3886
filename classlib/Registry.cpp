#include "Registry.h"

#include <cstring>

namespace tvk {

namespace {

// An open key, closed with it.
class TKey {
public:
  TKey(const WideString& path, bool create) {
    LONG r = create ? RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                      &FKey, nullptr)
                    : RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &FKey);
    if (r != ERROR_SUCCESS) FKey = nullptr;
  }
  ~TKey() {
    if (FKey) RegCloseKey(FKey);
  }
  TKey(const TKey&) = delete;
  TKey& operator=(const TKey&) = delete;
  HKEY Handle() const { return FKey; }

private:
  HKEY FKey = nullptr;
};

// Reads a value of Type and exactly Size bytes; false when it is not so.
bool ReadRaw(const WideString& path, const WideString& name, DWORD type, void* data, DWORD size) {
  TKey key(path, false);
  if (!key.Handle()) return false;
  DWORD actualType = 0, actualSize = size;
  LONG r = RegQueryValueExW(key.Handle(), name.c_str(), nullptr, &actualType, static_cast<BYTE*>(data), &actualSize);
  return r == ERROR_SUCCESS && actualType == type && actualSize == size;
}

void WriteRaw(const WideString& path, const WideString& name, DWORD type, const void* data, DWORD size) {
  TKey key(path, true);
  if (!key.Handle() ||
      RegSetValueExW(key.Handle(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
    throw Exception(L"Failed to set data for '" + name + L"'");
}

}  // namespace

TRegistryIniFile::TRegistryIniFile(const WideString& key) : FKey(key) {}

WideString TRegistryIniFile::Path(const WideString& section) const {
  return section.empty() ? FKey : FKey + L"\\" + section;
}

double TRegistryIniFile::ReadFloat(const WideString& section, const WideString& name, double defaultValue) {
  double value = 0;
  return ReadRaw(Path(section), name, REG_BINARY, &value, sizeof value) ? value : defaultValue;
}

void TRegistryIniFile::WriteFloat(const WideString& section, const WideString& name, double value) {
  WriteRaw(Path(section), name, REG_BINARY, &value, sizeof value);
}

bool TRegistryIniFile::ReadBool(const WideString& section, const WideString& name, bool defaultValue) {
  DWORD value = 0;
  return ReadRaw(Path(section), name, REG_DWORD, &value, sizeof value) ? value != 0 : defaultValue;
}

void TRegistryIniFile::WriteBool(const WideString& section, const WideString& name, bool value) {
  DWORD v = value ? 1 : 0;
  WriteRaw(Path(section), name, REG_DWORD, &v, sizeof v);
}

bool TRegistryIniFile::ValueExists(const WideString& section, const WideString& name) {
  TKey key(Path(section), false);
  return key.Handle() && RegQueryValueExW(key.Handle(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void TRegistryIniFile::EraseKey(const WideString& key) { RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str()); }

}  // namespace tvk
