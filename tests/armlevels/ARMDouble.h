#pragma once
// The ARM levels on a lower-level double: it records every byte, halfword and
// word access and every core-register access, keeps a byte memory and a core
// register file, and can fail a chosen access. Calls are made as the host
// makes them, through IDispatch::Invoke.
#include "FakeHostObject.h"
#include "SimHost.h"
#include "Tovik.Classes.ARM.h"
#include "ZUL.DispatchFix.h"
#include "support/HostCall.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace armlevels_test {

using namespace tvk;

// One access of the double: "rb", "rh", "rw" (memory reads), "wb", "wh",
// "ww" (writes), "rc", "wc" (core registers: Address is the number).
struct Access {
  std::string Op;
  uint32_t Address;
  uint32_t Value = 0;
  bool operator==(const Access&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Access& a) {
  return os << a.Op << " 0x" << std::hex << a.Address << " 0x" << a.Value << std::dec;
}

// The accesses whose operation is one of Ops.
inline std::vector<Access> Only(const std::vector<Access>& all, std::initializer_list<const char*> ops) {
  std::vector<Access> some;
  for (const Access& a : all)
    for (const char* op : ops)
      if (a.Op == op) some.push_back(a);
  return some;
}

constexpr HRESULT kFailure = HRESULT(0x80004005L);  // E_FAIL

// The double under Level: memory and core accesses are recorded and served
// from Memory and Core; every other core operation it overrides is noted in
// Events.
template <class Level>
class TRecording : public Level {
public:
  TRecording() = default;

  std::vector<Access> Accesses;
  std::vector<std::string> Events;
  std::map<uint32_t, uint8_t> Memory;  // absent bytes read as 0
  // The access (counting from 0 over Accesses) that fails with kFailure; -1: none.
  int FailAt = -1;

  void LoadBytes(uint32_t address, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) Memory[address++] = b;
  }
  uint8_t Byte(uint32_t address) const {
    auto it = Memory.find(address);
    return it == Memory.end() ? 0 : it->second;
  }
  // The bytes at Address..Address+Count-1 as a word (up to 4) in the target's byte order.
  uint32_t Load(uint32_t address, int count) {
    uint32_t v = 0;
    for (int i = 0; i < count; ++i) {
      const int shift = Little() ? 8 * i : 8 * (count - 1 - i);
      v |= uint32_t(Byte(address + uint32_t(i))) << shift;
    }
    return v;
  }
  void Store(uint32_t address, int count, uint32_t v) {
    for (int i = 0; i < count; ++i) {
      const int shift = Little() ? 8 * i : 8 * (count - 1 - i);
      Memory[address + uint32_t(i)] = uint8_t(v >> shift);
    }
  }

  HRESULT ReadMemory_Byte(uint32_t Address, uint8_t& Value) override {
    Value = uint8_t(Load(Address, 1));
    return Note("rb", Address, Value);
  }
  HRESULT ReadMemory_HalfWord(uint32_t Address, uint32_t& Value) override {
    Value = Load(Address, 2);
    return Note("rh", Address, Value);
  }
  HRESULT ReadMemory_Word(uint32_t Address, uint32_t& Value) override {
    Value = Load(Address, 4);
    return Note("rw", Address, Value);
  }
  HRESULT WriteMemory_Byte(uint32_t Address, uint8_t Value) override {
    Store(Address, 1, Value);
    return Note("wb", Address, Value);
  }
  HRESULT WriteMemory_HalfWord(uint32_t Address, uint32_t Value) override {
    Store(Address, 2, Value);  // the low halfword
    return Note("wh", Address, Value);
  }
  HRESULT WriteMemory_Word(uint32_t Address, uint32_t Value) override {
    Store(Address, 4, Value);
    return Note("ww", Address, Value);
  }

  HRESULT PauseProcessor() override { return Event("PauseProcessor"); }
  HRESULT SingleStepProcessor() override { return Event("SingleStepProcessor"); }
  HRESULT EnableMMUCaches() override { return Event("EnableMMUCaches"); }
  HRESULT DisableMMUCaches() override { return Event("DisableMMUCaches()"); }
  HRESULT DisableMMUCaches(bool i, bool d, bool m) override {
    return Event("DisableMMUCaches(" + std::to_string(i) + "," + std::to_string(d) + "," + std::to_string(m) + ")");
  }
  HRESULT ChangeToARMState() override { return Event("ChangeToARMState"); }
  HRESULT InitializeMemory() override {
    Events.push_back("InitializeMemory");
    return Level::InitializeMemory();
  }

