#pragma once
// The disassembler modules (one library per processor family, in the
// module's own folder) as the disassembler bridge calls them: their entry
// points and the read function the bridge hands them. This header describes
// outside libraries, so it depends on nothing of the module; the simulated
// host's stand-in modules are built against the same declarations.
//
// Every entry point and the read function use the system's standard calling
// convention (on x86_64 there is only one).
#include <cstdint>

#define TVK_DISASSEMBLER_CALL __stdcall

namespace tvk::disasm {

// The code unit at an address given as two 32-bit halves (low first); the
// third value is not used; Context is the value DisassembleInstruction was
// given (pointer-sized).
using TReadCodeFn = uint32_t(TVK_DISASSEMBLER_CALL*)(uint32_t AddressLow, uint32_t AddressHigh, uint32_t Unused,
                                                     void* Context);

// "InitDisassembler": once, right after the module is loaded.
using TInitDisassemblerFn = void(TVK_DISASSEMBLER_CALL*)();
// "DisassembleInstruction": one instruction at *Address, whose code the
// module reads through Read; answers a zero-terminated 8-bit text and may
// move *Address (past the instruction, say).
using TDisassembleInstructionFn = const char*(TVK_DISASSEMBLER_CALL*)(uint32_t Options, uint32_t* Address,
                                                                      TReadCodeFn Read, void* Context);
// "SetReducedInstructionSet" (ARM): non-zero selects the 16-bit instruction set.
using TSetReducedInstructionSetFn = void(TVK_DISASSEMBLER_CALL*)(int32_t Flag);
// "SetThumb2InstructionSet" (ARM, for ARMv7-M): the 32-bit Thumb-2 instructions too.
using TSetThumb2InstructionSetFn = void(TVK_DISASSEMBLER_CALL*)();

inline constexpr char kInitDisassembler[] = "InitDisassembler";
inline constexpr char kDisassembleInstruction[] = "DisassembleInstruction";
inline constexpr char kSetReducedInstructionSet[] = "SetReducedInstructionSet";
inline constexpr char kSetThumb2InstructionSet[] = "SetThumb2InstructionSet";

}  // namespace tvk::disasm
