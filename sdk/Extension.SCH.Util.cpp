#include "Extension.SCH.Util.h"

#include "Extension.Util.h"
#include "Files.h"
#include "ZUL.Util.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace tvk {

namespace {

struct THandleCloser {
  void operator()(HANDLE h) const {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using TFileHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, THandleCloser>;

// The whole file into Bytes; answers the number of read errors (0 or 1: a
// short read, or a file too large to hold, ends the reading). Raises when
// the file cannot be opened.
int ReadWholeFile(const WideString& path, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  TFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) throw Exception(L"Cannot open file \"" + path + L"\"");
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || std::uint64_t(size.QuadPart) > kMaxCellCount) return 1;
  bytes.resize(std::size_t(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    const DWORD want = DWORD(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr) || got == 0) {
      bytes.resize(done);
      return 1;
    }
    done += got;
  }
  return 0;
}

bool HasElfMagic(const std::vector<std::uint8_t>& bytes) {
  return bytes.size() >= 4 && bytes[0] == 0x7F && bytes[1] == 'E' && bytes[2] == 'L' && bytes[3] == 'F';
}

// Big-endian fields of the file image, whatever its data encoding says.
std::uint16_t BigEndian16(const std::uint8_t* p) { return std::uint16_t(p[0] << 8 | p[1]); }
std::uint32_t BigEndian32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// ELF32 file header: its size and the section-table fields this loader reads.
constexpr std::size_t kElfHeaderSize = 52;
constexpr std::size_t kElfSectionHeaderOffset = 32;  // e_shoff
constexpr std::size_t kElfSectionEntrySize = 46;     // e_shentsize
constexpr std::size_t kElfSectionCount = 48;         // e_shnum
constexpr std::size_t kElfNameSectionIndex = 50;     // e_shstrndx

// One region of an Intel HEX file: 64 KB and the longest record past its end.
constexpr std::size_t kHexRegionCells = 65536 + 512;
constexpr std::uint32_t kNoLowOffset = std::numeric_limits<std::int32_t>::max();

}  // namespace

// ---- Intel HEX

bool THexRecord::Import_FromHex(std::wstring_view line) {
  if (line.size() <= 8 || line[0] != L':') return false;
  auto field = [&](std::size_t at, std::size_t width) { return ParseLeadingHex(line.substr(at, width)); };
  BytesInLine = std::uint8_t(field(1, 2));
  StartAddress = std::uint16_t(field(3, 4));
  HexLineKind = THexLineKind(field(7, 2));
  if (line.size() < 11 + 2 * std::size_t(BytesInLine)) return false;
  unsigned sum = BytesInLine + (StartAddress >> 8) + (StartAddress & 0xFF) + HexLineKind;
  for (unsigned k = 0; k < BytesInLine; ++k) {
    DataBytes[k] = std::uint8_t(field(9 + 2 * k, 2));
    sum += DataBytes[k];
  }
  sum += field(9 + 2 * std::size_t(BytesInLine), 2) & 0xFF;
  CheckSum = std::uint8_t(sum);
  return CheckSum == 0;
}

THexLoader::THexLoader(const WideString& fileName, TBytesLoaded callBack, int bytesPerInstruction)
    : HexFileName(fileName), BytesPerInstruction(bytesPerInstruction), CallBack(std::move(callBack)) {}

bool THexLoader::LoadHexFile() {
  ErrorCount = 0;
  InstructionCount = 0;
  if (!FileExists(HexFileName)) {
    ShowErrorMessage(L"File " + HexFileName + L" Not Found");
    return false;
  }
  TextBuffer = LoadTextLines(HexFileName);
  THexRecord record;
  for (std::size_t i = 0; i < TextBuffer.size(); ++i)
    if (!record.Import_FromHex(TextBuffer[i]) && ErrorCount++ == 0)
      ShowErrorMessage(L"Hex File Error : Line " + std::to_wstring(i + 1));
  if (ErrorCount != 0) return false;

  // Every line is valid: walk them again, one address region at a time.
  std::vector<std::uint32_t> region(kHexRegionCells, 0);
  std::uint32_t low = kNoLowOffset, base = 0;
  for (const WideString& line : TextBuffer) {
    record.Import_FromHex(line);
    if (record.HexLineKind == eHexLine_Data) {
      std::copy_n(record.DataBytes.begin(), record.BytesInLine, region.begin() + record.StartAddress);
      InstructionCount = std::max<std::uint32_t>(InstructionCount, record.StartAddress + record.BytesInLine);
      low = std::min<std::uint32_t>(low, record.StartAddress);
    } else if (record.HexLineKind == eHexLine_ExtendedLinearAddress) {
      if (InstructionCount != 0) ReportRegion(region, base, low);
      InstructionCount = 0;
      low = kNoLowOffset;
      // A short record gives zero for a missing byte.
      const std::uint32_t high = record.BytesInLine > 0 ? record.DataBytes[0] : 0;
      const std::uint32_t next = record.BytesInLine > 1 ? record.DataBytes[1] : 0;
      base = high << 24 | next << 16;
    }
    // End, segment and start records are passed over: segments move no data.
  }
  if (InstructionCount != 0) ReportRegion(region, base, low);
  return true;
}

