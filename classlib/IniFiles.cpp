#include "IniFiles.h"

#include "Convert.h"
#include "Files.h"

#include <windows.h>

#include <cwchar>

namespace tvk {

namespace {

// A list of null-terminated strings ended by an empty one, as the profile
// functions answer it; the buffer grows until the answer fits.
std::vector<WideString> ReadProfileList(const wchar_t* section, const WideString& fileName) {
  std::vector<wchar_t> buffer(2048);
  for (;;) {
    DWORD n = section ? GetPrivateProfileStringW(section, nullptr, L"", buffer.data(),
                                                 static_cast<DWORD>(buffer.size()), fileName.c_str())
                      : GetPrivateProfileSectionNamesW(buffer.data(), static_cast<DWORD>(buffer.size()),
                                                       fileName.c_str());
    if (n + 2 < buffer.size()) {
      std::vector<WideString> result;
      for (const wchar_t* p = buffer.data(); *p && p < buffer.data() + n; p += wcslen(p) + 1) result.emplace_back(p);
      return result;
    }
    buffer.resize(buffer.size() * 4);
  }
}

WideString TrimSpaces(std::wstring_view s) {
  std::size_t b = s.find_first_not_of(L" \t");
  if (b == std::wstring_view::npos) return {};
  std::size_t e = s.find_last_not_of(L" \t");
  return WideString(s.substr(b, e - b + 1));
}

// A whole file as text: UTF-16 after its byte-order mark, else the ANSI code page.
WideString ReadIniText(const WideString& fileName) {
  HANDLE file = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw Exception(L"Cannot open file \"" + fileName + L"\"");
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE)
    return WideString(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / sizeof(wchar_t));
  int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  WideString text(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return text;
}

void WriteIniText(const WideString& fileName, const WideString& text) {
  HANDLE file = CreateFileW(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw Exception(L"Cannot create file \"" + fileName + L"\"");
  const wchar_t bom = 0xFEFF;
  DWORD put = 0;
  bool ok = WriteFile(file, &bom, sizeof bom, &put, nullptr) &&
            WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &put, nullptr);
  CloseHandle(file);
  if (!ok) throw Exception(L"Unable to write to " + fileName);
}

}  // namespace

int TCustomIniFile::ReadInteger(const WideString& section, const WideString& ident, int defaultValue) {
  WideString text = ReadString(section, ident, L"");
  std::int32_t value = 0;
  return TryStrToInt(text, value) ? value : defaultValue;
}

void TCustomIniFile::WriteInteger(const WideString& section, const WideString& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const WideString& section, const WideString& ident, bool defaultValue) {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const WideString& section, const WideString& ident, bool value) {
  WriteString(section, ident, value ? L"1" : L"0");
}

bool TCustomIniFile::SectionExists(const WideString& section) {
  TStringList names;
  ReadSection(section, names);
  return names.Count() > 0;
}

bool TCustomIniFile::ValueExists(const WideString& section, const WideString& ident) {
  TStringList names;
  ReadSection(section, names);
  return names.IndexOf(ident) >= 0;
}

// --- TIniFile

WideString TIniFile::ReadString(const WideString& section, const WideString& ident, const WideString& defaultValue) {
  std::vector<wchar_t> buffer(2048);
  for (;;) {
    DWORD n = GetPrivateProfileStringW(section.c_str(), ident.c_str(), defaultValue.c_str(), buffer.data(),
                                       static_cast<DWORD>(buffer.size()), FileName().c_str());
    if (n + 1 < buffer.size()) return WideString(buffer.data(), n);
    buffer.resize(buffer.size() * 4);
  }
}

void TIniFile::WriteString(const WideString& section, const WideString& ident, const WideString& value) {
  if (!WritePrivateProfileStringW(section.c_str(), ident.c_str(), value.c_str(), FileName().c_str()))
    throw Exception(L"Unable to write to " + FileName());
}

void TIniFile::ReadSection(const WideString& section, TStrings& strings) {
  strings.BeginUpdate();
  strings.Clear();
  for (const WideString& name : ReadProfileList(section.c_str(), FileName())) strings.Add(name);
  strings.EndUpdate();
}

void TIniFile::ReadSections(TStrings& strings) {
  strings.BeginUpdate();
  strings.Clear();
  for (const WideString& name : ReadProfileList(nullptr, FileName())) strings.Add(name);
  strings.EndUpdate();
}

void TIniFile::ReadSectionValues(const WideString& section, TStrings& strings) {
  strings.BeginUpdate();
  strings.Clear();
  for (const WideString& name : ReadProfileList(section.c_str(), FileName()))
    strings.Add(name + L"=" + ReadString(section, name, L""));
  strings.EndUpdate();
}

void TIniFile::EraseSection(const WideString& section) {
  if (!WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, FileName().c_str()))
    throw Exception(L"Unable to write to " + FileName());
}

