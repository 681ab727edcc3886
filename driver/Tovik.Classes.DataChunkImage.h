#pragma once
// A program image on the flash path: a target address and a run of cells (one
// byte in the low 8 bits of each 32-bit element); the served object that
// carries one across the dispatch boundary; and the helper that collects a
// program file into one run of cells.
#include "Extension.SCH.Util.h"
#include "ZUL.Types.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tvk {

// A dynamic array of 32-bit words whose copies share their elements, as an
// image record and the served image made from it do.
class TDynamicLongWordArray {
public:
  TDynamicLongWordArray() : FCells(std::make_shared<std::vector<std::uint32_t>>()) {}
  explicit TDynamicLongWordArray(std::vector<std::uint32_t> cells)
      : FCells(std::make_shared<std::vector<std::uint32_t>>(std::move(cells))) {}

  std::size_t Length() const { return FCells->size(); }
  // New elements are 0. More than kMaxCellCount raises and changes nothing.
  void SetLength(std::uint64_t length);
  std::uint32_t* Data() { return FCells->data(); }
  const std::uint32_t* Data() const { return FCells->data(); }
  std::uint32_t& operator[](std::size_t i) { return (*FCells)[i]; }
  std::uint32_t operator[](std::size_t i) const { return (*FCells)[i]; }
  std::vector<std::uint32_t>& Cells() { return *FCells; }
  const std::vector<std::uint32_t>& Cells() const { return *FCells; }
  bool SharesWith(const TDynamicLongWordArray& other) const { return FCells == other.FCells; }

private:
  std::shared_ptr<std::vector<std::uint32_t>> FCells;
};

struct TDataChunkImage {
  std::uint32_t TargetAddr = 0;     // target address of the first byte
  TDynamicLongWordArray DataArray;  // one byte per cell
  std::uint32_t DataLen = 0;        // bytes = cells in use
};

// "DataChunkImageInterface": an image served to the host and the writers.
class TDataChunkImageInterface : public TAbstractSupportService {
public:
  TDataChunkImageInterface() = default;
  // The element array is shared with Image, not copied.
  explicit TDataChunkImageInterface(const TDataChunkImage& Image);
  TDataChunkImageInterface(std::uint32_t TargetAddr, std::uint32_t DataLen, const TDynamicLongWordArray& DataArray);

  TVK_SERVED_LEVEL();

  // ---- Served operations (508709-508714)
  HRESULT GetTargetAddress(std::uint32_t& Result);
  HRESULT SetTargetAddress(std::uint32_t Value);
  HRESULT GetDataLength(std::uint32_t& Result);
  // Resizes the element array to N (new elements 0) and sets the length;
  // a length too large to hold fails and leaves the image as it was.
  HRESULT SetDataLength(std::uint32_t N);
  // The element at Index; 0 past the last element.
  HRESULT GetDataWord(std::uint32_t Index, std::uint32_t& Result);
  // Grows the image to Length when Length is past its last element (as
  // SetDataLength); a shorter Length and the second value change nothing.
  HRESULT ExtendDataLength(std::uint32_t Length, std::uint32_t Unused);

  const TDynamicLongWordArray& DataArray() const { return FInternalDataArray; }

private:
  std::uint32_t FInternalTargetAddr = 0;
  TDynamicLongWordArray FInternalDataArray;
  std::uint32_t FinternalDataLen = 0;
};

// Collects a program file into one run of cells: the chunks one after the
// other in the order the loader reports them. A chunk whose address lies
// within its own length past the collected end starts at its address, the
// gap filled with zeros; any other address does not move it.
class TLoadFileCallBackHelper {
public:
  explicit TLoadFileCallBackHelper(TMainRequestFunction Loader) : FMainFunction(Loader) {}

  // Empties the buffer and runs the loader on Path with Callback as its sink:
  // the loader's result.
  bool ProcessFile(const WideString& Path);
  // The collected cells (the array itself, shared).
  const TDynamicLongWordArray& GetBuffer() const { return FBuffer; }
  // Appends one chunk; raises when the buffer would outgrow kMaxCellCount.
  void Callback(std::uint64_t Address, std::uint64_t Size, const std::uint32_t* Buffer);

private:
  TMainRequestFunction FMainFunction;
  TDynamicLongWordArray FBuffer;
};

}  // namespace tvk