void THexLoader::ReportRegion(std::vector<std::uint32_t>& region, std::uint32_t base, std::uint32_t low) {
  // Only empty data records leave a region without bytes: nothing to report.
  if (CallBack && InstructionCount > low)
    CallBack(std::uint64_t(base) + low, InstructionCount - low, region.data() + low);
  std::fill(region.begin() + std::min<std::size_t>(low, InstructionCount), region.begin() + InstructionCount, 0);
}

// ---- ELF32

TSection::TSection(TElfFile& file, const TELF32_SectionHeader& header, std::vector<std::uint8_t> data)
    : Header(header), DataBuffer(std::move(data)), ElfFile(&file) {}

std::uint8_t TSection::GetByte(std::uint64_t i) const {
  return i < Header.SectionSize && i < DataBuffer.size() ? DataBuffer[std::size_t(i)] : 0;
}

WideString TSection::GetName() const {
  const TSection* table = ElfFile->StrTab();
  WideString name;
  if (!table) return name;
  for (std::uint64_t at = Header.SectionName; at < table->Size(); ++at) {
    const std::uint8_t c = table->GetByte(at);
    if (c == 0) break;
    name += wchar_t(c);
  }
  return name;
}

bool TSection::ShouldDownload() const {
  return Header.SectionSize != 0 && (Header.SectionType & 0x9) != 0 && (Header.SectionFlags & kElfSectionFlag_Alloc);
}

TElfFile::TElfFile(const WideString& fileName, TBytesLoaded callBack)
    : FFileName(fileName), FCallBack(std::move(callBack)) {}

bool TElfFile::Invalid() {
  ShowErrorMessage(ExtractFileName(FFileName) + L" is not an valid ELF file");
  return false;
}

bool TElfFile::IsReported(const TSection& section) const {
  if (!section.ShouldDownload()) return false;
  const WideString name = section.GetName();
  return name.starts_with(L".text") || name.starts_with(L".rodata");
}

bool TElfFile::Load() {
  FSections.clear();
  FStrTab = nullptr;
  if (!FileExists(FFileName)) return false;
  const int readErrors = ReadWholeFile(FFileName, FStream);
  if (!HasElfMagic(FStream)) {
    ShowErrorMessage(ExtractFileName(FFileName) + L" is not an ELF file");
    return false;
  }
  if (readErrors != 0 || FStream.size() < kElfHeaderSize) return Invalid();
  const std::uint64_t tableOffset = BigEndian32(&FStream[kElfSectionHeaderOffset]);
  const std::uint64_t entrySize = BigEndian16(&FStream[kElfSectionEntrySize]);
  const unsigned count = BigEndian16(&FStream[kElfSectionCount]);
  const unsigned nameSection = BigEndian16(&FStream[kElfNameSectionIndex]);
  try {
    for (unsigned i = 0; i < count; ++i) {
      const std::uint64_t at = tableOffset + i * entrySize;
      if (at + sizeof(TELF32_SectionHeader) > FStream.size()) return Invalid();
      std::uint32_t fields[10];
      for (unsigned k = 0; k < 10; ++k) fields[k] = BigEndian32(&FStream[std::size_t(at) + 4 * k]);
      TELF32_SectionHeader header;
      static_assert(sizeof fields == sizeof header);
      std::memcpy(&header, fields, sizeof header);
      // A section cut by the end of the file keeps what the file holds; the
      // rest reads as zero.
      std::vector<std::uint8_t> data;
      if (header.SectionType != kElfSectionType_NoBits && header.FileOffset < FStream.size()) {
        const std::uint64_t end = std::min<std::uint64_t>(std::uint64_t(header.FileOffset) + header.SectionSize,
                                                          FStream.size());
        data.assign(FStream.begin() + header.FileOffset, FStream.begin() + std::ptrdiff_t(end));
      }
      FSections.push_back(std::make_unique<TSection>(*this, header, std::move(data)));
    }
    // Linkers put .strtab before .shstrtab: the table the header names, when
    // it is one, gives the section names; else the first string table.
    if (nameSection < FSections.size() && FSections[nameSection]->Header.SectionType == kElfSectionType_StringTable)
      FStrTab = FSections[nameSection].get();
    else
      for (const auto& section : FSections)
        if (section->Header.SectionType == kElfSectionType_StringTable) {
          FStrTab = section.get();
          break;
        }
    std::stable_sort(FSections.begin(), FSections.end(),
                     [](const auto& a, const auto& b) { return a->VirtualAddress() < b->VirtualAddress(); });
    // A section to report must fit the target's address space and a buffer.
    for (const auto& section : FSections)
      if (IsReported(*section) && (std::uint64_t(section->VirtualAddress()) + section->Size() > (1ull << 32) ||
                                   section->Size() > kMaxCellCount))
        return Invalid();
  } catch (...) {
    Invalid();
    throw;
  }
  return true;
}

