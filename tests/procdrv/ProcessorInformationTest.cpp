// The processor description table, read through the served operations.
#include <gtest/gtest.h>

#include "Tovik.Classes.h"
#include "support/HostCall.h"

namespace {

using namespace testsupport;

constexpr DISPID kFamily = 503886, kArch = 503887, kCore = 503888, kTarget = 503889, kToolChain = 503890;

struct TAnchor {
  int Core;
  const wchar_t *CoreString, *Arch, *Family, *ToolChain, *Target;
};

// The first and last row of each group, and the rows that stand alone.
const TAnchor kAnchors[] = {
    {0, L"UNKNOWN", L"UNKNOWN", L"UNKNOWN", L"BRELMOX UNKNOWN", L"UNKNOWN"},
    {1, L"ARMvGENERIC", L"ARMvGeneric", L"ARMvGENERIC", L"BRELMOX ARM", L"UNKNOWN"},
    {5, L"ARM2a", L"ARMv2a", L"ARM3", L"BRELMOX ARM", L"UNKNOWN"},
    {6, L"ARM610", L"ARMv3", L"ARM6", L"BRELMOX ARM", L"UNKNOWN"},
    {7, L"ARM7TDMI_S", L"ARMv4T", L"ARM7TDMI", L"BRELMOX ARM", L"ARMv4T"},
    {10, L"ARM740T", L"ARMv4T", L"ARM7TDMI", L"BRELMOX ARM", L"ARMv4T"},
    {11, L"ARM7EJ_S", L"ARMv5TEJ", L"ARM7TDMI", L"BRELMOX ARM", L"ARMv4T"},
    {15, L"ARM940T", L"ARMv4T", L"ARM9TDMI", L"BRELMOX ARM", L"ARMv4T"},
    {19, L"ARM926EJ_S", L"ARMv5TEJ", L"ARM9E", L"BRELMOX ARM", L"ARMv5TE"},
    {20, L"ARM996HS", L"ARMv5TE", L"ARM9E", L"BRELMOX ARM", L"ARMv5TE"},
    {23, L"ARM1026EJ_S", L"ARMv5TEJ", L"ARM10E", L"BRELMOX ARM", L"ARMv5TE"},
    {24, L"ARM_80200", L"ARMv5TE", L"XSCALE", L"BRELMOX ARM", L"XScale"},
    {47, L"ARM_IXP465", L"ARMv5TE", L"XSCALE", L"BRELMOX ARM", L"XScale"},
    {48, L"ARM1136J_F_S", L"ARMv6", L"ARM11", L"BRELMOX ARM", L"UNKNOWN"},
    {51, L"ARM11MPCORE", L"ARMv6K", L"ARM11", L"BRELMOX ARM", L"UNKNOWN"},
    {54, L"ARM_CORTEX_R4_F", L"ARMv7_R", L"CORTEX", L"BRELMOX ARM", L"UNKNOWN"},
    {55, L"ARM_CORTEX_M3", L"ARMv7_M", L"CORTEX", L"BRELMOX ARM", L"ARMv7M"},
    {56, L"ARM_CORTEX_M1", L"ARMv6_M", L"CORTEX", L"BRELMOX ARM", L"UNKNOWN"},
    {57, L"ARM_CORTEX_M0", L"ARMv6_M", L"CORTEX", L"BRELMOX ARM", L"ARMv6M"},
    {61, L"BRX165D", L"BRX165x", L"BRX165x", L"BRELMOX 165x", L"BRX165D"},
    {62, L"BRX3000", L"BRX3000", L"BRX3000", L"BRELMOX 3000", L"BRX3000"},
    {63, L"BRX51A", L"BRX51X", L"BRX51X", L"BRELMOX 8051", L"BRX51A"},
    {65, L"BRX52B", L"BRX52X", L"BRX52X", L"BRELMOX 8051", L"BRX52B"},
    {66, L"MicroBlaze", L"MicroBlaze", L"MicroBlaze", L"BRELMOX MicroBlaze", L"MB"},
    {68, L"MIPS32r2", L"MIPS", L"MIPS", L"BRELMOX UNKNOWN", L"MIPS32r2"},
    {70, L"NiosII_f", L"NiosII", L"NiosII", L"BRELMOX NiosII", L"NiosIIf"},
    {72, L"PPC_405", L"PowerPC", L"PowerPC", L"BRELMOX PowerPC", L"405"},
    {73, L"BRX80A", L"BRX80x", L"BRX80x", L"BRELMOX Z80", L"BRX80A"},
    {74, L"CoreMP7", L"ARMv4T", L"ARM7TDMI", L"BRELMOX ARM", L"ARMv4T"},
};

TEST(ProcessorInformation, AnchorRowsAnswerTheirFiveStrings) {
  for (const auto& a : kAnchors) {
    tvk::ComRef<IDispatch> info(
        static_cast<IDispatch*>(tvk::New<tvk::TDeviceProcessorInformation>(tvk::TDeviceProcessor_Core(a.Core))));
    const std::pair<DISPID, const wchar_t*> expected[] = {
        {kCore, a.CoreString}, {kArch, a.Arch}, {kFamily, a.Family}, {kToolChain, a.ToolChain}, {kTarget, a.Target}};
    for (auto [id, text] : expected) {
      TCall c = Call(info.Get(), id);
      ASSERT_EQ(S_OK, c.Hr) << a.Core << " " << id;
      EXPECT_EQ(text, c.Text()) << "core " << a.Core << " identifier " << id;
    }
  }
}

TEST(ProcessorInformation, ACoreOutsideTheEnumerationFailsWithUnexpected) {
  for (int core : {-1, 75}) {
    tvk::ComRef<IDispatch> info(
        static_cast<IDispatch*>(tvk::New<tvk::TDeviceProcessorInformation>(tvk::TDeviceProcessor_Core(core))));
    for (DISPID id : {kFamily, kArch, kCore, kTarget, kToolChain})
      EXPECT_EQ(HRESULT(0x8000FFFFL), Call(info.Get(), id).Hr) << core << " " << id;
  }
}

}  // namespace
