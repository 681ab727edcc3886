#pragma once
// Ini-file stores: one interface (TCustomIniFile) over a file on disk written
// through the system's profile functions (TIniFile) and over a copy kept in
// memory and written back on request (TMemIniFile). Integers are decimal,
// Booleans "1"/"0"; a value that does not read as its kind gives the default.
#include "Classes.h"
#include "Lists.h"

#include <string>
#include <utility>
#include <vector>

namespace tvk {

class TCustomIniFile : public TObject {
public:
  TVK_CLASS(TCustomIniFile, TObject)
  explicit TCustomIniFile(WideString fileName) : FFileName(std::move(fileName)) {}
  const WideString& FileName() const { return FFileName; }

  virtual WideString ReadString(const WideString& section, const WideString& ident, const WideString& defaultValue) = 0;
  virtual void WriteString(const WideString& section, const WideString& ident, const WideString& value) = 0;
  virtual void ReadSection(const WideString& section, TStrings& strings) = 0;
  virtual void ReadSections(TStrings& strings) = 0;
  virtual void ReadSectionValues(const WideString& section, TStrings& strings) = 0;
  virtual void EraseSection(const WideString& section) = 0;
  virtual void DeleteKey(const WideString& section, const WideString& ident) = 0;
  virtual void UpdateFile() {}

  int ReadInteger(const WideString& section, const WideString& ident, int defaultValue);
  void WriteInteger(const WideString& section, const WideString& ident, int value);
  bool ReadBool(const WideString& section, const WideString& ident, bool defaultValue);
  void WriteBool(const WideString& section, const WideString& ident, bool value);
  bool SectionExists(const WideString& section);
  bool ValueExists(const WideString& section, const WideString& ident);

private:
  WideString FFileName;
};

// A file read and written at every call (the system's private-profile functions).
class TIniFile : public TCustomIniFile {
public:
  TVK_CLASS(TIniFile, TCustomIniFile)
  explicit TIniFile(WideString fileName) : TCustomIniFile(std::move(fileName)) {}
  WideString ReadString(const WideString& section, const WideString& ident, const WideString& defaultValue) override;
  void WriteString(const WideString& section, const WideString& ident, const WideString& value) override;
  void ReadSection(const WideString& section, TStrings& strings) override;
  void ReadSections(TStrings& strings) override;
  void ReadSectionValues(const WideString& section, TStrings& strings) override;
  void EraseSection(const WideString& section) override;
  void DeleteKey(const WideString& section, const WideString& ident) override;
  void UpdateFile() override;
};

// The file's sections in memory (names compared without regard to case);
// UpdateFile writes them back as UTF-16 text. An empty file name keeps
// everything in memory only.
class TMemIniFile : public TCustomIniFile {
public:
  TVK_CLASS(TMemIniFile, TCustomIniFile)
  explicit TMemIniFile(WideString fileName);
  WideString ReadString(const WideString& section, const WideString& ident, const WideString& defaultValue) override;
  void WriteString(const WideString& section, const WideString& ident, const WideString& value) override;
  void ReadSection(const WideString& section, TStrings& strings) override;
  void ReadSections(TStrings& strings) override;
  void ReadSectionValues(const WideString& section, TStrings& strings) override;
  void EraseSection(const WideString& section) override;
  void DeleteKey(const WideString& section, const WideString& ident) override;
  void UpdateFile() override;
  // The store as ini text, and replacing it from such text.
  WideString Text() const;
  void SetText(const WideString& text);

private:
  struct TSection {
    WideString Name;
    std::vector<std::pair<WideString, WideString>> Values;
  };
  TSection* Find(const WideString& section);
  std::vector<TSection> FSections;
};

}  // namespace tvk
