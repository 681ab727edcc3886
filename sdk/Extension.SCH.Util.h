#pragma once
// The program image loader: reads an Intel HEX, ELF32 or raw binary program
// file and reports its contents as chunks (address, size, cells) to a sink.
//
// Cells: every buffer handed to a sink holds one byte of the image in the low
// 8 bits of each 32-bit element, as everywhere on the flash path.
//
// Failures are shown in error dialogs (through the dialog seam) and answered
// as false; the sink then receives nothing from the failing step.
#include "Exception.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace tvk {

// The most cells one image buffer may hold: 2 GB of cells, more than the
// shipped 32-bit module can address, so that both builds refuse the same
// sizes instead of the twin trying to allocate them.
inline constexpr std::uint64_t kMaxCellCount = 0x20000000;

// The chunk sink: Size cells at Buffer for the target bytes from Address on.
using TBytesLoaded = std::function<void(std::uint64_t Address, std::uint64_t Size, const std::uint32_t* Buffer)>;
// A program-file loader: true when the file was loaded and its chunks reported.
using TMainRequestFunction = bool (*)(const WideString& AFileFullPath, const TBytesLoaded& ACallBack);

// Intel HEX when the extension is ".Hex" (any case), ELF32 when the file
// starts with 0x7F "ELF", raw binary at address 0 otherwise. A file that is
// not ".Hex" and cannot be opened raises to the caller.
bool LoadProgramFile(const WideString& AFileFullPath, const TBytesLoaded& ACallBack);

// Raw binary: one chunk of every byte at address 0. A missing file answers
// false without a message.
bool LoadBinaryFile(const WideString& AFileFullPath, const TBytesLoaded& ACallBack);

// ---- Intel HEX

// The record type byte of a line, stored unchanged (5 and up are not named).
enum THexLineKind : std::uint8_t {
  eHexLine_Data = 0,
  eHexLine_End = 1,
  eHexLine_ExtendedSegmentAddress = 2,
  eHexLine_StartSegmentAddress = 3,
  eHexLine_ExtendedLinearAddress = 4,
  eHexLine_Undefined = 5,
};

// One line of an Intel HEX file.
struct THexRecord {
  std::uint8_t BytesInLine = 0;
  std::uint16_t StartAddress = 0;  // the 16-bit load offset
  THexLineKind HexLineKind = eHexLine_Undefined;
  std::array<std::uint8_t, 255> DataBytes{};
  // After parsing: the low byte of the sum of every byte of the line,
  // checksum included; 0 for a valid line.
  std::uint8_t CheckSum = 0;

  // True when Line is a valid record. Each field is read from its fixed
  // columns up to its first non-hex character; a line too short to hold its
  // byte count's data and checksum is invalid; text after the checksum is
  // ignored.
  bool Import_FromHex(std::wstring_view line);
};

class THexLoader {
public:
  // CreateWithCallBack; the program image loader passes 1 byte per instruction.
  THexLoader(const WideString& fileName, TBytesLoaded callBack, int bytesPerInstruction);

  // Reads the file and reports one chunk per extended linear address region:
  // true when every line parsed. A missing file shows "File <path> Not
  // Found"; the first invalid line shows "Hex File Error : Line <n>". With
  // any invalid line nothing is reported.
  bool LoadHexFile();

  std::vector<WideString> TextBuffer;  // the file's lines
  WideString HexFileName;
  std::uint32_t* Instructions = nullptr;  // a caller's instruction buffer; no load uses it
  int BytesPerInstruction = 1;
  std::uint32_t InstructionCount = 0;  // end of the data collected in the current region
  int ErrorCount = 0;                  // lines that failed to parse
  TBytesLoaded CallBack;

private:
  void ReportRegion(std::vector<std::uint32_t>& region, std::uint32_t base, std::uint32_t low);
};

// ---- ELF32

// The ELF32 section header, sh_name ... sh_entsize, in file order.
struct TELF32_SectionHeader {
  std::uint32_t SectionName;
  std::uint32_t SectionType;
  std::uint32_t SectionFlags;
  std::uint32_t VirtualAddress;
  std::uint32_t FileOffset;
  std::uint32_t SectionSize;
  std::uint32_t sh_link;
  std::uint32_t sh_info;
  std::uint32_t MemoryAlignment;
  std::uint32_t EntrySizeIfTable;
};
static_assert(sizeof(TELF32_SectionHeader) == 40);

inline constexpr std::uint32_t kElfSectionType_StringTable = 3;
inline constexpr std::uint32_t kElfSectionType_NoBits = 8;
inline constexpr std::uint32_t kElfSectionFlag_Alloc = 2;

class TElfFile;

class TSection {
public:
  TSection(TElfFile& file, const TELF32_SectionHeader& header, std::vector<std::uint8_t> data);

  TELF32_SectionHeader Header;
  // The section's bytes as far as the file holds them; the rest of its size
  // reads as zero. A no-bits section keeps none.
  std::vector<std::uint8_t> DataBuffer;
  TElfFile* ElfFile;

  std::uint32_t VirtualAddress() const { return Header.VirtualAddress; }
  std::uint32_t Size() const { return Header.SectionSize; }
  std::uint32_t FileOffset() const { return Header.FileOffset; }
  std::uint32_t ByteCount() const { return Header.SectionSize; }
  // Byte I of the section; 0 past its end.
  std::uint8_t GetByte(std::uint64_t i) const;
  // The zero-terminated name at SectionName in the file's string table; empty
  // without a table or for an offset outside it; it stops at the table's end.
  WideString GetName() const;
  // Non-empty, of a type with bit 0 or 3 set, and allocated.
  bool ShouldDownload() const;
};

class TElfFile {
public:
  TElfFile(const WideString& fileName, TBytesLoaded callBack);

  // Reads the file's section table: true when it was read. Header fields are
  // taken big-endian whatever the file's data encoding says. A file that is
  // no ELF file shows "<name> is not an ELF file"; a section header outside
  // the file, or a section to report that cannot be addressed or allocated,
  // shows "<name> is not an valid ELF file". An exception while the sections
  // are read shows the same message and reaches the caller.
  bool Load();
  // Reports each downloadable section whose name starts with ".text" or
  // ".rodata", in address order; nothing without a sink.
  void NotifySections();
  // Writes each downloadable ".text" section (any case) to Buffer from its
  // address on, as far as Buffer reaches, and raises Count to its end.
  void ConvertToInstructionBuffer(std::span<std::uint32_t> buffer, std::uint32_t& count) const;

  const std::vector<std::unique_ptr<TSection>>& Sections() const { return FSections; }
  const TSection* StrTab() const { return FStrTab; }

private:
  bool IsReported(const TSection& section) const;
  bool Invalid();

  WideString FFileName;
  std::vector<std::uint8_t> FStream;  // the whole file
  std::vector<std::unique_ptr<TSection>> FSections;
  const TSection* FStrTab = nullptr;  // the section names come from here; not owned
  TBytesLoaded FCallBack;
};

}  // namespace tvk
