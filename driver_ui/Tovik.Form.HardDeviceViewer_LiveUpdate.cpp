#include "Tovik.Form.HardDeviceViewer_LiveUpdate.h"

#include "ZUL.Util.h"

#include <cwchar>

namespace tvk {

WideString BusDisplayText(uint32_t Value) {
  wchar_t text[16];
  std::swprintf(text, 16, L"%04X", unsigned(Value));
  return WideString(text);
}

uint32_t UpdatedBusValue(const WideString& Current, int32_t BitIndex, int32_t PinValue) {
  const auto value = uint32_t(HexStrToInt(Current, 0));
  const uint32_t bit = uint32_t(1) << (uint32_t(BitIndex) % 32);
  return PinValue != 0 ? value | bit : value & ~bit;
}

int32_t PCBHighlightValue(int32_t PinValue) { return PinValue == 1 ? 2 : 1; }

bool WriteBusBit(const ISch_GraphicalObject& Object, int32_t BitIndex, int32_t PinValue) {
  if (BitIndex < 0 || !Object) return false;
  Object.SetLiveHighlightValue(BusDisplayText(UpdatedBusValue(Object.GetLiveHighlightValue(), BitIndex, PinValue)));
  return true;
}

TDataModelBatch::TDataModelBatch(const IUnifiedDataModel& Model) {
  if (!Model) return;
  Model.BeginUpdate();
  FModel = Model;  // opened: from here on it is closed whatever happens
}

TDataModelBatch::~TDataModelBatch() {
  if (FModel) Guard([&] { FModel.EndUpdate(); });
}

}  // namespace tvk