void TIniFile::DeleteKey(const WideString& section, const WideString& ident) {
  WritePrivateProfileStringW(section.c_str(), ident.c_str(), nullptr, FileName().c_str());
}

void TIniFile::UpdateFile() {
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, FileName().c_str());
}

// --- TMemIniFile

TMemIniFile::TMemIniFile(WideString fileName) : TCustomIniFile(std::move(fileName)) {
  if (FileName().empty() || !FileExists(FileName())) return;
  SetText(ReadIniText(FileName()));
}

TMemIniFile::TSection* TMemIniFile::Find(const WideString& section) {
  for (TSection& s : FSections)
    if (SameTextIgnoringCase(s.Name, section)) return &s;
  return nullptr;
}

WideString TMemIniFile::ReadString(const WideString& section, const WideString& ident,
                                   const WideString& defaultValue) {
  if (TSection* s = Find(section))
    for (const auto& [name, value] : s->Values)
      if (SameTextIgnoringCase(name, ident)) return value;
  return defaultValue;
}

void TMemIniFile::WriteString(const WideString& section, const WideString& ident, const WideString& value) {
  TSection* s = Find(section);
  if (!s) s = &FSections.emplace_back(TSection{section, {}});
  for (auto& entry : s->Values)
    if (SameTextIgnoringCase(entry.first, ident)) {
      entry.second = value;
      return;
    }
  s->Values.emplace_back(ident, value);
}

void TMemIniFile::ReadSection(const WideString& section, TStrings& strings) {
  strings.BeginUpdate();
  strings.Clear();
  if (TSection* s = Find(section))
    for (const auto& entry : s->Values) strings.Add(entry.first);
  strings.EndUpdate();
}

void TMemIniFile::ReadSections(TStrings& strings) {
  strings.BeginUpdate();
  strings.Clear();
  for (const TSection& s : FSections) strings.Add(s.Name);
  strings.EndUpdate();
}

void TMemIniFile::ReadSectionValues(const WideString& section, TStrings& strings) {
  strings.BeginUpdate();
  strings.Clear();
  if (TSection* s = Find(section))
    for (const auto& [name, value] : s->Values) strings.Add(name + L"=" + value);
  strings.EndUpdate();
}

void TMemIniFile::EraseSection(const WideString& section) {
  std::erase_if(FSections, [&](const TSection& s) { return SameTextIgnoringCase(s.Name, section); });
}

void TMemIniFile::DeleteKey(const WideString& section, const WideString& ident) {
  if (TSection* s = Find(section))
    std::erase_if(s->Values, [&](const auto& entry) { return SameTextIgnoringCase(entry.first, ident); });
}

WideString TMemIniFile::Text() const {
  WideString text;
  for (const TSection& s : FSections) {
    text += L"[" + s.Name + L"]\r\n";
    for (const auto& [name, value] : s.Values) text += name + L"=" + value + L"\r\n";
    text += L"\r\n";
  }
  return text;
}

void TMemIniFile::SetText(const WideString& text) {
  FSections.clear();
  TSection* current = nullptr;
  TStringList lines;
  lines.SetText(text);
  for (int i = 0; i < lines.Count(); ++i) {
    WideString line = TrimSpaces(lines[i]);
    if (line.empty() || line[0] == L';') continue;
    if (line.front() == L'[' && line.back() == L']') {
      WideString name = line.substr(1, line.size() - 2);
      current = Find(name);
      if (!current) current = &FSections.emplace_back(TSection{name, {}});
      continue;
    }
    if (!current) continue;
    std::size_t eq = line.find(L'=');
    if (eq == WideString::npos)
      current->Values.emplace_back(line, L"");
    else
      current->Values.emplace_back(TrimSpaces(std::wstring_view(line).substr(0, eq)), line.substr(eq + 1));
  }
}

void TMemIniFile::UpdateFile() {
  if (FileName().empty()) return;
  WriteIniText(FileName(), Text());
}

}  // namespace tvk
