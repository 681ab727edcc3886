#pragma once
// Drives the simulated host the way the module does: only IDispatch::Invoke
// on the debug device and its channel, scans built by hand as strings.
#include "SimHost.h"
#include "support/JtagScan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace simtest {

using namespace hostsim;

// A variant argument that frees itself.
struct Arg {
  VARIANT V;
  explicit Arg(long v) { VariantInit(&V); V.vt = VT_I4; V.lVal = v; }
  explicit Arg(const std::wstring& s) { VariantInit(&V); V.vt = VT_BSTR; V.bstrVal = SysAllocStringLen(s.data(), UINT(s.size())); }
  Arg(const Arg& o) { VariantInit(&V); VariantCopy(&V, const_cast<VARIANT*>(&o.V)); }
  ~Arg() { VariantClear(&V); }
};

struct Result {
  HRESULT Hr = E_FAIL;
  VARIANT V;
  Result() { VariantInit(&V); }
  Result(const Result&) = delete;
  ~Result() { VariantClear(&V); }
};

// Arguments in host order (the first one first), sent reversed as the host's callers do.
inline HRESULT Call(IDispatch* object, DISPID id, const std::vector<Arg>& args, Result* result = nullptr) {
  std::vector<VARIANT> reversed;
  for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(it->V);
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, UINT(reversed.size()), 0};
  Result scratch;
  Result& r = result ? *result : scratch;
  r.Hr = object->Invoke(id, IID_NULL, 0, args.empty() ? DISPATCH_METHOD | DISPATCH_PROPERTYGET : DISPATCH_METHOD,
                        &params, &r.V, nullptr, nullptr);
  return r.Hr;
}

using testsupport::Binary;
using testsupport::ParseBinary;

// 35-character DPACC/APACC request: data word, address bits 3:2, RnW.
inline std::wstring Request(std::uint32_t data, std::uint32_t address, bool read) {
  return Binary(data, 32) + Binary(((address >> 1) & 6) | (read ? 1 : 0), 3);
}

struct Reply {
  unsigned Ack;
  std::uint32_t Data;
};

class Probe {
public:
  explicit Probe(IDispatch* device) : FDevice(device) {
    Result r;
    EXPECT_EQ(S_OK, Call(device, disp::TovikDevice_GetJTagChannel, {}, &r));
    FChannel = r.V.vt == VT_DISPATCH ? r.V.pdispVal : nullptr;
    if (FChannel) FChannel->AddRef();
    Result i;
    Call(device, disp::TovikDevice_GetJTagIndex, {}, &i);
    FIndex = i.V.lVal;
  }
  ~Probe() {
    if (FChannel) FChannel->Release();
  }
  Probe(const Probe&) = delete;
  IDispatch* Channel() const { return FChannel; }
  long Index() const { return FIndex; }

  void Move(long from, long to) { EXPECT_EQ(S_OK, Call(FChannel, disp::JTagChannel_MoveTAPState, {Arg(from), Arg(to)})); }
  void LoadIR(long ir) { EXPECT_EQ(S_OK, Call(FChannel, disp::JTagChannel_LoadIR, {Arg(ir), Arg(FIndex)})); }
  std::wstring ShiftDR(const std::wstring& bits) {
    Result r;
    EXPECT_EQ(S_OK, Call(FChannel, disp::JTagChannel_ShiftDRString, {Arg(bits), Arg(FIndex)}, &r));
    return r.V.vt == VT_BSTR ? std::wstring(r.V.bstrVal, SysStringLen(r.V.bstrVal)) : std::wstring();
  }
  // One scan in the module's order of calls.
  std::wstring Scan(long ir, const std::wstring& bits) {
    Move(2, 12);
    LoadIR(ir);
    Move(13, 5);
    std::wstring out = ShiftDR(bits);
    Move(6, 2);
    return out;
  }
  Reply Access(long ir, std::uint32_t address, std::uint32_t data, bool read) {
    std::wstring out = Scan(ir, Request(data, address, read));
    EXPECT_EQ(35u, out.size());
    return {unsigned(ParseBinary(out, 32, 3)), std::uint32_t(ParseBinary(out, 0, 32))};
  }

  // Register accesses with the posted result fetched from RDBUFF.
  std::uint32_t ReadDp(std::uint32_t address) {
    Access(adi::IR_DPACC, address, 0, true);
    return Access(adi::IR_DPACC, adi::DP_RDBUFF, 0, true).Data;
  }
  void WriteDp(std::uint32_t address, std::uint32_t value) { Access(adi::IR_DPACC, address, value, false); }
  std::uint32_t ReadAp(std::uint32_t reg) {
    WriteDp(adi::DP_SELECT, reg & 0xF0);
    Access(adi::IR_APACC, reg & 0xC, 0, true);
    return Access(adi::IR_DPACC, adi::DP_RDBUFF, 0, true).Data;
  }
  void WriteAp(std::uint32_t reg, std::uint32_t value) {
    WriteDp(adi::DP_SELECT, reg & 0xF0);
    Access(adi::IR_APACC, reg & 0xC, value, false);
  }
  void PowerUp() {
    WriteDp(adi::DP_CTRL_STAT, adi::CDBGPWRUPREQ | adi::CSYSPWRUPREQ);
    for (int k = 0; k < 10 && (ReadDp(adi::DP_CTRL_STAT) >> 28) != 0xF; ++k) {}
  }
  // Word memory access: CSW word without increment, TAR, DRW.
  std::uint32_t ReadWord(std::uint32_t address) {
    WriteAp(adi::AP_CSW, 0xA2000002);
    WriteAp(adi::AP_TAR, address);
    return ReadAp(adi::AP_DRW);
  }
  void WriteWord(std::uint32_t address, std::uint32_t value) {
    WriteAp(adi::AP_CSW, 0xA2000002);
    WriteAp(adi::AP_TAR, address);
    WriteAp(adi::AP_DRW, value);
  }
  // Core registers through DCRSR/DCRDR.
  std::uint32_t ReadCore(unsigned selector) {
    WriteWord(cm3::DCRSR, selector);
    return ReadWord(cm3::DCRDR);
  }
  void WriteCore(unsigned selector, std::uint32_t value) {
    WriteWord(cm3::DCRDR, value);
    WriteWord(cm3::DCRSR, selector | cm3::DCRSR_REGWNR);
  }

private:
  IDispatch* FDevice;
  IDispatch* FChannel = nullptr;
  long FIndex = -1;
};

}  // namespace simtest
