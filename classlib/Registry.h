#pragma once
// Settings in the current user's registry, read and written as an ini file:
// a key, sections as sub-keys (an empty section is the key itself), values
// by name. Floats are kept as 8-byte binary doubles, Booleans as DWORDs
// (0 or 1); a value that is missing or of another kind reads as the default.
#include "Classes.h"

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

}  // namespace tvk
