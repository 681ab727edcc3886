// The ARM panel over the board's device: polls of the halted and the running
// core, real clicks on its keys, the debugger request.
#include "RackPanelTest.h"

#include "support/RecordedDialogs.h"

#include <algorithm>
#include <cwctype>

namespace rackpanel_test {
namespace {

using tvk::TARM_BaseInstrumentForm;

constexpr DISPID kGetStateText = 503645, kStep = 503648, kGetPC = 503662, kGetSP = 503663, kGetSpace = 503664,
                 kGetDriver = 503635, kContinue = 503798, kDriverStep = 503794, kRunProcess = 625;

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return wchar_t(std::towlower(c)); });
  return text;
}

class ArmPanel : public RackPanel {
protected:
  void SetUp() override {
    RackPanel::SetUp();
    if (HasFatalFailure()) return;
    HaltAt(kLoop);
    Panel = MakePanel();
    Panel->Show();
    Board->Device().ClearCalls();
  }
  void TearDown() override {
    Panel.reset();
    RackPanel::TearDown();
  }
  std::vector<std::wstring> Fields() const {
    return {Text(Panel->Label_Edit_PC), Text(Panel->Label_Edit_SP), Text(Panel->Label_Edit_Instruction),
            Text(Panel->Label_Edit_Assembler)};
  }
  std::unique_ptr<TARM_BaseInstrumentForm> Panel;
};

TEST_F(ArmPanel, APollOfTheHaltedCoreShowsItsRegistersAndInstruction) {
  Tick(*Panel);
  const auto fields = Fields();
  EXPECT_EQ(L"0x08000100", fields[0]);
  EXPECT_EQ(L"0x20005000", fields[1]);
  EXPECT_EQ(L"0xBF00", fields[2]);  // 00 BF, little-endian Thumb
  EXPECT_NE(std::wstring::npos, Lower(fields[3]).find(L"nop")) << fields[3];
  EXPECT_FALSE(Panel->CheckBox_Running->Checked());
  EXPECT_FALSE(Panel->CheckBox_Reset->Checked());
  EXPECT_FALSE(Panel->Polling());
  // A second poll at the same address shows the disassembler's kept text.
  Tick(*Panel);
  EXPECT_EQ(fields, Fields());
}

// The "arm" target decodes Thumb halfword by halfword: the first halfword of a
// 32-bit instruction is what the fields show.
TEST_F(ArmPanel, AThumb2InstructionShowsItsFirstHalfword) {
  constexpr std::uint32_t kCall = kLoop + 0x40;  // BL back to the loop
  ASSERT_TRUE(Board->Chip().LoadHalfwords(kCall, {0xF7FF, 0xFFDE}));
  HaltAt(kCall);
  Tick(*Panel);
  EXPECT_EQ(L"0xF7FF", Text(Panel->Label_Edit_Instruction));
  EXPECT_NE(std::wstring::npos, Lower(Text(Panel->Label_Edit_Assembler)).find(L"0xf7ff"));
}

TEST_F(ArmPanel, ABigEndianArmWordIsAssembledFromTheFirstCell) {
  // A driver in ARM state in front of the real one's memory.
  auto armState = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  armState->ReturnBool(503803, false);
  Board->Device().ReturnObject(kGetDriver, armState.Get());
  Board->Device().SetLittleEndian(false);
  constexpr std::uint32_t kWord = kLoop + 0x80;
  ASSERT_TRUE(Board->Chip().LoadHalfwords(kWord, {0x3412, 0x7856}));  // bytes 12 34 56 78
  HaltAt(kWord);
  Tick(*Panel);
  EXPECT_EQ(L"0x12345678", Text(Panel->Label_Edit_Instruction));
}

TEST_F(ArmPanel, WhileRunningTheFieldsAreEmptyAndNothingIsRead) {
  Tick(*Panel);
  ASSERT_EQ(S_OK, Call(Driver, kContinue).Hr);
  Board->Device().ClearCalls();
  Board->Device().On(kGetStateText, [](std::vector<VARIANT*>&, VARIANT* r) {
    hostsim::SetResultString(r, L"rUNNING");  // any letter case
    return S_OK;
  });
  Tick(*Panel);
  EXPECT_EQ(std::vector<std::wstring>(4), Fields());
  EXPECT_TRUE(Panel->CheckBox_Running->Checked());
  for (DISPID id : {kGetPC, kGetSP, kGetSpace, kGetDriver}) EXPECT_EQ(0u, DeviceCalls(id)) << id;
}

