#pragma once
// The module-private face of the module's own flash writers: what the flash
// memory utility dialog needs beyond their dispatch interface (the family,
// the serial writers' SPI controllers and devices, the parallel writers'
// flash data, the CFI writers' query). A writer may come from outside the
// module, so the dialog asks for this face through QueryInterface and never
// casts a dispatch reference; a writer that does not answer is "other".
#include "ORV.SCH.RecordInterfaces.h"
#include "Tovik.Types.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace tvk {

enum class TFlashWriterKind { fwkOther, fwkSerial, fwkParallel, fwkCFI };

// One SPI controller of the embedded design, as texts from the host.
struct TSPIData {
  WideString FProcessorClockFreq;
  WideString FSPIBaseAddress;
  WideString FSPIClockFreq;
};
using TSPIList = std::vector<std::pair<WideString, TSPIData>>;

// {6F1D2C8A-3B57-4E09-9A42-1C7D5E8B03F6}
extern const IID IID_IFlashWriterFace;

// Calls stay inside the module (one compiler, one heap); errors raise.
struct IFlashWriterFace : public IUnknown {
  virtual TFlashWriterKind WriterKind() = 0;
  // ---- Serial writers (others: nothing found, nothing changed)
  virtual bool GetSPIData(const IDeviceLink& DeviceLink, bool& SoftwarePlatform, bool& SPIClock) = 0;
  virtual const TSPIList& SPIList() const = 0;
  virtual const TSPIData& SelectedSPI() const = 0;
  virtual void SetSelectedSPI(const WideString& Id) = 0;
  // The values the user set for the selected controller.
  virtual void SetSelectedSPIData(const TSPIData& Data) = 0;
  virtual void SetSelectedDevice(const WideString& Name) = 0;
  // ---- Parallel writers (others: no flash data)
  virtual bool GetFlashData(const IProject& Project) = 0;
  virtual int64_t BaseAddress() const = 0;  // -1 when not known
  virtual int64_t Size() const = 0;         // -1 when not known
  // ---- CFI writers (others: never queried)
  virtual bool QueryOk() const = 0;
  virtual bool QueryFlash(TRemoteCommandResult& Result) = 0;

protected:
  ~IFlashWriterFace() = default;
};

}  // namespace tvk
