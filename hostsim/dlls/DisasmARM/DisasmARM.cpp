// Stand-in for the ARM family's disassembler module: enough of ARM, Thumb and
// Thumb-2 to show the instructions of the simulated chip's test programs; any
// other code unit is shown as data. A line is the address in hexadecimal, a
// blank, then the instruction.
#include "driver/Tovik.DisassemblerApi.h"

#include <cstdint>
#include <cstdio>

using tvk::disasm::TReadCodeFn;

namespace {

bool gThumb = false;   // SetReducedInstructionSet
bool gThumb2 = false;  // SetThumb2InstructionSet
char gLine[128];

constexpr const char* kConditions[] = {"EQ", "NE", "CS", "CC", "MI", "PL", "VS", "VC",
                                       "HI", "LS", "GE", "LT", "GT", "LE", "",   "NV"};

int32_t SignExtend(uint32_t value, unsigned bits) {
  const uint32_t sign = 1u << (bits - 1);
  return int32_t((value ^ sign) - sign);
}

// One 16-bit Thumb instruction.
void Thumb16(uint32_t address, uint32_t hw, char* text, std::size_t size) {
  const unsigned rd = (hw >> 8) & 7, imm8 = hw & 0xFF;
  if (hw == 0xBF00) std::snprintf(text, size, "NOP");
  else if ((hw & 0xFF00) == 0xBE00) std::snprintf(text, size, "BKPT    #0x%02X", imm8);
  else if ((hw & 0xF800) == 0x2000) std::snprintf(text, size, "MOVS    R%u,#0x%02X", rd, imm8);
  else if ((hw & 0xF800) == 0x2800) std::snprintf(text, size, "CMP     R%u,#0x%02X", rd, imm8);
  else if ((hw & 0xF800) == 0x3000) std::snprintf(text, size, "ADDS    R%u,#0x%02X", rd, imm8);
  else if ((hw & 0xF800) == 0x3800) std::snprintf(text, size, "SUBS    R%u,#0x%02X", rd, imm8);
  else if ((hw & 0xF800) == 0x4800) std::snprintf(text, size, "LDR     R%u,[PC,#0x%X]", rd, imm8 * 4);
  else if ((hw & 0xF000) == 0x6000)
    std::snprintf(text, size, "%s     R%u,[R%u,#0x%X]", (hw & 0x0800) ? "LDR" : "STR", hw & 7, (hw >> 3) & 7,
                  ((hw >> 6) & 0x1F) * 4);
  else if ((hw & 0xF000) == 0xD000 && ((hw >> 8) & 0xF) < 0xE)
    std::snprintf(text, size, "B%s     0x%08X", kConditions[(hw >> 8) & 0xF],
                  uint32_t(address + 4 + uint32_t(SignExtend(imm8, 8) * 2)));
  else if ((hw & 0xF800) == 0xE000)
    std::snprintf(text, size, "B       0x%08X", uint32_t(address + 4 + uint32_t(SignExtend(hw & 0x7FF, 11) * 2)));
  else std::snprintf(text, size, "DCW     0x%04X", hw);
}

// One 32-bit Thumb-2 instruction: the first halfword in bits 31-16.
void Thumb32(uint32_t address, uint32_t word, char* text, std::size_t size) {
  const uint32_t first = word >> 16, second = word & 0xFFFF;
  if ((first & 0xF800) == 0xF000 && (second & 0xD000) == 0xD000) {
    const uint32_t s = (first >> 10) & 1, j1 = (second >> 13) & 1, j2 = (second >> 11) & 1;
    const uint32_t i1 = !(j1 ^ s), i2 = !(j2 ^ s);
    const uint32_t offset = (s << 24) | (i1 << 23) | (i2 << 22) | ((first & 0x3FF) << 12) | ((second & 0x7FF) << 1);
    std::snprintf(text, size, "BL      0x%08X", uint32_t(address + 4 + uint32_t(SignExtend(offset, 25))));
  } else {
    std::snprintf(text, size, "DCD     0x%08X", word);
  }
}

// One ARM instruction.
void Arm(uint32_t address, uint32_t word, char* text, std::size_t size) {
  if ((word & 0x0E000000) == 0x0A000000)
    std::snprintf(text, size, "%s%s    0x%08X", (word & 0x01000000) ? "BL" : "B", kConditions[word >> 28],
                  uint32_t(address + 8 + uint32_t(SignExtend(word & 0xFFFFFF, 24) * 4)));
  else std::snprintf(text, size, "DCD     0x%08X", word);
}

}  // namespace

extern "C" {

__declspec(dllexport) void TVK_DISASSEMBLER_CALL InitDisassembler() {
  gThumb = false;
  gThumb2 = false;
}

__declspec(dllexport) void TVK_DISASSEMBLER_CALL SetReducedInstructionSet(int32_t flag) { gThumb = flag != 0; }

__declspec(dllexport) void TVK_DISASSEMBLER_CALL SetThumb2InstructionSet() { gThumb2 = true; }

__declspec(dllexport) const char* TVK_DISASSEMBLER_CALL DisassembleInstruction(uint32_t options, uint32_t* address,
                                                                                TReadCodeFn read, void* context) {
  (void)options;
  const uint32_t at = *address;
  const uint32_t unit = read(at, 0, 0, context);
  char text[96];
  if (!gThumb && !gThumb2) {  // an ARMv7-M core has Thumb only
    Arm(at, unit, text, sizeof text);
    *address = at + 4;
  } else if (gThumb2 && unit > 0xFFFF) {
    Thumb32(at, unit, text, sizeof text);
    *address = at + 4;
  } else {
    Thumb16(at, unit, text, sizeof text);
    *address = at + 2;
  }
  std::snprintf(gLine, sizeof gLine, "%08X %s", at, text);
  return gLine;
}

}  // extern "C"
