// Guarded calls into the probe library: an entry point the library lacks is
// not called (224), a fault inside the library ends the call with 225 and the
// process carries on, and the binding follows the handle the host lends.
#include "JlinkFixture.h"
#include "Tovik.ARM.Jlink.h"
#include "support/HostCall.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace jlink_test {
using tvk::TJlink;

namespace {

int* volatile gNowhere = nullptr;

TEST(ForeignCall, AFaultEndsTheCallAndTheThreadCarriesOn) {
  int completed = 0, faulted = 0;
  for (int round = 0; round < 200; ++round) {
    int value = 0;
    const bool ran = tvk::CallForeign([&] {
      value = 1;
      if (round % 2) *gNowhere = round;  // write to address 0
      value = 2;
    });
    if (ran) {
      ++completed;
      EXPECT_EQ(2, value);
    } else {
      ++faulted;
      EXPECT_EQ(1, value);
      EXPECT_EQ(DWORD(EXCEPTION_ACCESS_VIOLATION), tvk::LastForeignFault());
    }
  }
  EXPECT_EQ(100, completed);
  EXPECT_EQ(100, faulted);
  // The module's own exceptions still work after the landings.
  EXPECT_THROW(tvk::CheckResult(E_FAIL), tvk::EResultError);
}

TEST(ForeignCall, AnInnerGuardLandsInItsOwnCall) {
  bool inner = true;
  const bool outer = tvk::CallForeign([&] { inner = tvk::CallForeign([] { *gNowhere = 1; }); });
  EXPECT_TRUE(outer);
  EXPECT_FALSE(inner);
}

class JlinkGuard : public ::testing::Test, protected JlinkBoard {};

TEST_F(JlinkGuard, EveryEntryPointIsBoundByNameInTableOrder) {
  auto jlink = TJlink::CreateJlinkDriver(Library->Handle());
  ASSERT_EQ(57u, jlink->FunctionList().size());
  for (std::size_t k = 0; k < 57; ++k) {
    const tvk::TJlinkFunction& f = jlink->FunctionList()[k];
    EXPECT_STREQ(tvk::jlink::kEntryPointNames[k], f.Name);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(Library->Handle(), f.Name)), f.Func) << f.Name;
    EXPECT_NE(nullptr, f.Func) << f.Name;
  }
  EXPECT_STREQ("JLINKARM_Open", jlink->FunctionList().front().Name);
  EXPECT_STREQ("JLINKARM_EMU_GetList", jlink->FunctionList().back().Name);
  EXPECT_FALSE(jlink->OwnsLibrary());
  std::uint32_t handle = 0;
  EXPECT_EQ(S_OK, jlink->GetJlinkHandle(handle));
  EXPECT_EQ(Library->HandleBits(), handle);
}

