#pragma once
// Shared pieces of the breakpoint tests: calls through IDispatch::Invoke as
// the host makes them, a recording double of the driver hooks with a small
// byte memory, and fake host breakpoints that log what reaches them.
#include "FakeHostObject.h"
#include "Tovik.Classes.Breakpoints.h"
#include "ZUL.DispatchFix.h"
#include "support/FakeHost.h"
#include "support/HostCall.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace bp_test {

using tvk::ComRef;
using tvk::Variant;

// ---- Arguments and calls as the host sends them

using testsupport::Bool;
using testsupport::I4;
using testsupport::I8;
using testsupport::Obj;
using testsupport::Str;

// IDispatch::Invoke with Args in host order (argument 1 first), placed in
// reverse order in the parameter array as the host does; takes Args over.
inline HRESULT Invoke(IDispatch* target, DISPID id, std::initializer_list<VARIANT> args = {},
                      VARIANT* result = nullptr) {
  return testsupport::Invoke(target, id, args, result, DISPATCH_METHOD);
}

// An operation that must succeed; its result variant.
inline Variant Ask(IDispatch* target, DISPID id, std::initializer_list<VARIANT> args = {}) {
  Variant r;
  EXPECT_EQ(S_OK, Invoke(target, id, args, &r)) << "DispID " << id;
  return r;
}

inline long long AskInt64(IDispatch* t, DISPID id, std::initializer_list<VARIANT> args = {}) {
  Variant r = Ask(t, id, args);
  EXPECT_EQ(VT_I8, r.Type()) << "DispID " << id;
  return r.Ptr()->llVal;
}

inline long AskInt(IDispatch* t, DISPID id, std::initializer_list<VARIANT> args = {}) {
  Variant r = Ask(t, id, args);
  EXPECT_EQ(VT_I4, r.Type()) << "DispID " << id;
  return r.Ptr()->lVal;
}

inline bool AskBool(IDispatch* t, DISPID id, std::initializer_list<VARIANT> args = {}) {
  Variant r = Ask(t, id, args);
  EXPECT_EQ(VT_BOOL, r.Type()) << "DispID " << id;
  return r.Ptr()->boolVal != VARIANT_FALSE;
}

// A result of kind o: the object (no reference kept), null for an empty record.
inline IDispatch* AskObject(IDispatch* t, DISPID id, std::initializer_list<VARIANT> args = {}) {
  Variant r = Ask(t, id, args);
  EXPECT_EQ(VT_DISPATCH, r.Type()) << "DispID " << id;
  return r.Type() == VT_DISPATCH ? r.Ptr()->pdispVal : nullptr;
}

inline bool Supports(IDispatch* t, const wchar_t* name) { return AskBool(t, 1023, {Str(name)}); }

// Dispatch identifiers of the breakpoint and manager tables.
namespace id {
inline constexpr DISPID GetReplaced = 503450, GetTovikDevice = 503451, SetReplaced = 503452, Enable = 503453,
                        Disable = 503454, GetMemorySpace = 503455, SetMemorySpace = 503456, Reset = 503457,
                        GetAddress = 508547, SetAddress = 508548;
inline constexpr DISPID GetAddressMask = 508556, GetData = 508557, GetDataMask = 508558, GetControl = 508559,
                        GetControlMask = 508560, SetAddressMask = 508561, SetData = 508562, SetDataMask = 508563,
                        SetControl = 508564, SetControlMask = 508565;
inline constexpr DISPID AddHardBreakPoint = 503948, GetNewHardBreakpoint = 503949, GetNewSoftBreakpoint = 503950,
                        GetSystemBreakpoint = 503951, ReleaseBreakpoint = 503952,
                        ReleaseAllocatedHardBreakpoints = 503953, ReleaseAllocatedSoftBreakpoints = 503954,
                        ReleaseAllBreakpoints = 503955, DisableAllAllocatedBreakpoints = 503958,
                        EnableAllAllocatedBreakpoints = 503961, GetAllocatedSoftBreakPointCount = 503962,
                        GetAllocatedHardBreakPointCount = 503963, GetAllocatedSoftBreakpointByIndex = 503964,
                        GetAllocatedHardBreakpointByIndex = 503965, SetBreakpointMode = 503966,
                        SetDebuggerMode = 503967, SetSoftbreakpointsRequireHardware = 503968,
                        GetBreakpointMode = 503969, GetDebuggerMode = 503970,
                        GetSoftBreakpointsRequireHardware = 503971, GetHardBreakpointCount = 503972,
                        AddressSupportsSoftBreakpoints = 508566, GetNewBreakpoint = 508567,
                        GetBreakpointByAddress = 508568, GetBreakpointByData = 508569;
}  // namespace id

// ---- The driver double

struct DriverCall {
  std::string Op;
  std::vector<long long> Args;
  bool operator==(const DriverCall&) const = default;
};

inline void PrintTo(const DriverCall& c, std::ostream* os) {
  *os << c.Op << "(";
  for (std::size_t i = 0; i < c.Args.size(); ++i) *os << (i ? ", " : "") << std::hex << "0x" << c.Args[i];
  *os << ")";
}

// Records every hook call. Memory is a byte map (absent bytes read 0);
// Writable decides which addresses take a write. The soft breakpoint hooks
// behave like the ARMv7-M level: the halfword at the address is the replaced
// instruction and becomes 0xBE00.
class RecordingDriver final : public tvk::ICortexM3BreakpointDriver {
public:
  static constexpr uint32_t kBkpt = 0xBE00;

