#include "Tovik.Classes.DataChunkImage.h"

#include <algorithm>

namespace tvk {

void TDynamicLongWordArray::SetLength(std::uint64_t length) {
  if (length > kMaxCellCount) throw Exception(L"Out of memory");
  FCells->resize(std::size_t(length), 0);
}

// ---- TDataChunkImageInterface

TDataChunkImageInterface::TDataChunkImageInterface(const TDataChunkImage& Image)
    : TDataChunkImageInterface(Image.TargetAddr, Image.DataLen, Image.DataArray) {}

TDataChunkImageInterface::TDataChunkImageInterface(std::uint32_t TargetAddr, std::uint32_t DataLen,
                                                   const TDynamicLongWordArray& DataArray)
    : FInternalTargetAddr(TargetAddr), FInternalDataArray(DataArray), FinternalDataLen(DataLen) {}

static constexpr TServedRow<TDataChunkImageInterface> kDataChunkImageRows[] = {
    TVK_SERVED_ROW(TDataChunkImageInterface, 508709, GetTargetAddress),
    TVK_SERVED_ROW(TDataChunkImageInterface, 508710, SetTargetAddress),
    TVK_SERVED_ROW(TDataChunkImageInterface, 508711, GetDataLength),
    TVK_SERVED_ROW(TDataChunkImageInterface, 508712, SetDataLength),
    TVK_SERVED_ROW(TDataChunkImageInterface, 508713, GetDataWord),
    TVK_SERVED_ROW(TDataChunkImageInterface, 508714, ExtendDataLength),
};
TVK_SERVED_LEVEL_IMPL(TDataChunkImageInterface, TAbstractSupportService, kDataChunkImageRows,
                      L"DataChunkImageInterface")

HRESULT TDataChunkImageInterface::GetTargetAddress(std::uint32_t& Result) {
  Result = FInternalTargetAddr;
  return S_OK;
}

HRESULT TDataChunkImageInterface::SetTargetAddress(std::uint32_t Value) {
  FInternalTargetAddr = Value;
  return S_OK;
}

HRESULT TDataChunkImageInterface::GetDataLength(std::uint32_t& Result) {
  Result = FinternalDataLen;
  return S_OK;
}

HRESULT TDataChunkImageInterface::SetDataLength(std::uint32_t N) {
  return Guard([&] {
    FInternalDataArray.SetLength(N);  // raises before anything changes
    FinternalDataLen = N;
  });
}

HRESULT TDataChunkImageInterface::GetDataWord(std::uint32_t Index, std::uint32_t& Result) {
  Result = Index < FInternalDataArray.Length() ? FInternalDataArray[Index] : 0;
  return S_OK;
}

HRESULT TDataChunkImageInterface::ExtendDataLength(std::uint32_t Length, std::uint32_t) {
  return Length >= FInternalDataArray.Length() ? SetDataLength(Length) : S_OK;
}

// ---- TLoadFileCallBackHelper

bool TLoadFileCallBackHelper::ProcessFile(const WideString& Path) {
  // A new array: an image that shares the previous one keeps its cells.
  FBuffer = TDynamicLongWordArray();
  return FMainFunction(Path, [this](std::uint64_t address, std::uint64_t size, const std::uint32_t* buffer) {
    Callback(address, size, buffer);
  });
}

void TLoadFileCallBackHelper::Callback(std::uint64_t Address, std::uint64_t Size, const std::uint32_t* Buffer) {
  if (Size > kMaxCellCount) throw Exception(L"Out of memory");  // and no sum below wraps
  std::uint64_t at = FBuffer.Length();
  if (at < Address && Address <= at + Size) at = Address;
  FBuffer.SetLength(at + Size);
  if (Size != 0) std::copy_n(Buffer, std::size_t(Size), FBuffer.Data() + at);
}

}  // namespace tvk
