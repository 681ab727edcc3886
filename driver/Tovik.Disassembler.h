#pragma once
// The disassembler bridge. The driver does not decode instructions itself:
// each processor family has an outside disassembler module, which the bridge
// loads for a target name, hands a read function over memory the caller
// captured, and asks for one instruction's text. TOneLineDisassembler wraps
// that into one call with a one-entry cache.
#include "Tovik.Classes.h"
#include "Tovik.DisassemblerApi.h"
#include "Tovik.ForeignModule.h"
#include "Tovik.Interfaces.h"

#include <cstdint>
#include <exception>
#include <span>
#include <string_view>

namespace tvk {

// A read outside the captured memory.
inline constexpr HRESULT kE_BOUNDS = HRESULT(0x8000000BL);

// Memory the caller captured: cells of one byte each (low 8 bits), cell 0 at
// the base address. The cells are not copied: they must outlive the reader.
class TMemoryReader final : public TReferencedObject, public IMemoryReader {
public:
  TMemoryReader(int64_t ABaseAddress, std::span<const uint32_t> AMemory);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return TReferencedObject::QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return TReferencedObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TReferencedObject::Release(); }

  // The outside module chooses the addresses: a read that leaves the
  // captured cells (or asks for none) answers kE_BOUNDS and copies nothing.
  HRESULT STDMETHODCALLTYPE ReadMemory(uint32_t* Dest, int64_t Address, int32_t Count) override;

protected:
  void* InterfaceFor(REFIID iid) override;

private:
  std::span<const uint32_t> FMemory;
  int64_t FBaseAddress;
};

// How the families without an instruction set of their own make a code
// unit of the cells (each cell's low 8 bits are a byte, unless said).
enum class TCodeUnitRule {
  Byte24BitAddress,   // one cell, read at the address masked to 24 bits: its low 8 bits
  Low16Bits,          // one cell: its low 16 bits
  Byte,               // one cell: its low 8 bits
  BigEndianWord,      // four cells, cell 0 in bits 31-24
  SelectedOrderWord,  // four cells, big-endian, or little-endian (cell 3 in bits 31-24) when so selected
};

// One processor family's disassembler module. Made by CreateInstance only.
class TRawDisassembler : public TReferencedObject, public IRawDisassembler {
public:
  // Must not be used: raises "Use CreateInstance insted!".
  TRawDisassembler();
  ~TRawDisassembler() override;

  // The family object for ATargetName (exact names in table order, then the
  // ARMv7-M prefixes without regard to case); none for a name it does not know.
  static ComRef<IRawDisassembler> CreateInstance(const WideString& ATargetName, IMemoryReader* AMemoryReader,
                                                 const WideString& ABasePath);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return TReferencedObject::QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return TReferencedObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TReferencedObject::Release(); }

  // ---- IRawDisassembler
  // A module that does not load leaves the entry points unbound, unreported.
  HRESULT STDMETHODCALLTYPE LoadModule() override;
  // Without the module's entry point the text is empty and Address stays.
  // A failed read ends the disassembly with a failure code.
  HRESULT STDMETHODCALLTYPE Disassemble(uint32_t Options, int64_t* Address, BSTR* Text) override;
  HRESULT STDMETHODCALLTYPE SetReducedInstructionSet(int32_t Flag) override;
  HRESULT STDMETHODCALLTYPE SetLittleEndian(int32_t Flag) override;
  HRESULT STDMETHODCALLTYPE UnloadModule() override;

  bool LittleEndian() const { return FLittleEndian; }
  bool ModuleLoaded() const { return bool(FDllHandle); }
  // The folder the module is loaded from and the module file's full name.
  WideString ModuleFolder() const;
  WideString ModulePath() const { return ModuleFolder() + WideString(ModuleFileName()); }

protected:
  TRawDisassembler(IMemoryReader* AMemoryReader, const WideString& ABasePath);
  void* InterfaceFor(REFIID iid) override;

  // ---- The families' operations, in slot order
  virtual void DoLoadModule();
  // The code unit the module is given for Address; raises when a read fails.
  virtual uint32_t ReadCode(int64_t Address);
  virtual std::wstring_view ModuleFileName() const;
  virtual void DoSetReducedInstructionSet(int32_t Flag);
  virtual void DoSetLittleEndian(int32_t Flag);

  // Count cells (1, 2 or 4) at Address; raises when the reader fails.
  void ReadCells(int64_t Address, int32_t Count, uint32_t* cells);
  uint32_t ReadCodeUnit(TCodeUnitRule rule, int64_t Address);
  uint32_t ReadHalfWord(int64_t Address);  // two cells in the selected byte order
  uint32_t ReadWord(int64_t Address, bool littleEndian);
  void* ModuleExport(const char* name) const { return FDllHandle.Export(name); }

  bool FLittleEndian = false;