TEST_F(JlinkGuard, TheBindingsAnswerTheJlinkDriverIdentifierAndCountNoReferences) {
  auto jlink = TJlink::CreateJlinkDriver(Library->Handle());
  tvk::TARMJlink arm;
  struct Case {
    IDispatch* Object;
    long Handle;
  } cases[] = {{jlink.get(), long(Library->HandleBits())}, {&arm, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(ULONG(-1), c.Object->AddRef());
    EXPECT_EQ(ULONG(-1), c.Object->Release());
    const testsupport::TCall call = testsupport::Call(c.Object, 503880);
    EXPECT_EQ(S_OK, call.Hr);
    EXPECT_EQ(VT_I4, call.Result.Type());
    EXPECT_EQ(c.Handle, call.Int());
    EXPECT_TRUE(testsupport::Supports(c.Object, L"JlinkDriver"));
  }
}

TEST_F(JlinkGuard, AMissingEntryPointIsNotCalledAndItsAnswerReadsZero) {
  SimJlinkLibrary lacking(LackingStandInPath());
  ASSERT_TRUE(lacking.Loaded());
  lacking.Connect(&Chip);
  lacking.OpenProbe();
  auto jlink = TJlink::CreateJlinkDriver(lacking.Handle());
  lacking.TakeLog();

  std::int32_t handle = 7;
  EXPECT_EQ(tvk::kJlinkCallMissing, jlink->JLINKARM_SetBPEx(0x08000010u, tvk::jlink::kBreakpointAny, handle));
  EXPECT_EQ(0, handle);
  std::uint16_t half = 0xFFFF;
  std::uint8_t status = 0;
  std::int32_t answer = 5;
  EXPECT_EQ(tvk::kJlinkCallMissing, jlink->JLINKARM_ReadMemU16(kSram, 1u, &half, &status, answer));
  EXPECT_EQ(0, answer);
  // What it has is called as usual.
  std::uint32_t word = 0;
  EXPECT_EQ(tvk::kJlinkCallDone, jlink->JLINKARM_ReadMemU32(kFlash, 1u, &word, &status, answer));
  EXPECT_EQ(Chip.PeekWord(kFlash), word);
  EXPECT_EQ(Log{"JLINKARM_ReadMemU32(0x8000000, 0x1, buffer, buffer)"}, lacking.TakeLog());
}

TEST_F(JlinkGuard, IsConnectedAndResetNoHaltAreBoundButNeverCalled) {
  auto jlink = TJlink::CreateJlinkDriver(Library->Handle());
  EXPECT_NE(nullptr, jlink->FunctionList()[tvk::jlink::eJLINKARM_IsConnected].Func);
  std::uint8_t connected = 9;
  EXPECT_EQ(tvk::kJlinkCallMissing, jlink->JLINKARM_IsConnected(connected));
  EXPECT_EQ(0, connected);
  EXPECT_EQ(tvk::kJlinkCallMissing, jlink->JLINKARM_ResetNoHalt());
  EXPECT_EQ(Log{}, Library->TakeLog());
}

// What the library leaves unhandled ends the call with 225, a processor fault
// or an exception of its own alike; what it throws and catches itself is its
// own business, and the call answers as usual.
TEST_F(JlinkGuard, AnExceptionTheLibraryLeavesUnhandledAnswers225AndTheNextCallWorks) {
  using TFault = SimJlinkLibrary::TFault;
  const struct Case {
    TFault Kind;
    std::uint32_t Status;  // of the faulting entry point's calls
    DWORD Code;            // the last fault afterwards
  } cases[] = {
      {TFault::Processor, tvk::kJlinkCallRaised, DWORD(EXCEPTION_ACCESS_VIOLATION)},
      {TFault::Raised, tvk::kJlinkCallRaised, 0xE04A4C4Bu},
      {TFault::CaughtThrow, tvk::kJlinkCallDone, 0},
  };
  auto jlink = TJlink::CreateJlinkDriver(Library->Handle());
  Chip.LoadWords(kSram, {0x11223344});
  for (const Case& c : cases) {
    for (const char* faulting : {"JLINKARM_ReadMemU32", "JLINKARM_GoEx", "JLINKARM_ReadMem"}) {
      SCOPED_TRACE(testing::Message() << faulting << " kind " << int(c.Kind));
      const auto want = [&](const char* entry) {
        return std::strcmp(entry, faulting) ? tvk::kJlinkCallDone : c.Status;
      };
      Library->FaultIn(faulting, c.Kind);
      Library->TakeLog();
      std::uint32_t word = 0;
      std::uint8_t status = 0, bytes[4] = {};
      std::int32_t answer = 3, read = 3;
      for (int round = 0; round < 20; ++round) {
        word = 0;
        EXPECT_EQ(want("JLINKARM_ReadMemU32"), jlink->JLINKARM_ReadMemU32(kSram, 1u, &word, &status, answer));
        EXPECT_EQ(want("JLINKARM_GoEx"), jlink->JLINKARM_GoEx(5u, 1u));
        EXPECT_EQ(want("JLINKARM_ReadMem"), jlink->JLINKARM_ReadMem(kSram, 4u, static_cast<void*>(bytes), read));
      }
      // What a faulting call did not deliver reads as 0; a call that ran delivered it.
      const bool readDone = want("JLINKARM_ReadMemU32") == tvk::kJlinkCallDone;
      EXPECT_EQ(readDone ? 1 : 0, answer);
      EXPECT_EQ(readDone ? 0x11223344u : 0u, word);
      if (c.Code) {
        EXPECT_EQ(c.Code, tvk::LastForeignFault());
      }
      if (c.Kind == TFault::CaughtThrow) {
        const Log log = Library->TakeLog();
        EXPECT_EQ(20, std::count(log.begin(), log.end(), "caught"));
      }
      Library->FaultIn("");
      EXPECT_EQ(tvk::kJlinkCallDone, jlink->JLINKARM_ReadMemU32(kSram, 1u, &word, &status, answer));
      EXPECT_EQ(0x11223344u, word);
      EXPECT_EQ(1, answer);
    }
  }
  // The module's own exceptions still work after the landings.
  EXPECT_THROW(tvk::CheckResult(E_FAIL), tvk::EResultError);
}

TEST_F(JlinkGuard, ABindingOnTheHostsHandleLeavesTheLibraryLoaded) {
  SimJlinkLibrary second(LackingStandInPath());
  {
    auto jlink = TJlink::CreateJlinkDriver(second.Handle());
    jlink->Rebind(Library->Handle());
    EXPECT_EQ(Library->Handle(), jlink->Handle());
    EXPECT_NE(nullptr, jlink->FunctionList()[tvk::jlink::eJLINKARM_SetBPEx].Func);
  }
  // Both libraries are still the host's to free.
  EXPECT_EQ(second.Handle(), GetModuleHandleW(L"JLINKARM-lacking.dll"));
  EXPECT_EQ(Library->Handle(), GetModuleHandleW(L"JLINKARM.dll"));
}

}  // namespace

}  // namespace jlink_test
