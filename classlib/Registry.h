#pragma once
// Settings in the current user's registry, read and written as an ini file:
// a key, sections as sub-keys (an empty section is the key itself), values
// by name. Floats are kept as 8-byte binary doubles, Booleans as DWORDs
// (0 or 1); a value that is missing or of another kind reads as the default.
#include "Classes.h"
#include "Lists.h"

namespace tvk {

class TRegistryIniFile : public TObject {
public:
  TVK_CLASS(TRegistryIniFile, TObject)
  // Key under HKEY_CURRENT_USER, made when first written.
  explicit TRegistryIniFile(const WideString& key);
  ~TRegistryIniFile() override = default;
  const WideString& FileName() const { return FKey; }

  double ReadFloat(const WideString& section, const WideString& name, double defaultValue);
  void WriteFloat(const WideString& section, const WideString& name, double value);
  bool ReadBool(const WideString& section, const WideString& name, bool defaultValue);
  void WriteBool(const WideString& section, const WideString& name, bool value);
  bool ValueExists(const WideString& section, const WideString& name);

  // Removes Key and everything under it from the current user's registry.
  static void EraseKey(const WideString& key);

private:
  WideString Path(const WideString& section) const;
  WideString FKey;
};

// A registry key opened below a root key (the current user's by default) and
// made current; values are read and written in the current key. Failures to
// read a value of another kind raise ERegistryException.
class ERegistryException : public Exception {
public:
  using Exception::Exception;
};

class TRegistry : public TObject {
public:
  TVK_CLASS(TRegistry, TObject)
  TRegistry() = default;
  ~TRegistry() override;
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return FRootKey; }
  void SetRootKey(HKEY key);
  HKEY CurrentKey() const { return FCurrentKey; }
  const WideString& CurrentPath() const { return FCurrentPath; }

  // Opens Key (below the current key, or below the root when it starts with
  // a backslash or no key is current) and makes it current.
  bool OpenKey(const WideString& key, bool canCreate);
  void CloseKey();
  bool KeyExists(const WideString& key);
  bool DeleteKey(const WideString& key);  // with everything below it
  // An open handle of Key below the current key, which the caller closes;
  // null when it cannot be opened (or made, with canCreate).
  HKEY OpenSubKey(const WideString& key, bool canCreate) const;
  // Makes an already opened key current without closing the previous one:
  // the caller keeps both and puts the previous one back.
  void ChangeKey(HKEY key, const WideString& path);

  bool ValueExists(const WideString& name) const;
  bool DeleteValue(const WideString& name);
  int GetDataSize(const WideString& name) const;  // -1 when missing
  // Reads at most BufSize bytes of a binary value; answers the bytes read.
  int ReadBinaryData(const WideString& name, void* buffer, int bufSize);
  void WriteBinaryData(const WideString& name, const void* buffer, int bufSize);
  WideString ReadString(const WideString& name);  // empty when missing
  void WriteString(const WideString& name, const WideString& value);
  void GetKeyNames(TStrings& strings) const;
  void GetValueNames(TStrings& strings) const;

private:
  HKEY FRootKey = HKEY_CURRENT_USER;
  HKEY FCurrentKey = nullptr;
  WideString FCurrentPath;
};

// The registry used as an ini file: the key named at creation (below the
// current user's) holds sections as sub-keys and their values by name.
// Integers are written as decimal strings and Booleans as "1"/"0", as an
// ini file writes them; DWORD values read as integers too.
class TRegIniFile : public TRegistry {
public:
  TVK_CLASS(TRegIniFile, TRegistry)
  explicit TRegIniFile(const WideString& fileName);
  const WideString& FileName() const { return FFileName; }

  WideString ReadString(const WideString& section, const WideString& ident, const WideString& defaultValue);
  void WriteString(const WideString& section, const WideString& ident, const WideString& value);
  int ReadInteger(const WideString& section, const WideString& ident, int defaultValue);
  void WriteInteger(const WideString& section, const WideString& ident, int value);
  bool ReadBool(const WideString& section, const WideString& ident, bool defaultValue);
  void WriteBool(const WideString& section, const WideString& ident, bool value);
  void ReadSection(const WideString& section, TStrings& strings);
  void ReadSections(TStrings& strings);
  void ReadSectionValues(const WideString& section, TStrings& strings);
  void EraseSection(const WideString& section);
  void DeleteKey(const WideString& section, const WideString& ident);

private:
  WideString FFileName;
};

}  // namespace tvk