  std::vector<DriverCall> Calls;
  std::map<long long, uint8_t> Memory;
  std::function<bool(long long)> Writable = [](long long) { return true; };
  tvk::ITovikDevice Device;
  bool WriteWordAnswer = true;
  bool RemoveAnswer = true;
  std::string FailOn;  // the hook that raises, once it is called
  std::function<void(const DriverCall&)> OnCall;  // sees every call as it is made

  tvk::ITovikDevice GetTovikDevice() override {
    Log("GetTovikDevice", {});
    return Device;
  }
  void OpenChannel() override { Log("OpenChannel", {}); }
  void CloseChannel() override { Log("CloseChannel", {}); }
  uint32_t AddSoftBreakpoint(int32_t space, int64_t address) override {
    Log("AddSoftBreakpoint", {space, address});
    const uint32_t replaced = Half(address);
    PutHalf(address, kBkpt);
    return replaced;
  }
  bool RemoveSoftBreakpoint(int32_t space, int64_t address, uint32_t replaced) override {
    Log("RemoveSoftBreakpoint", {space, address, replaced});
    PutHalf(address, replaced);
    return RemoveAnswer;
  }
  bool MemoryRead(int32_t space, uint32_t* cells, int64_t address, int32_t count) override {
    Log("MemoryRead", {space, address, count});
    for (int32_t i = 0; i < count; ++i) cells[i] = Byte(address + i);
    return true;
  }
  bool MemoryWrite(int32_t space, const uint32_t* cells, int64_t address, int32_t count) override {
    std::vector<long long> args{space, address, count};
    for (int32_t i = 0; i < count; ++i) args.push_back(cells[i]);
    Log("MemoryWrite", args);
    for (int32_t i = 0; i < count; ++i) Put(address + i, uint8_t(cells[i]));
    return true;
  }
  void OpenJtagChannel() override { Log("OpenJtagChannel", {}); }
  void CloseJtagChannel() override { Log("CloseJtagChannel", {}); }
  bool WriteWordChecked(uint32_t address, uint32_t value) override {
    Log("WriteWordChecked", {address, value});
    return WriteWordAnswer;
  }

  uint8_t Byte(long long a) const {
    auto it = Memory.find(a);
    return it == Memory.end() ? 0 : it->second;
  }
  uint32_t Half(long long a) const { return Byte(a) | uint32_t(Byte(a + 1)) << 8; }
  void Fill(long long a, std::vector<uint8_t> bytes) {
    for (uint8_t b : bytes) Memory[a++] = b;
  }
  std::vector<uint8_t> Bytes(long long a, int n) const {
    std::vector<uint8_t> r;
    for (int i = 0; i < n; ++i) r.push_back(Byte(a + i));
    return r;
  }
  // Calls of one operation only.
  std::vector<DriverCall> CallsOf(const std::string& op) const {
    std::vector<DriverCall> r;
    for (const auto& c : Calls)
      if (c.Op == op) r.push_back(c);
    return r;
  }

private:
  void Log(const char* op, std::vector<long long> args) {
    Calls.push_back({op, std::move(args)});
    if (OnCall) OnCall(Calls.back());
    if (FailOn == op) throw tvk::Exception(L"injected failure");
  }
  void Put(long long a, uint8_t v) {
    if (Writable(a)) Memory[a] = v;
  }
  void PutHalf(long long a, uint32_t v) {
    Put(a, uint8_t(v));
    Put(a + 1, uint8_t(v >> 8));
  }
};

// ---- Fake host breakpoints

using testsupport::AsDispatch;
using testsupport::Fake;
using testsupport::MakeFake;

// A host object that answers the breakpoint operations the manager calls and
// notes each in Events as "<name>.<operation>".
inline Fake MakeFakeBreakpoint(const std::string& name, std::shared_ptr<std::vector<std::string>> events,
                               long long data = 0) {
  Fake f = MakeFake();
  auto state = std::make_shared<std::pair<long long, long long>>(0, data);  // address, data
  auto note = [events, name](const char* op) { events->push_back(name + "." + op); };
  for (auto [dispId, op] : {std::pair<DISPID, const char*>{503453, "Enable"}, {503454, "Disable"}})
    f->On(dispId, [note, op = op](std::vector<VARIANT*>&, VARIANT* r) {
      note(op);
      hostsim::SetResultBool(r, true);
      return S_OK;
    });
  f->Serve(503456, "i", [note](std::vector<VARIANT*>&, VARIANT*) { note("SetMemorySpace"); return S_OK; });
  f->On(503457, [note](std::vector<VARIANT*>&, VARIANT*) { note("Reset"); return S_OK; });
  f->On(508547, [state](std::vector<VARIANT*>&, VARIANT* r) {
    VariantClear(r);
    r->vt = VT_I8;
    r->llVal = state->first;
    return S_OK;
  });
  f->Serve(508548, "L", [note, state](std::vector<VARIANT*>& a, VARIANT*) {
    note("SetAddress");
    state->first = a[0]->llVal;
    return S_OK;
  });
  f->On(508557, [state](std::vector<VARIANT*>&, VARIANT* r) {
    VariantClear(r);
    r->vt = VT_I8;
    r->llVal = state->second;
    return S_OK;
  });
  return f;
}

// Record calls go through the module's dispatcher.
class DispatcherFixture : public ::testing::Test {
protected:
  void SetUp() override { tvk::DispatchFixStartup(); }
};

}  // namespace bp_test