void TElfFile::NotifySections() {
  if (!FCallBack) return;
  std::vector<std::uint32_t> cells;
  for (const auto& section : FSections) {
    if (!IsReported(*section)) continue;
    cells.assign(section->ByteCount(), 0);
    for (std::size_t i = 0; i < cells.size(); ++i) cells[i] = section->GetByte(i);
    FCallBack(section->VirtualAddress(), section->ByteCount(), cells.data());
  }
}

void TElfFile::ConvertToInstructionBuffer(std::span<std::uint32_t> buffer, std::uint32_t& count) const {
  for (const auto& section : FSections) {
    if (!section->ShouldDownload() || !SameTextIgnoringCase(section->GetName(), L".text")) continue;
    const std::uint64_t start = section->VirtualAddress();
    const std::uint64_t end = start + section->ByteCount();
    for (std::uint64_t a = start; a < std::min<std::uint64_t>(end, buffer.size()); ++a)
      buffer[std::size_t(a)] = section->GetByte(a - start);
    if (end > count) count = std::uint32_t(std::min<std::uint64_t>(end, 0xFFFFFFFF));
  }
}

// ---- Raw binary and the choice of format

namespace {

bool ReportBinary(const WideString& path, const std::vector<std::uint8_t>& bytes, int errors,
                  const TBytesLoaded& callBack) {
  if (errors != 0) {
    ShowErrorMessage(L"Errors Found When Loading Bin File: " + ExtractFileName(path) + L"\r\r" +
                     L"    Number of Errors: " + std::to_wstring(errors));
    return false;
  }
  const std::vector<std::uint32_t> cells(bytes.begin(), bytes.end());
  if (callBack) callBack(0, cells.size(), cells.data());
  return true;
}

}  // namespace

bool LoadBinaryFile(const WideString& AFileFullPath, const TBytesLoaded& ACallBack) {
  if (!FileExists(AFileFullPath)) return false;
  std::vector<std::uint8_t> bytes;
  const int errors = ReadWholeFile(AFileFullPath, bytes);
  return ReportBinary(AFileFullPath, bytes, errors, ACallBack);
}

bool LoadProgramFile(const WideString& AFileFullPath, const TBytesLoaded& ACallBack) {
  if (SameTextIgnoringCase(ExtractFileExt(AFileFullPath), L".Hex")) {
    THexLoader loader(AFileFullPath, ACallBack, 1);
    if (loader.LoadHexFile()) return true;
    ShowErrorMessage(L"Errors Found When Loading Hex File: " + ExtractFileName(AFileFullPath) + L"\r\r" +
                     L"     Lines With Errors: " + std::to_wstring(loader.ErrorCount));
    return false;
  }
  std::vector<std::uint8_t> bytes;
  const int errors = ReadWholeFile(AFileFullPath, bytes);  // raises when it cannot be opened
  if (HasElfMagic(bytes)) {
    TElfFile elf(AFileFullPath, ACallBack);
    if (!elf.Load()) {
      ShowErrorMessage(L"Errors Found When Loading Elf File: " + ExtractFileName(AFileFullPath) + L"\r\r");
      return false;
    }
    elf.NotifySections();
    return true;
  }
  return ReportBinary(AFileFullPath, bytes, errors, ACallBack);
}

}  // namespace tvk
