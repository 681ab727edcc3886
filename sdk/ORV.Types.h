#pragma once
// Vocabulary of the host's design domain shared by every extension: pin
// electrical kinds, message severities and the name lists of the host's
// documents and boards. Ordinals cross the host boundary as plain integers.
#include <array>
#include <cstdint>
#include <string_view>

namespace tvk {

enum TPinElectrical : int {
  eElectricInput,
  eElectricIO,
  eElectricOutput,
  eElectricOpenCollector,
  eElectricPassive,
  eElectricHiZ,
  eElectricOpenEmitter,
  eElectricPower,
};
inline constexpr int kPinElectricalCount = eElectricPower + 1;

}  // namespace tvk
