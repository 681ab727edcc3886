// The simulated chain and the host's JTAG-side objects, driven through
// IDispatch::Invoke as the module drives them.
#include "SimProbe.h"

#include <gtest/gtest.h>

namespace simtest {

namespace {

class SimChain : public ::testing::Test {
protected:
  std::unique_ptr<SimBoard> Board = SimBoard::Stm32F103BehindBypass();
  Probe Host{Board->DeviceDispatch()};
};

TEST_F(SimChain, IdcodeScanAtIndexOneBehindBypass) {
  ASSERT_NE(nullptr, Host.Channel());
  EXPECT_EQ(1, Host.Index());
  const std::wstring out = Host.Scan(adi::IR_IDCODE, std::wstring(32, L'0'));
  EXPECT_EQ(L"00111011101000000000010001110111", out);  // 0x3BA00477

  // Exactly the module's five calls, with their argument kinds, and nothing flagged.
  const auto& calls = Board->Channel().Calls();
  const DISPID expected[] = {disp::JTagChannel_MoveTAPState, disp::JTagChannel_LoadIR, disp::JTagChannel_MoveTAPState,
                             disp::JTagChannel_ShiftDRString, disp::JTagChannel_MoveTAPState};
  ASSERT_EQ(5u, calls.size());
  for (std::size_t k = 0; k < 5; ++k) EXPECT_EQ(expected[k], calls[k].Id) << k;
  EXPECT_EQ(VT_BSTR, calls[3].Type(0));
  EXPECT_EQ(VT_I4, calls[3].Type(1));
  EXPECT_EQ(TapState::RunTestIdle, Board->Chain().State());
  EXPECT_TRUE(Board->ProtocolErrors().empty());

  const SimCounters c = Board->Counters();
  EXPECT_EQ(1u, c.IrScans);
  EXPECT_EQ(1u, c.DrScans);
  EXPECT_EQ(3u, c.TapMoves);
  EXPECT_EQ(5u, c.ChannelCalls);
  EXPECT_EQ(2u, c.DeviceCalls);  // the probe asked for the channel and the index
}

TEST_F(SimChain, BypassShiftsEachBitThroughOneStage) {
  // Instruction 4 is no JTAG-DP instruction: the port sits in BYPASS. The
  // host pads one bit for the bypass device nearer TDO, expecting 8 bits in
  // the port; with one, out come the port's captured 0, the padding bit, then
  // the value: two bits late.
  Result r;
  ASSERT_EQ(S_OK, Call(Host.Channel(), disp::JTagChannel_ShiftIR, {Arg(4), Arg(1)}));
  Host.Move(2, 5);
  ASSERT_EQ(S_OK, Call(Host.Channel(), disp::JTagChannel_ExchangeDR, {Arg(0x85), Arg(8), Arg(1)}, &r));
  Host.Move(6, 2);
  EXPECT_EQ((0x85 << 2) & 0xFF, r.V.lVal);
  EXPECT_EQ(4u, Board->Dp().Instruction());
  EXPECT_EQ(0u, Board->Chain().Tap(0).Instruction() ^ Board->Chain().Tap(0).BypassInstruction());
  EXPECT_TRUE(Board->ProtocolErrors().empty());
}

TEST_F(SimChain, MisorderedSequencesAreFlagged) {
  struct Case {
    const char* Name;
    void (*Run)(Probe&);
  } cases[] = {
      {"data shift outside Shift-DR", [](Probe& p) { EXPECT_EQ(std::wstring(35, L'1'), p.ShiftDR(std::wstring(35, L'0'))); }},
      {"instruction outside Shift-IR", [](Probe& p) { p.LoadIR(adi::IR_DPACC); }},
      {"move from a state the TAP is not in", [](Probe& p) { p.Move(13, 5); }},
  };
  for (const Case& c : cases) {
    Board->Chain().ClearProtocolErrors();
    c.Run(Host);
    EXPECT_EQ(1u, Board->ProtocolErrors().size()) << c.Name;
    Board->Chain().Goto(TapState::RunTestIdle);
  }
  // Wrong kinds and counts are refused and noted.
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(Host.Channel(), disp::JTagChannel_ShiftDRString, {Arg(5), Arg(1)}));
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call(Host.Channel(), disp::JTagChannel_LoadIR, {Arg(5)}));
  EXPECT_EQ(E_INVALIDARG, Call(Host.Channel(), disp::JTagChannel_MoveTAPState, {Arg(0), Arg(2)}));
  EXPECT_EQ(E_INVALIDARG, Call(Host.Channel(), disp::JTagChannel_LoadIR, {Arg(10), Arg(2)}));
}