TEST_F(ArmPanel, NoPollWhileHiddenUntickedOrAlreadyPolling) {
  Panel->Hide();
  Tick(*Panel);
  EXPECT_EQ(0u, DeviceCalls(kGetStateText));
  Panel->Show();

  // A poll that lets a tick through (a message loop inside a host call) runs once.
  int nested = 0;
  Board->Device().On(kGetStateText, [&](std::vector<VARIANT*>&, VARIANT* r) {
    ++nested;
    Tick(*Panel);
    hostsim::SetResultString(r, L"Running");
    return S_OK;
  });
  Tick(*Panel);
  EXPECT_EQ(1, nested);
  EXPECT_FALSE(Panel->Polling());

  // Unticking stops the timer and keeps the fields.
  Panel->Label_Edit_PC->SetCaption(L"kept");
  ASSERT_TRUE(hostsim::ClickModuleControl(Panel->Handle(), L"CheckBox_Polling"));
  EXPECT_FALSE(Panel->CheckBox_Polling->Checked());
  EXPECT_FALSE(Panel->Timer_Polling->Enabled());
  Tick(*Panel);
  EXPECT_EQ(1, nested);
  EXPECT_EQ(L"kept", Text(Panel->Label_Edit_PC));
  ASSERT_TRUE(hostsim::ClickModuleControl(Panel->Handle(), L"CheckBox_Polling"));
  EXPECT_TRUE(Panel->Timer_Polling->Enabled());
}

TEST_F(ArmPanel, RealClicksOnTheKeysDriveTheCore) {
  ASSERT_TRUE(hostsim::ClickModuleControl(Panel->Handle(), L"Button_Continue"));
  EXPECT_TRUE(Call(Driver, kProcessorIsRunning).Bool());
  ASSERT_TRUE(hostsim::ClickModuleControl(Panel->Handle(), L"Button_Pause"));
  EXPECT_FALSE(Call(Driver, kProcessorIsRunning).Bool());
  EXPECT_TRUE(Board->Chip().Halted());
  ASSERT_TRUE(hostsim::ClickModuleControl(Panel->Handle(), L"Button_Reset"));
  EXPECT_EQ(1u, DeviceCalls(503650));

  // Step: the running lamp is lit during the step call and out after it.
  std::vector<bool> litDuringStep;
  Board->Device().On(kStep, [&](std::vector<VARIANT*>&, VARIANT*) {
    litDuringStep.push_back(Panel->CheckBox_Running->Checked());
    return hostsim::CallModule(Driver, kDriverStep).Result;
  });
  const std::uint32_t before = Board->Chip().CoreRegisterValue(15);
  ASSERT_TRUE(hostsim::ClickModuleControl(Panel->Handle(), L"Button_Step"));
  EXPECT_EQ(std::vector<bool>{true}, litDuringStep);
  EXPECT_FALSE(Panel->CheckBox_Running->Checked());
  EXPECT_NE(before, Board->Chip().CoreRegisterValue(15));

  // A step that fails leaves the lamp lit; the error stops at the window
  // procedure, which reports it as the class library does.
  Board->Device().On(kStep, [](std::vector<VARIANT*>&, VARIANT*) { return E_FAIL; });
  RecordedDialogs dialogs;
  ASSERT_TRUE(hostsim::ClickModuleControl(Panel->Handle(), L"Button_Step"));
  EXPECT_TRUE(Panel->CheckBox_Running->Checked());
  EXPECT_EQ(1u, dialogs.All().size());
}

TEST_F(ArmPanel, TheDebuggerKeyAsksForTheDebuggerPanelOfTheDevice) {
  Board->Device().SetDeviceId(L"ABC");
  Host.Client().ClearCalls();
  ASSERT_TRUE(hostsim::ClickModuleControl(Panel->Handle(), L"Button_TovikDebugger"));
  ASSERT_EQ(1u, Host.Client().CallCount(kRunProcess));
  for (const hostsim::LoggedCall& call : Host.Client().Calls())
    if (call.Id == kRunProcess) {
      EXPECT_EQ(L"Client:CustomizeResources", call.Str(0));
      EXPECT_EQ(L"ObjectKind=Panel|Action=Show|Id=TovikDebuggerABC", call.Str(1));
    }
}

}  // namespace
}  // namespace rackpanel_test
