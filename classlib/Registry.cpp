#include "Registry.h"

#include "Convert.h"

#include <algorithm>
#include <cstring>
#include <vector>

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

// --- TRegistry

namespace {

// A sub-key handle closed with the object.
class TOpenedRegKey {
public:
  explicit TOpenedRegKey(HKEY key) : FKey(key) {}
  ~TOpenedRegKey() {
    if (FKey) RegCloseKey(FKey);
  }
  TOpenedRegKey(const TOpenedRegKey&) = delete;
  TOpenedRegKey& operator=(const TOpenedRegKey&) = delete;
  HKEY Handle() const { return FKey; }

private:
  HKEY FKey;
};

WideString JoinRegPath(const WideString& base, const WideString& key) {
  if (base.empty()) return key;
  if (key.empty()) return base;
  return base + L"\\" + key;
}

}  // namespace

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY key) {
  if (key == FRootKey) return;
  CloseKey();
  FRootKey = key;
}

HKEY TRegistry::OpenSubKey(const WideString& key, bool canCreate) const {
  bool absolute = !key.empty() && key[0] == L'\\';
  HKEY base = (absolute || !FCurrentKey) ? FRootKey : FCurrentKey;
  WideString path = absolute ? key.substr(1) : key;
  HKEY result = nullptr;
  LONG r = canCreate ? RegCreateKeyExW(base, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &result, nullptr)
                     : RegOpenKeyExW(base, path.c_str(), 0, KEY_READ | KEY_WRITE, &result);
  if (r != ERROR_SUCCESS && !canCreate) r = RegOpenKeyExW(base, path.c_str(), 0, KEY_READ, &result);
  return r == ERROR_SUCCESS ? result : nullptr;
}

bool TRegistry::OpenKey(const WideString& key, bool canCreate) {
  HKEY opened = OpenSubKey(key, canCreate);
  if (!opened) return false;
  bool absolute = !key.empty() && key[0] == L'\\';
  WideString path = absolute || !FCurrentKey ? (absolute ? key.substr(1) : key) : JoinRegPath(FCurrentPath, key);
  CloseKey();
  FCurrentKey = opened;
  FCurrentPath = path;
  return true;
}

void TRegistry::CloseKey() {
  if (FCurrentKey) RegCloseKey(FCurrentKey);
  FCurrentKey = nullptr;
  FCurrentPath.clear();
}

void TRegistry::ChangeKey(HKEY key, const WideString& path) {
  FCurrentKey = key;
  FCurrentPath = path;
}

bool TRegistry::KeyExists(const WideString& key) {
  TOpenedRegKey opened(OpenSubKey(key, false));
  return opened.Handle() != nullptr;
}

