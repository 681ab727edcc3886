#pragma once
// Program files made by hand for the loader tests, a sink that records the
// chunks a loader reports, and the committed program files of data/.
#include "Extension.SCH.Util.h"
#include "support/RecordedDialogs.h"
#include "support/TestFolder.h"
#include "support/FolderTests.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace images_test {

// The committed program files (data/make_programs.sh made them).
inline std::wstring DataFile(const std::wstring& name) {
  std::wstring path = std::wstring(TVK_TEST_GROUP_DIR) + L"\\data\\" + name;
  for (wchar_t& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

struct Chunk {
  std::uint64_t Address;
  std::vector<std::uint32_t> Cells;
};

// Records every chunk a loader reports.
class ChunkLog {
public:
  tvk::TBytesLoaded Sink() {
    return [this](std::uint64_t address, std::uint64_t size, const std::uint32_t* buffer) {
      Chunks.push_back({address, std::vector<std::uint32_t>(buffer, buffer + size)});
    };
  }
  // Address -> byte of every reported cell (the low 8 bits).
  std::map<std::uint64_t, std::uint8_t> Map(std::int64_t shift = 0) const {
    std::map<std::uint64_t, std::uint8_t> map;
    for (const Chunk& c : Chunks)
      for (std::size_t i = 0; i < c.Cells.size(); ++i) map[c.Address + i + shift] = std::uint8_t(c.Cells[i]);
    return map;
  }
  std::vector<Chunk> Chunks;
};

// One Intel HEX line with a correct checksum, plus Delta.
inline std::string HexLine(unsigned type, unsigned offset, const std::vector<std::uint8_t>& data, int delta = 0) {
  static const char digits[] = "0123456789ABCDEF";
  std::string line = ":";
  unsigned sum = 0;
  auto put = [&](unsigned byte) {
    line += digits[(byte >> 4) & 0xF];
    line += digits[byte & 0xF];
    sum += byte;
  };
  put(unsigned(data.size()));
  put(offset >> 8);
  put(offset & 0xFF);
  put(type);
  for (std::uint8_t b : data) put(b);
  put((0x100 - (sum & 0xFF) + unsigned(delta)) & 0xFF);
  return line + "\n";
}
inline std::string HexData(unsigned offset, const std::vector<std::uint8_t>& data) { return HexLine(0, offset, data); }
inline std::string HexLinear(unsigned upper) { return HexLine(4, 0, {std::uint8_t(upper >> 8), std::uint8_t(upper)}); }
inline std::string HexEnd() { return ":00000001FF\n"; }

inline std::vector<std::uint8_t> Bytes(std::uint8_t first, std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = std::uint8_t(first + i);
  return bytes;
}

// A big-endian ELF32 file: a header, the section-header table right after
// it, the name tables, then each section's bytes in order (so cutting the
// file cuts the last section's data).
struct ElfSection {
  std::string Name;
  std::uint32_t Type = 1;   // program bits
  std::uint32_t Flags = 2;  // allocated
  std::uint32_t Address = 0;
  std::string Data;
  std::optional<std::uint32_t> Size;        // header size; default Data's
  std::optional<std::uint32_t> NameOffset;  // default: its name in the names table

  ElfSection& WithType(std::uint32_t type) { Type = type; return *this; }
  ElfSection& WithFlags(std::uint32_t flags) { Flags = flags; return *this; }
  ElfSection& WithSize(std::uint32_t size) { Size = size; return *this; }
  ElfSection& WithNameOffset(std::uint32_t offset) { NameOffset = offset; return *this; }
};

inline ElfSection Section(std::string name, std::uint32_t address, std::string data = {}) {
  ElfSection s;
  s.Name = std::move(name);
  s.Address = address;
  s.Data = std::move(data);
  return s;
}

struct ElfFileImage {
  std::vector<ElfSection> Sections;
  bool SymbolNamesFirst = true;  // a .strtab before the section-names table, as linkers write
  std::optional<std::uint16_t> NameSectionIndex;
  std::optional<std::uint32_t> TableOffset;

  std::string Build() const {
    using namespace std::string_literals;
    std::string names(1, '\0'), symbols = "\0reset\0count\0message\0table\0"s;
    std::vector<std::uint32_t> nameAt;
    for (const ElfSection& s : Sections) {
      nameAt.push_back(std::uint32_t(names.size()));
      names += s.Name + '\0';
    }
    const std::uint32_t strtabName = std::uint32_t(names.size());
    names += ".strtab";
    names += '\0';
    const std::uint32_t shstrtabName = std::uint32_t(names.size());
    names += ".shstrtab";
    names += '\0';

    const unsigned count = 1 + unsigned(Sections.size()) + (SymbolNamesFirst ? 1 : 0) + 1;
    const std::uint32_t table = 52;
    std::uint32_t at = table + 40 * count;
    std::string tables, data;
    auto header = [](std::string& out, std::initializer_list<std::uint32_t> fields) {
      for (std::uint32_t f : fields) Put32(out, f);
    };
    header(tables, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    std::uint32_t symbolsAt = at;
    at += std::uint32_t(symbols.size());
    std::uint32_t namesAt = at;
    at += std::uint32_t(names.size());
    std::uint32_t dataAt = at;
    std::string sectionHeaders;
    for (std::size_t i = 0; i < Sections.size(); ++i) {
      const ElfSection& s = Sections[i];
      header(sectionHeaders, {s.NameOffset.value_or(nameAt[i]), s.Type, s.Flags, s.Address, dataAt,
                              s.Size.value_or(std::uint32_t(s.Data.size())), 0, 0, 4, 0});
      data += s.Data;
      dataAt += std::uint32_t(s.Data.size());
    }
    tables += sectionHeaders;
    if (SymbolNamesFirst) header(tables, {strtabName, 3, 0, 0, symbolsAt, std::uint32_t(symbols.size()), 0, 0, 1, 0});
    header(tables, {shstrtabName, 3, 0, 0, namesAt, std::uint32_t(names.size()), 0, 0, 1, 0});

    std::string file = "\x7F" "ELF";
    file += "\x01\x02\x01";  // ELF32, big-endian, version 1
    file.resize(16, '\0');
    Put16(file, 2);     // executable
    Put16(file, 40);    // ARM
    Put32(file, 1);     // version
    Put32(file, 0);     // entry
    Put32(file, 0);     // program headers
    Put32(file, TableOffset.value_or(table));
    Put32(file, 0);     // flags
    Put16(file, 52);
    Put16(file, 32);
    Put16(file, 0);
    Put16(file, 40);
    Put16(file, std::uint16_t(count));
    Put16(file, NameSectionIndex.value_or(std::uint16_t(count - 1)));
    return file + tables + symbols + names + data;
  }

  static void Put16(std::string& out, std::uint16_t v) {
    out += char(v >> 8);
    out += char(v);
  }
  static void Put32(std::string& out, std::uint32_t v) {
    Put16(out, std::uint16_t(v >> 16));
    Put16(out, std::uint16_t(v));
  }
};

// A sample section body.
inline std::string Body(char first, std::size_t count) {
  std::string s(count, '\0');
  for (std::size_t i = 0; i < count; ++i) s[i] = char(first + i);
  return s;
}

// The cells of a run of bytes.
inline std::vector<std::uint32_t> Cells(const std::string& bytes) {
  std::vector<std::uint32_t> cells;
  for (char c : bytes) cells.push_back(static_cast<unsigned char>(c));
  return cells;
}

}  // namespace images_test