private:
  static uint32_t TVK_DISASSEMBLER_CALL ReadCodeFunction(uint32_t AddressLow, uint32_t AddressHigh, uint32_t Unused,
                                                         void* Context);

  WideString FBasePath;  // empty: the folder of the system's own module
  TForeignLibrary FDllHandle;
  disasm::TDisassembleInstructionFn FFuncDisassembleInstruction = nullptr;
  disasm::TInitDisassemblerFn FFuncInitDisassembler = nullptr;
  ComRef<IMemoryReader> FMemoryReader;
  std::exception_ptr FReadError;  // the failed read that ends the running disassembly
};

// A family whose code unit follows Rule and whose module is the file File.
template <TCodeUnitRule Rule, const wchar_t* File>
class TRawDisassemblerFamily final : public TRawDisassembler {
public:
  TRawDisassemblerFamily(IMemoryReader* AMemoryReader, const WideString& ABasePath)
      : TRawDisassembler(AMemoryReader, ABasePath) {}

protected:
  uint32_t ReadCode(int64_t Address) override { return ReadCodeUnit(Rule, Address); }
  std::wstring_view ModuleFileName() const override { return File; }
};

inline constexpr wchar_t kDisassembler51File[] = L"Disasm51.dll";
inline constexpr wchar_t kDisassembler165xFile[] = L"Disasm165x.dll";
inline constexpr wchar_t kDisassemblerZ80File[] = L"DisasmZ80.dll";
inline constexpr wchar_t kDisassemblerTvkFile[] = L"DisasmTvk.dll";
inline constexpr wchar_t kDisassemblerPPCFile[] = L"DisasmPPC.dll";
inline constexpr wchar_t kDisassemblerMBFile[] = L"DisasmMB.dll";
inline constexpr wchar_t kDisassemblerNIOS2File[] = L"DisasmNIOS2.dll";
inline constexpr wchar_t kDisassemblerARMFile[] = L"DisasmARM.dll";

using TRawDisassembler51 = TRawDisassemblerFamily<TCodeUnitRule::Byte24BitAddress, kDisassembler51File>;
using TRawDisassembler165x = TRawDisassemblerFamily<TCodeUnitRule::Low16Bits, kDisassembler165xFile>;
using TRawDisassemblerZ80 = TRawDisassemblerFamily<TCodeUnitRule::Byte, kDisassemblerZ80File>;
using TRawDisassemblerTvk = TRawDisassemblerFamily<TCodeUnitRule::BigEndianWord, kDisassemblerTvkFile>;
using TRawDisassemblerPPC = TRawDisassemblerFamily<TCodeUnitRule::BigEndianWord, kDisassemblerPPCFile>;
using TRawDisassemblerMB = TRawDisassemblerFamily<TCodeUnitRule::BigEndianWord, kDisassemblerMBFile>;
using TRawDisassemblerNIOS2 = TRawDisassemblerFamily<TCodeUnitRule::SelectedOrderWord, kDisassemblerNIOS2File>;

// ARM and Thumb: a halfword with the reduced instruction set, else a word,
// in the selected byte order. Both ARM classes share one module.
class TRawDisassemblerARM : public TRawDisassembler {
public:
  TRawDisassemblerARM(IMemoryReader* AMemoryReader, const WideString& ABasePath)
      : TRawDisassembler(AMemoryReader, ABasePath) {}
  bool ReducedInstructionSet() const { return FReducedInstructionSet; }

protected:
  void DoLoadModule() override;
  uint32_t ReadCode(int64_t Address) override;
  std::wstring_view ModuleFileName() const override { return kDisassemblerARMFile; }
  void DoSetReducedInstructionSet(int32_t Flag) override;

  disasm::TSetReducedInstructionSetFn FFuncSetReducedInstructionSet = nullptr;
  bool FReducedInstructionSet = false;
};

// Thumb-2: a halfword, or two when the first opens a 32-bit instruction
// (above 0xEFFF, or with all bits of 0xE800 set): the first in bits 31-16.
class TRawDisassemblerARMv7M final : public TRawDisassemblerARM {
public:
  TRawDisassemblerARMv7M(IMemoryReader* AMemoryReader, const WideString& ABasePath)
      : TRawDisassemblerARM(AMemoryReader, ABasePath) {}

protected:
  void DoLoadModule() override;
  uint32_t ReadCode(int64_t Address) override;

private:
  disasm::TSetThumb2InstructionSetFn FFuncSetThumb2InstructionSet = nullptr;
};

// The text of a module as the driver shows it: from the first blank on (or,
// without one, from the first tab on), trimmed at both ends; a text with
// neither stays whole, trimmed.
WideString TidyDisassemblyText(std::wstring_view text);

class TOneLineDisassembler {
public:
  // The instruction at AnAddress, whose code the caller captured in ABuffer
  // (cell 0 at AnAddress), as one line; empty for a target name no family
  // knows. The last target name, address and text are kept: the same name and
  // address answer the kept text, whatever the buffer and flags. A failed read
  // raises; the cache then holds the new key with the previous text.
  static WideString GetDisassembly(const WideString& ATargetName, int64_t AnAddress, std::span<const uint32_t> ABuffer,
                                   bool AReducedInstructionSet, bool ALittleEndian);
};

// Module shut-down: the one-line disassembler's cache is released.
void DisassemblerUnitShutdown();

}  // namespace tvk
