#pragma once
// What of the pin-state panel's live update stands on its own:
// what the documents are given for a pin's value, a bus's shared display,
// the data-model batch every net update runs in, and the memory of the last
// debug-framework notification handled.
#include "ORV.SCH.RecordInterfaces.h"

#include <cstdint>

namespace tvk {

// A bus's display value as its objects show it: at least four upper-case
// hexadecimal digits.
WideString BusDisplayText(uint32_t Value);
// The bus value that Current shows (0 when it is not hexadecimal) with bit
// BitIndex (taken modulo 32) set for a PinValue other than 0, else cleared.
uint32_t UpdatedBusValue(const WideString& Current, int32_t BitIndex, int32_t PinValue);
// A PCB net's highlight for a pin's value: 2 when it reads high (1), else 1.
int32_t PCBHighlightValue(int32_t PinValue);
// Writes a bus bit into Object's shown bus value: bit BitIndex of what it
// shows now set or cleared by PinValue, written back as BusDisplayText.
// False, and nothing done, for a bit index below 0 or an empty object.
bool WriteBusBit(const ISch_GraphicalObject& Object, int32_t BitIndex, int32_t PinValue);

// A batch of the workspace's unified data model: opened when made, closed
// when it goes, whatever happened in it. An empty model opens nothing.
class TDataModelBatch {
public:
  explicit TDataModelBatch(const IUnifiedDataModel& Model);
  ~TDataModelBatch();
  TDataModelBatch(const TDataModelBatch&) = delete;
  TDataModelBatch& operator=(const TDataModelBatch&) = delete;

private:
  IUnifiedDataModel FModel;
};

// The last debug-framework notification handled. It is held by a counted
// reference: while held, the host cannot free it and hand out a new one at
// its address, which would be taken for it and lost.
class TLastNotification {
public:
  // Notification is the one handled last (the same host object).
  bool IsSame(const INotification& Notification) const {
    return FLast && Notification && FLast.ToPointer() == Notification.ToPointer();
  }
  void Remember(const INotification& Notification) { FLast = Notification; }
  void Forget() { FLast.Clear(); }

private:
  INotification FLast;
};

}  // namespace tvk