  // An event that fails with kFailure; empty: none.
  std::string FailEvent;

protected:
  bool Little() {
    bool little = true;
    this->LittleEndian(little);
    return little;
  }
  HRESULT Note(const char* op, uint32_t address, uint32_t value) {
    Accesses.push_back({op, address, value});
    return int(Accesses.size()) - 1 == FailAt ? kFailure : S_OK;
  }
  HRESULT Event(const std::string& name) {
    Events.push_back(name);
    return name == FailEvent ? kFailure : S_OK;
  }
};

// The ARMv7-M level with a core register file.
class TRecordingV7M : public TRecording<TARMv7M> {
public:
  std::map<int32_t, uint32_t> Core;

  HRESULT ReadCoreRegister(int32_t Number, uint32_t& Value) override {
    Value = Core[Number];
    return Note("rc", uint32_t(Number), Value);
  }
  HRESULT WriteCoreRegister(int32_t Number, uint32_t Value) override {
    Core[Number] = Value;
    return Note("wc", uint32_t(Number), Value);
  }
  void SetBigEndian(bool big) { FBigEndian = big; }
  void SetSavedXPSR(uint32_t v) { FSavedXPSR = v; }
  void SetSavedCFBP(uint32_t v) { FSavedCFBP = v; }
};

// The ARMv4T level with registers 0 to 17 in a register file, as a core level
// below it would give them; 18 and up are the level's own.
class TRecordingV4T : public TRecording<TARMv4T> {
public:
  std::map<int32_t, uint32_t> Registers;

  HRESULT ReadRegister(int32_t Number, uint32_t& Value) override {
    if (Number > arm::ARM_REG_SPSR) return TARMv4T::ReadRegister(Number, Value);
    Value = Registers[Number];
    return Note("rc", uint32_t(Number), Value);
  }
  HRESULT WriteRegister(int32_t Number, uint32_t Value) override {
    if (Number > arm::ARM_REG_SPSR) return TARMv4T::WriteRegister(Number, Value);
    Registers[Number] = Value;
    return Note("wc", uint32_t(Number), Value);
  }
  HRESULT SetICERegister(int32_t Register, uint32_t Value) override {
    return Note("ice", uint32_t(Register), Value);
  }
  void SetBigEndian(bool big) { FBigEndian = big; }
  void SetState(TARM_State state, bool saved) {
    FState = state;
    FStateSaved = saved;
  }
};

template <class T>
std::unique_ptr<T> MakeDriver() {
  DispatchFixStartup();  // record calls go through the module's late-bound call entry
  return std::unique_ptr<T>(New<T>());
}

inline IDispatch* AsDispatch(TTovikDriver& driver) { return static_cast<IDispatch*>(&driver); }

// ---- A host device: transactions, its identifier, and a channel that only
// notes its calls (none unless asked for)

class TDeviceHost {
public:
  explicit TDeviceHost(bool withChannel = false, long chainIndex = 0)
      : FDevice(hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject)) {
    using namespace hostsim::disp;
    if (withChannel) {
      FChannel = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
      FChannel->ReturnBool(JTagChannel_Open, true);
      FChannel->Accept(JTagChannel_Close);
    }
    FDevice->ReturnObject(TovikDevice_GetJTagChannel, FChannel.Get());
    FDevice->ReturnInt(TovikDevice_GetJTagIndex, chainIndex);
    FDevice->Accept(TovikDevice_TransactionBegin);
    FDevice->Accept(TovikDevice_TransactionEnd);
    FDevice->ReturnString(TovikDevice_GetDeviceId, L"STM32-Board-1");
  }
  hostsim::FakeHostObject& Device() { return *FDevice; }
  hostsim::FakeHostObject& Channel() { return *FChannel; }
  IDispatch* Dispatch() { return static_cast<IDispatch*>(FDevice.Get()); }
  void Lend(TTovikDriver& driver) {
    bool done = false;
    ASSERT_EQ(S_OK, driver.SetTovikDevice(ITovikDevice(Dispatch()), done));
  }
  std::size_t Begins() const { return FDevice->CallCount(hostsim::disp::TovikDevice_TransactionBegin); }
  std::size_t Ends() const { return FDevice->CallCount(hostsim::disp::TovikDevice_TransactionEnd); }

private:
  hostsim::SimRef<hostsim::FakeHostObject> FChannel;
  hostsim::SimRef<hostsim::FakeHostObject> FDevice;
};

}  // namespace armlevels_test
