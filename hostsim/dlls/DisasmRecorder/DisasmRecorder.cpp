// A disassembler module that notes every call the bridge makes and every
// code unit the bridge's read function gives it, so that a test sees what a
// family's module is handed. Its controls (Recorder_*) set how many units it
// reads, what text it answers and how far it moves the address.
//
// The notes are lines: "InitDisassembler()", "SetThumb2InstructionSet()",
// "SetReducedInstructionSet(-1)", "DisassembleInstruction(options, address)"
// and "read(address) = unit", numbers in hexadecimal.
#include "driver/Tovik.DisassemblerApi.h"

#include <cstdint>
#include <cstdio>
#include <string>

using tvk::disasm::TReadCodeFn;

namespace {

std::string gNotes, gNotesTaken;
int gReads = 1;         // units read per instruction
uint32_t gStride = 0;   // address step between them
uint32_t gAdvance = 0;  // how far the address moves
bool gFixedReply = false, gNullReply = false;
std::string gReply, gAnswer;

void Note(const char* format, uint32_t a = 0, uint32_t b = 0) {
  char line[96];
  std::snprintf(line, sizeof line, format, a, b);
  gNotes += line;
  gNotes += '\n';
}

}  // namespace

extern "C" {

__declspec(dllexport) void TVK_DISASSEMBLER_CALL InitDisassembler() { Note("InitDisassembler()"); }

__declspec(dllexport) void TVK_DISASSEMBLER_CALL SetReducedInstructionSet(int32_t flag) {
  Note("SetReducedInstructionSet(%d)", uint32_t(flag));
}

__declspec(dllexport) void TVK_DISASSEMBLER_CALL SetThumb2InstructionSet() { Note("SetThumb2InstructionSet()"); }

__declspec(dllexport) const char* TVK_DISASSEMBLER_CALL DisassembleInstruction(uint32_t options, uint32_t* address,
                                                                                TReadCodeFn read, void* context) {
  Note("DisassembleInstruction(0x%X, 0x%X)", options, *address);
  uint32_t first = 0;
  for (int k = 0; k < gReads; ++k) {
    const uint32_t at = *address + uint32_t(k) * gStride;
    const uint32_t unit = read(at, 0, 0, context);
    Note("read(0x%X) = 0x%X", at, unit);
    if (k == 0) first = unit;
  }
  if (gNullReply) return nullptr;
  if (gFixedReply) {
    gAnswer = gReply;
  } else {
    char text[64];
    std::snprintf(text, sizeof text, "%08X unit 0x%X", *address, first);
    gAnswer = text;
  }
  *address += gAdvance;
  return gAnswer.c_str();
}

// ---- Controls

__declspec(dllexport) void Recorder_SetReads(int32_t count, uint32_t stride) {
  gReads = count;
  gStride = stride;
}

// The text answered from now on; null: a null pointer.
__declspec(dllexport) void Recorder_SetReply(const char* text) {
  gFixedReply = text != nullptr;
  gNullReply = text == nullptr;
  gReply = text ? text : "";
}

__declspec(dllexport) void Recorder_SetAdvance(uint32_t bytes) { gAdvance = bytes; }

// The notes since the last take; valid until the next take.
__declspec(dllexport) const char* Recorder_TakeNotes() {
  gNotesTaken = std::move(gNotes);
  gNotes.clear();
  return gNotesTaken.c_str();
}

}  // extern "C"
