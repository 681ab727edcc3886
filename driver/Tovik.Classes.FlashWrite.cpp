#include "Tovik.Classes.FlashWrite.h"

#include "ZUL.Util.h"

#include <algorithm>

namespace tvk {

namespace {

using namespace remote_command;

// Progress of one program run: 0 at the start, 50 after widening, 50 after
// erasing, 900 spread over the chunks, 1000 at the end.
constexpr int32_t kProgressStart = 0, kProgressWiden = 50, kProgressErase = 50, kProgressChunks = 900,
                  kProgressEnd = 1000;

constexpr uint32_t kErasedCell = 0xFF;

// Sets the progress to its end however the run ends, before the transaction
// that encloses it closes.
template <class F>
int32_t EndingAt1000(TProgressUpdaterHelper& progress, F&& run) {
  int32_t result;
  try {
    result = run();
  } catch (...) {
    progress.Update(kProgressEnd);
    throw;
  }
  progress.Update(kProgressEnd);
  return result;
}

}  // namespace

// ---- Served operations

HRESULT TRemoteExecuteBaseDriver::ProgramImage(uint32_t FlashSpace, const IDataChunkImageInterface& Image,
                                               bool AutoChecksum, bool PreserveSectorData, bool ResetAfterLoad,
                                               bool Verify, int32_t& Result) {
  Result = 0;
  return Guard([&] {
    TDataChunkImage image;
    ImportDataChunkImage(Image, image);
    Result = FlashWrite(FlashSpace, image, AutoChecksum, PreserveSectorData, ResetAfterLoad, Verify);
  });
}

HRESULT TRemoteExecuteBaseDriver::BlankCheckSectors(uint32_t, uint32_t FirstSector, uint32_t LastSector,
                                                    int32_t& Result) {
  Result = 0;
  return Guard([&] { Result = RunFlashCommand(kBlankCheck, {FirstSector, LastSector, 0}); });
}

HRESULT TRemoteExecuteBaseDriver::EraseDevice(uint32_t, int32_t& Result) {
  Result = 0;
  return Guard([&] { Result = RunFlashCommand(kEraseDevice, {0}); });
}

HRESULT TRemoteExecuteBaseDriver::EraseAddressRange(uint32_t FlashSpace, uint32_t StartAddress, uint32_t EndAddress,
                                                    bool ByProgramming, int32_t& Result) {
  Result = 0;
  return Guard([&] { Result = FlashErase(FlashSpace, StartAddress, EndAddress, ByProgramming); });
}

HRESULT TRemoteExecuteBaseDriver::EraseSectorRange(uint32_t FlashSpace, uint32_t FirstSector, uint32_t LastSector,
                                                   int32_t& Result) {
  Result = 0;
  return Guard([&] {
    CheckResult(EraseAddressRange(FlashSpace, AddressFromSector(FlashSpace, FirstSector),
                                  AddressFromSector(FlashSpace, LastSector), false, Result));
  });
}

HRESULT TRemoteExecuteBaseDriver::CompareImage(uint32_t FlashSpace, const IDataChunkImageInterface& Image,
                                               uint32_t StartAddress, uint32_t ByteCount, bool AutoChecksum,
                                               int32_t& Result) {
  Result = 0;
  return Guard([&] {
    TDataChunkImage image;
    ImportDataChunkImage(Image, image);
    Result = FlashCompare(FlashSpace, image, StartAddress, ByteCount, AutoChecksum);
  });
}

// ---- The algorithm

int32_t TRemoteExecuteBaseDriver::FlashWrite(uint32_t FlashSpace, TDataChunkImage& Image, bool AutoChecksum,
                                             bool Preserve, bool ResetAfterLoad, bool Verify) {
  if (!CanRun()) return kRemoteUnloadedOrAborted;
  TProgressUpdaterHelper progress(FInternalFlashWriterCallbackInterface, kProgressStart);
  progress.Update(kProgressStart);
  // A program file without data: nothing to widen, erase or program.
  if (Image.DataLen == 0) {
    progress.Update(kProgressEnd);
    return 0;
  }
  TDriverTransaction transaction(*this);
  return EndingAt1000(progress, [&]() -> int32_t {
    if (DoAbortCheck()) return kRemoteUnloadedOrAborted;
    if (AutoChecksum) InjectChecksum(Image);
    TDataChunkImage flash;
    BuildFlashImage(FlashSpace, Image, Preserve, flash);
    progress.UpdateStep(kProgressWiden);
    if (DoAbortCheck()) return kRemoteUnloadedOrAborted;
    const uint32_t n = flash.DataLen;
    // The erase status is provisional: programming follows whatever it was.
    int32_t result = FlashErase(FlashSpace, flash.TargetAddr, flash.TargetAddr + n - 1, false);
    progress.UpdateStep(kProgressErase);

    const uint32_t c = std::min(GetDataAreaSize(), n + 1);
    // 900 over the chunks actually written, so that the last ends at or below 1000.
    const uint32_t chunks = (n + c - 1) / c;
    const int32_t step = kProgressChunks / int32_t(chunks);
    bool ranToEnd = true;
    for (uint32_t o = 0; o < n; o += c) {
      if (DoAbortCheck()) return kRemoteUnloadedOrAborted;
      // Only the image's bytes: a short last chunk is not padded.
      const uint32_t length = std::min(c, n - o);
      result = RemoteDataWrite(FDataBaseAddress, flash.DataArray.Data() + o, length, false);
      if (result != 0) {
        ranToEnd = false;
        break;
      }
      result = ProgramChunk(FlashSpace, FDataBaseAddress, Verify, length, flash.TargetAddr + o);
      if (result != 0 &&
          !ConfirmOkCancel(L"Error: " + RemoteStatusName(uint32_t(result)) + L"\r\n" + L" OK to continue?")) {
        ranToEnd = false;
        break;
      }
      progress.UpdateStep(step);
    }
    if (ranToEnd && ResetAfterLoad) {
      Driver().ResetProcessor();
      Driver().ContinueProcessor();
    }
    return result;
  });
}

void TRemoteExecuteBaseDriver::BuildFlashImage(uint32_t FlashSpace, const TDataChunkImage& Source, bool Preserve,
                                               TDataChunkImage& FlashImage) {
  if (FlashSpace >= FFlashMemorySpaceArray.size()) FlashSpace = 0;  // an unknown flash space is the first
  if (Source.DataLen == 0 || Source.DataLen > Source.DataArray.Length())
    throw Exception(L"The image holds no data to program");
  const uint64_t first = Source.TargetAddr;
  const uint64_t last = first + Source.DataLen - 1;
  if (last > 0xFFFFFFFF) throw Exception(L"The image runs past the end of the address space");
  uint64_t a0, a1;
  if (Preserve) {
    a0 = AddressFromSector(FlashSpace, SectorFromAddress(FlashSpace, uint32_t(first)));
    a1 = uint64_t(AddressFromSector(FlashSpace, SectorFromAddress(FlashSpace, uint32_t(last)) + 1)) - 1;
  } else {
    a0 = GetFlashAddressFromPage(FlashSpace, GetFlashPageFromAddress(FlashSpace, uint32_t(first)));
    a1 = uint64_t(GetFlashAddressFromPage(FlashSpace, GetFlashPageFromAddress(FlashSpace, uint32_t(last)) + 1)) - 1;
  }
  if (a0 > first || a1 < last) throw Exception(L"The flash units do not cover the image");
  const uint64_t n = a1 - a0 + 1;
  FlashImage = {};
  FlashImage.TargetAddr = uint32_t(a0);
  FlashImage.DataArray.SetLength(n);  // raises for a range no buffer can hold
  FlashImage.DataLen = uint32_t(n);
  uint32_t* cells = FlashImage.DataArray.Data();
  const uint32_t head = uint32_t(first - a0), tail = uint32_t(a1 - last);
  if (Preserve) {
    if (head != 0) RemoteDataRead(FlashSpace, cells, uint32_t(a0), head);
    if (tail != 0) RemoteDataRead(FlashSpace, cells + (last + 1 - a0), uint32_t(last + 1), tail);
  } else {
    std::fill_n(cells, n, kErasedCell);
  }
  std::copy_n(Source.DataArray.Data(), Source.DataLen, cells + head);
}

int32_t TRemoteExecuteBaseDriver::FlashErase(uint32_t FlashSpace, uint32_t StartAddress, uint32_t EndAddress,
                                             bool ByProgramming) {
  if (!CanRun()) return kRemoteUnloadedOrAborted;
  TDriverTransaction transaction(*this);
  if (DoAbortCheck()) return kRemoteUnloadedOrAborted;
  if (!ByProgramming) return InternalFlashErase(FlashSpace, StartAddress, EndAddress);
  TDataChunkImage erased;
  erased.TargetAddr = StartAddress;
  erased.DataLen = EndAddress > StartAddress ? EndAddress - StartAddress : 0;  // End itself stays
  erased.DataArray.SetLength(erased.DataLen);
  std::fill_n(erased.DataArray.Data(), erased.DataLen, kErasedCell);
  return FlashWrite(FlashSpace, erased, false, true, false, false);
}

int32_t TRemoteExecuteBaseDriver::FlashCompare(uint32_t FlashSpace, TDataChunkImage& Image, uint32_t StartAddress,
                                               uint32_t ByteCount, bool AutoChecksum) {
  if (!CanRun()) return kRemoteUnloadedOrAborted;
  TDriverTransaction transaction(*this);
  TProgressUpdaterHelper progress(FInternalFlashWriterCallbackInterface, kProgressStart);
  return EndingAt1000(progress, [&]() -> int32_t {
    const uint32_t b = GetReadBlockSize();
    const uint32_t blocks = b < ByteCount ? ByteCount / b : 1;
    const uint32_t blockSize = b < ByteCount ? b : ByteCount;
    const int32_t step = kProgressEnd / int32_t(blocks);
    if (AutoChecksum) InjectChecksum(Image);  // the checksum that programming wrote
    TDynamicLongWordArray read;
    read.SetLength(ByteCount);
    uint32_t o = 0;
    for (uint32_t k = 0; k < blocks; ++k, o += blockSize) {
      RemoteDataRead(FlashSpace, read.Data() + o, StartAddress + o, blockSize);
      progress.UpdateStep(step);
    }
    if (o < ByteCount) RemoteDataRead(FlashSpace, read.Data() + o, StartAddress + o, ByteCount - o);
    int32_t differences = 0;
    for (uint32_t i = 0; i < ByteCount; ++i) {
      const uint32_t expected = i < Image.DataArray.Length() ? Image.DataArray[i] & 0xFF : 0;
      differences += (read[i] & 0xFF) != expected;
    }
    return differences;
  });
}

// ---- Command-level steps

int32_t TRemoteExecuteBaseDriver::RunFlashCommand(uint32_t Command, std::initializer_list<uint32_t> Arguments) {
  if (!CanRun()) return kRemoteUnloadedOrAborted;
  TDriverTransaction transaction(*this);
  return DoAbortCheck() ? kRemoteUnloadedOrAborted : RunCommand(Command, Arguments);
}

int32_t TRemoteExecuteBaseDriver::ProgramChunk(uint32_t FlashSpace, uint32_t RamAddress, bool Verify,
                                               uint32_t ByteCount, uint32_t FlashAddress) {
  TDriverTransaction transaction(*this);
  int32_t status = PrepareSectors(FlashSpace, FlashAddress, FlashAddress + ByteCount - 1);
  if (status != 0) return status;
  status = RunCommand(kCopyToFlash, {FlashAddress, RamAddress, ByteCount, Kilohertz()});
  if (Verify && status == 0) status = RunCommand(kCompare, {FlashAddress, RamAddress, ByteCount});
  return status;
}

int32_t TRemoteExecuteBaseDriver::RemoteDataRead(uint32_t FlashSpace, uint32_t* Buffer, uint32_t Address,
                                                 uint32_t ByteCount) {
  ReadTarget(this->FlashSpace(FlashSpace).globalMemorySpaceIndex, Address, Buffer, ByteCount);
  return 0;
}

int32_t TRemoteExecuteBaseDriver::InternalFlashErase(uint32_t FlashSpace, uint32_t StartAddress,
                                                     uint32_t EndAddress) {
  TDriverTransaction transaction(*this);
  const int32_t status = PrepareSectors(FlashSpace, StartAddress, EndAddress);
  if (status != 0) return status;
  return RunCommand(kErase, {SectorFromAddress(FlashSpace, StartAddress), SectorFromAddress(FlashSpace, EndAddress),
                             Kilohertz()});
}

int32_t TRemoteExecuteBaseDriver::PrepareSectors(uint32_t FlashSpace, uint32_t StartAddress, uint32_t EndAddress) {
  TDriverTransaction transaction(*this);
  return RunCommand(kPrepare, {SectorFromAddress(FlashSpace, StartAddress), SectorFromAddress(FlashSpace, EndAddress)});
}

uint32_t TRemoteExecuteBaseDriver::GetDataAreaSize() { return 512; }
uint32_t TRemoteExecuteBaseDriver::GetParameterBlockSize() { return 20; }
uint32_t TRemoteExecuteBaseDriver::GetResultBlockSize() { return 20; }

}  // namespace tvk
