#pragma once
// The disassembler bridge's two plain interfaces: the captured memory a
// disassembler reads code from, and one processor family's disassembler.
#include <windows.h>
#include <oleauto.h>

#include <cstdint>

namespace tvk {

// {FEE89CEA-62C3-4EDF-B764-DA6BBF32EADB}
inline constexpr GUID IID_IMemoryReader = {0xFEE89CEA, 0x62C3, 0x4EDF,
                                           {0xB7, 0x64, 0xDA, 0x6B, 0xBF, 0x32, 0xEA, 0xDB}};

struct IMemoryReader : public IUnknown {
  // Count cells (one byte of target memory in the low 8 bits of each) from
  // Address into Dest.
  virtual HRESULT STDMETHODCALLTYPE ReadMemory(uint32_t* Dest, int64_t Address, int32_t Count) = 0;
};

// {8FFFB628-B7E3-4542-800C-32326E90C47B}
inline constexpr GUID IID_IRawDisassembler = {0x8FFFB628, 0xB7E3, 0x4542,
                                              {0x80, 0x0C, 0x32, 0x32, 0x6E, 0x90, 0xC4, 0x7B}};

struct IRawDisassembler : public IUnknown {
  // Loads the family's module and binds its entry points.
  virtual HRESULT STDMETHODCALLTYPE LoadModule() = 0;
  // One instruction at *Address as text; the module may move *Address.
  virtual HRESULT STDMETHODCALLTYPE Disassemble(uint32_t Options, int64_t* Address, BSTR* Text) = 0;
  // Non-zero: the reduced (16-bit) instruction set, where the family has one.
  virtual HRESULT STDMETHODCALLTYPE SetReducedInstructionSet(int32_t Flag) = 0;
  // Non-zero: code units are assembled from little-endian cells.
  virtual HRESULT STDMETHODCALLTYPE SetLittleEndian(int32_t Flag) = 0;
  virtual HRESULT STDMETHODCALLTYPE UnloadModule() = 0;
};

}  // namespace tvk