TEST_F(SimChain, DeadPortAnswersItsStuckLevel) {
  struct Case {
    SimJtagDp::Dead Mode;
    unsigned Ack;
    std::uint32_t Data;
  } cases[] = {{SimJtagDp::Dead::AllOnes, 7, 0xFFFFFFFF}, {SimJtagDp::Dead::AllZeros, 0, 0}};
  for (const Case& c : cases) {
    Board->Dp().SetDead(c.Mode);
    Reply r = Host.Access(adi::IR_DPACC, adi::DP_CTRL_STAT, adi::CDBGPWRUPREQ, false);
    EXPECT_EQ(c.Ack, r.Ack);
    EXPECT_EQ(c.Data, r.Data);
    EXPECT_EQ(0u, Board->Dp().CtrlStat()) << "a dead port runs no request";
  }
  Board->Dp().SetDead(SimJtagDp::Dead::No);
  EXPECT_EQ(adi::ACK_OK_FAULT, Host.Access(adi::IR_DPACC, adi::DP_RDBUFF, 0, true).Ack);
}

TEST_F(SimChain, DeviceAnswersChannelIndexAndEchoesDebugRegisters) {
  IDispatch* device = Board->DeviceDispatch();
  Result r;
  ASSERT_EQ(S_OK, Call(device, disp::TovikDevice_WriteDebugRegister, {Arg(64), Arg(8), Arg(0x1A5)}));
  ASSERT_EQ(S_OK, Call(device, disp::TovikDevice_ReadDebugRegister, {Arg(64), Arg(8)}, &r));
  EXPECT_EQ(VT_I4, r.V.vt);
  EXPECT_EQ(0xA5, r.V.lVal);  // masked to the bits asked
  ASSERT_EQ(S_OK, Call(device, disp::TovikDevice_ReadDebugRegister, {Arg(64), Arg(32)}, &r));
  EXPECT_EQ(0x1A5, r.V.lVal);
  EXPECT_EQ(0x1A5u, Board->Device().DebugRegister(64));

  for (DISPID id : {disp::TovikDevice_TransactionBegin, disp::TovikDevice_TransactionBegin,
                    disp::TovikDevice_TransactionEnd, disp::TovikDevice_TransactionEnd, disp::TovikDevice_TransactionEnd})
    ASSERT_EQ(S_OK, Call(device, id, {}));
  EXPECT_EQ(2, Board->Device().TransactionBegins());
  EXPECT_EQ(2, Board->Device().TransactionEnds());
  EXPECT_EQ(1, Board->Device().UnmatchedEnds());

  ASSERT_EQ(S_OK, Call(device, disp::TovikDevice_GetDeviceName, {}, &r));
  EXPECT_STREQ(L"STM32F103RB", r.V.bstrVal);

  // The JTAG device at the index reports the port's code; without a channel the device answers none.
  ASSERT_EQ(S_OK, Call(Host.Channel(), disp::JTagChannel_GetJTagDevice, {Arg(1)}, &r));
  Result id;
  ASSERT_EQ(S_OK, Call(r.V.pdispVal, disp::JTagDevice_GetIdCode, {}, &id));
  EXPECT_EQ(0x3BA00477, id.V.lVal);
  Board->Device().SetChannelPresent(false);
  ASSERT_EQ(S_OK, Call(device, disp::TovikDevice_GetJTagChannel, {}, &r));
  EXPECT_EQ(VT_DISPATCH, r.V.vt);
  EXPECT_EQ(nullptr, r.V.pdispVal);
}

TEST_F(SimChain, ChannelAnswersItsPortAndCountsOpens) {
  Result r;
  ASSERT_EQ(S_OK, Call(Host.Channel(), disp::JTagChannel_Open, {}, &r));
  EXPECT_EQ(VARIANT_TRUE, r.V.boolVal);
  ASSERT_EQ(S_OK, Call(Host.Channel(), disp::JTagChannel_Close, {}));
  EXPECT_EQ(1, Board->Channel().Opens());
  EXPECT_EQ(1, Board->Channel().Closes());
  ASSERT_EQ(S_OK, Call(Host.Channel(), disp::JTagChannel_GetJtagPort, {}, &r));
  EXPECT_EQ(static_cast<IDispatch*>(&Board->Port()), r.V.pdispVal);
}

}  // namespace

}  // namespace simtest
