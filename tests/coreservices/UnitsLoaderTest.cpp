// The units loader: deferred start-up, finalise procedures run on removal,
// an explicit Initialize and Finalize, and the unit's shut-down check.
#include "CoreServicesTest.h"

#include "ModuleInit.h"

#include <array>
#include <string>

using namespace tvk;
using coreservices_test::CoreServices;

namespace {

std::string sLog;

void InitA() { sLog += "iA "; }
void InitB() { sLog += "iB "; }
void FinalA() { sLog += "fA "; }
void FinalB() { sLog += "fB "; }
void FinalC() { sLog += "fC "; }
void InitQueuesAnother() {
  sLog += "iQ ";
  GetUnitsLoader().AddUnit(&InitB, nullptr);
}

class UnitsLoader : public CoreServices {
protected:
  void SetUp() override { sLog.clear(); }
};

TEST_F(UnitsLoader, AddUnitQueuesTheStartUpAndRemoveUnitRunsTheShutDownOnce) {
  ASSERT_TRUE(IsUnitLoadingDeferred());
  TdxUnitsLoader& loader = GetUnitsLoader();
  EXPECT_EQ(&loader, &GetUnitsLoader());
  loader.AddUnit(&InitA, &FinalA);
  loader.AddUnit(nullptr, &FinalB);
  loader.AddUnit(&InitB, nullptr);
  EXPECT_EQ("", sLog) << "deferred: no initialise procedure runs";
  EXPECT_EQ(2, loader.InitializeCount());
  EXPECT_EQ(2, loader.FinalizeCount());

  loader.RemoveUnit(&FinalA);  // its unit never started: it runs all the same
  EXPECT_EQ("fA ", sLog);
  loader.RemoveUnit(&FinalA);
  loader.RemoveUnit(&FinalC);  // never queued
  loader.RemoveUnit(nullptr);
  EXPECT_EQ("fA ", sLog);
  loader.RemoveUnit(&FinalB);
  EXPECT_EQ("fA fB ", sLog);
  EXPECT_EQ(0, loader.FinalizeCount());
}

TEST_F(UnitsLoader, FinalizeWithoutInitializeRunsNothingAndEmptiesTheList) {
  TdxUnitsLoader& loader = GetUnitsLoader();
  loader.AddUnit(&InitA, &FinalA);
  loader.AddUnit(&InitB, &FinalB);
  loader.Finalize();
  EXPECT_EQ("", sLog);
  EXPECT_EQ(0, loader.FinalizeCount());
}

TEST_F(UnitsLoader, InitializeRunsTheQueueInOrderThenFinalizeRunsLastToFirst) {
  TdxUnitsLoader& loader = GetUnitsLoader();
  loader.AddUnit(&InitA, &FinalA);
  loader.AddUnit(&InitQueuesAnother, &FinalB);
  loader.AddUnit(nullptr, &FinalC);
  loader.Initialize();
  EXPECT_EQ("iA iQ iB ", sLog) << "what a procedure queues runs in the same round";
  EXPECT_EQ(0, loader.InitializeCount());
  sLog.clear();
  loader.Finalize();
  EXPECT_EQ("fC fB fA ", sLog);
  EXPECT_EQ(0, loader.FinalizeCount());
  sLog.clear();
  loader.AddUnit(nullptr, &FinalA);
  loader.Finalize();  // the mark went with the last Finalize
  EXPECT_EQ("", sLog);
}

TEST_F(UnitsLoader, ShutDownWithAFinaliseProcedureLeftRaisesAndKeepsTheLoader) {
  GetResourceStringsRepository().RegisterProduct(L"Alpha", nullptr);
  TdxUnitsLoader& loader = GetUnitsLoader();
  loader.AddUnit(&InitA, &FinalA);
  try {
    DxCoreUnitShutdown();
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(L"Need call dxFinalize before free library!", e.Message());
  }
  EXPECT_EQ(0, GetResourceStringsRepository().ProductsCount()) << "the repository went first";
  EXPECT_EQ(&loader, &GetUnitsLoader()) << "the loader stays";
  EXPECT_EQ("", sLog);

  // The module's start-up frame holds the error: its shut-down returns normally.
  static constexpr std::array kSteps = {TInitStep{"dxCore", &DxCoreUnitStartup, &DxCoreUnitShutdown}};
  ASSERT_TRUE(RunStartup(kSteps));
  RunShutdown(kSteps);
  EXPECT_EQ(1, GetUnitsLoader().FinalizeCount());

  loader.RemoveUnit(&FinalA);
  EXPECT_EQ("fA ", sLog);
  EXPECT_EQ(1, loader.InitializeCount());
  DxCoreUnitShutdown();  // now nothing is left: the loader goes
  EXPECT_EQ(0, GetUnitsLoader().InitializeCount()) << "a new loader";
}

}  // namespace