bool TRegistry::DeleteKey(const WideString& key) {
  // A leading backslash names the key from the root, as OpenKey reads it.
  const bool absolute = !key.empty() && key[0] == L'\\';
  HKEY base = (absolute || !FCurrentKey) ? FRootKey : FCurrentKey;
  const WideString path = absolute ? key.substr(1) : key;
  return !path.empty() && RegDeleteTreeW(base, path.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::ValueExists(const WideString& name) const { return GetDataSize(name) >= 0; }

bool TRegistry::DeleteValue(const WideString& name) {
  return RegDeleteValueW(FCurrentKey ? FCurrentKey : FRootKey, name.c_str()) == ERROR_SUCCESS;
}

int TRegistry::GetDataSize(const WideString& name) const {
  DWORD size = 0;
  if (RegQueryValueExW(FCurrentKey ? FCurrentKey : FRootKey, name.c_str(), nullptr, nullptr, nullptr, &size) !=
      ERROR_SUCCESS)
    return -1;
  return static_cast<int>(size);
}

int TRegistry::ReadBinaryData(const WideString& name, void* buffer, int bufSize) {
  HKEY key = FCurrentKey ? FCurrentKey : FRootKey;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    throw ERegistryException(L"Failed to get data for '" + name + L"'");
  if (type != REG_BINARY) throw ERegistryException(L"Invalid data type for '" + name + L"'");
  if (bufSize < 0) bufSize = 0;
  // Never past the caller's buffer: a value larger than it is read whole
  // into a scratch block and cut.
  std::vector<BYTE> data(size);
  if (size && RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
    throw ERegistryException(L"Failed to get data for '" + name + L"'");
  DWORD n = std::min<DWORD>(size, static_cast<DWORD>(bufSize));
  if (n) std::memcpy(buffer, data.data(), n);
  return static_cast<int>(n);
}

void TRegistry::WriteBinaryData(const WideString& name, const void* buffer, int bufSize) {
  if (RegSetValueExW(FCurrentKey ? FCurrentKey : FRootKey, name.c_str(), 0, REG_BINARY,
                     static_cast<const BYTE*>(buffer), static_cast<DWORD>(std::max(bufSize, 0))) != ERROR_SUCCESS)
    throw ERegistryException(L"Failed to set data for '" + name + L"'");
}

WideString TRegistry::ReadString(const WideString& name) {
  HKEY key = FCurrentKey ? FCurrentKey : FRootKey;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryException(L"Invalid data type for '" + name + L"'");
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
      ERROR_SUCCESS)
    return {};
  return WideString(data.data());
}

void TRegistry::WriteString(const WideString& name, const WideString& value) {
  if (RegSetValueExW(FCurrentKey ? FCurrentKey : FRootKey, name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
    throw ERegistryException(L"Failed to set data for '" + name + L"'");
}

void TRegistry::GetKeyNames(TStrings& strings) const {
  strings.Clear();
  HKEY key = FCurrentKey ? FCurrentKey : FRootKey;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD n = 256;
    if (RegEnumKeyExW(key, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    strings.Add(WideString(name, n));
  }
}

void TRegistry::GetValueNames(TStrings& strings) const {
  strings.Clear();
  HKEY key = FCurrentKey ? FCurrentKey : FRootKey;
  std::vector<wchar_t> name(16384);
  for (DWORD i = 0;; ++i) {
    DWORD n = static_cast<DWORD>(name.size());
    if (RegEnumValueW(key, i, name.data(), &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    strings.Add(WideString(name.data(), n));
  }
}

// --- TRegIniFile

TRegIniFile::TRegIniFile(const WideString& fileName) : FFileName(fileName) { OpenKey(fileName, true); }

WideString TRegIniFile::ReadString(const WideString& section, const WideString& ident,
                                   const WideString& defaultValue) {
  TOpenedRegKey key(OpenSubKey(section, false));
  if (!key.Handle()) return defaultValue;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.Handle(), ident.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return defaultValue;
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD value = 0;
    RegQueryValueExW(key.Handle(), ident.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    return IntToStr(static_cast<std::int32_t>(value));
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return defaultValue;
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key.Handle(), ident.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
      ERROR_SUCCESS)
    return defaultValue;
  return WideString(data.data());
}

void TRegIniFile::WriteString(const WideString& section, const WideString& ident, const WideString& value) {
  TOpenedRegKey key(OpenSubKey(section, true));
  if (!key.Handle() ||
      RegSetValueExW(key.Handle(), ident.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
    throw ERegistryException(L"Failed to set data for '" + ident + L"'");
}

int TRegIniFile::ReadInteger(const WideString& section, const WideString& ident, int defaultValue) {
  std::int32_t value = 0;
  return TryStrToInt(ReadString(section, ident, L""), value) ? value : defaultValue;
}

void TRegIniFile::WriteInteger(const WideString& section, const WideString& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TRegIniFile::ReadBool(const WideString& section, const WideString& ident, bool defaultValue) {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const WideString& section, const WideString& ident, bool value) {
  WriteString(section, ident, value ? L"1" : L"0");
}

void TRegIniFile::ReadSection(const WideString& section, TStrings& strings) {
  strings.Clear();
  TOpenedRegKey key(OpenSubKey(section, false));
  if (!key.Handle()) return;
  HKEY previous = CurrentKey();
  WideString previousPath = CurrentPath();
  ChangeKey(key.Handle(), previousPath);
  GetValueNames(strings);
  ChangeKey(previous, previousPath);
}

void TRegIniFile::ReadSections(TStrings& strings) { GetKeyNames(strings); }

void TRegIniFile::ReadSectionValues(const WideString& section, TStrings& strings) {
  TStringList names;
  ReadSection(section, names);
  strings.Clear();
  for (int i = 0; i < names.Count(); ++i) strings.Add(names[i] + L"=" + ReadString(section, names[i], L""));
}

void TRegIniFile::EraseSection(const WideString& section) { TRegistry::DeleteKey(section); }

void TRegIniFile::DeleteKey(const WideString& section, const WideString& ident) {
  TOpenedRegKey key(OpenSubKey(section, false));
  if (key.Handle()) RegDeleteValueW(key.Handle(), ident.c_str());
}

}  // namespace tvk
