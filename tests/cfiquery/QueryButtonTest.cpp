// The flash dialog's Query button, clicked through window messages, over a
// writer of the host's kind that also shows the module's CFI face and
// answers the query as each test says.
#include "CfiQueryTest.h"

#include "Exception.h"
#include "SimScript.h"
#include "Tovik.FlashWriterFace.h"
#include "Tovik.Form.CfiFlashQuery.h"
#include "flashdialog/FlashDialogFixture.h"

#include <array>
#include <functional>

namespace cfiquery_test {

using flashdialog_test::Space;
using Log = std::vector<std::wstring>;

// A CFI writer whose query answers Answer (status Status) or runs Raise.
class CfiWriter : public flashdialog_test::Writer, public tvk::IFlashWriterFace {
public:
  CfiWriter() : Writer(L"CFI Flash Device", {{0, 0x10000000, 0x12000000, 16}}) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out && IsEqualIID(iid, tvk::IID_IFlashWriterFace)) {
      *out = static_cast<tvk::IFlashWriterFace*>(this);
      AddRef();
      return S_OK;
    }
    return Writer::QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return Writer::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return Writer::Release(); }

  tvk::TFlashWriterKind WriterKind() override { return tvk::TFlashWriterKind::fwkCFI; }
  bool GetSPIData(const tvk::IDeviceLink&, bool&, bool&) override { return false; }
  const tvk::TSPIList& SPIList() const override { return FNoSPI; }
  const tvk::TSPIData& SelectedSPI() const override { return FNoSPIData; }
  void SetSelectedSPI(const tvk::WideString&) override {}
  void SetSelectedSPIData(const tvk::TSPIData&) override {}
  void SetSelectedDevice(const tvk::WideString&) override {}
  bool GetFlashData(const tvk::IProject&) override { return false; }
  int64_t BaseAddress() const override { return FBase; }
  int64_t Size() const override { return FSize; }
  bool QueryOk() const override { return FQueryOk; }
  // As the module's writer: the query runs at the first space's start.
  bool QueryFlash(tvk::TRemoteCommandResult& Result) override {
    Log.push_back(L"query " + std::to_wstring(Spaces.empty() ? 0 : Spaces[0].Start));
    if (Raise) Raise();
    Result = tvk::TRemoteCommandResult{Status, Answer};
    FQueryOk = Status == 0;
    if (FQueryOk) {
      FBase = Spaces.empty() ? 0 : Spaces[0].Start;
      FSize = Answer[1] < 63 ? int64_t(1) << Answer[1] : -1;
    }
    return FQueryOk;
  }

  std::uint32_t Status = 0;
  std::array<std::uint32_t, 8> Answer{1, 21, 2, 2, 0x00400007, 0x00800001};
  std::function<void()> Raise;

private:
  tvk::TSPIList FNoSPI;
  tvk::TSPIData FNoSPIData;
  bool FQueryOk = false;
  int64_t FBase = -1, FSize = -1;
};

class CfiQueryButton : public flashdialog_test::FlashDialog {
protected:
  tvk::TFlashMemoryUtilityForm& OpenCfi() { return Open({&Cfi}); }
  // The dialog shown modally while Script plays, closed with Close at its end.
  void Run(hostsim::SimScript& script) {
    script.Click(L"buttonClose");
    script.Start();
    Form->ShowModal();
    EXPECT_TRUE(script.Finished()) << testing::PrintToString(script.Failure());
    EXPECT_FALSE(script.Failed()) << testing::PrintToString(script.Failure());
  }
  bool JobsEnabled() const {
    return Form->ButtonDownloadToFlash->Enabled() && Form->ButtonEraseSectorRange->Enabled() &&
           Form->ButtonBlankCheck->Enabled() && Form->EditFlashSize->Enabled();
  }
  bool JobsDisabled() const {
    return !Form->ButtonDownloadToFlash->Enabled() && !Form->ButtonEraseSectorRange->Enabled() &&
           !Form->ButtonBlankCheck->Enabled() && !Form->EditFlashSize->Enabled();
  }

  CfiWriter Cfi;
};

TEST_F(CfiQueryButton, OnlyTheCFIWriterShowsTheButtonAndOnlyItQueries) {
  tvk::TFlashMemoryUtilityForm& f = Open();
  EXPECT_FALSE(f.ButtonCfiQuery->Visible());
  f.ButtonCfiQueryClick(nullptr);
  EXPECT_EQ(Log{}, Main.Log);
  EXPECT_TRUE(Boxes.All().empty());
  Form.reset();
  tvk::TFlashMemoryUtilityForm& cfi = OpenCfi();
  EXPECT_TRUE(cfi.ButtonCfiQuery->Visible());
  EXPECT_TRUE(JobsDisabled()) << "no query yet";
}

// The report shows the answer and closes on Enter; then the writer gets the
// queried space and the jobs are enabled. Moving the base away disables
// them again.
TEST_F(CfiQueryButton, ASuccessfulQueryShowsTheReportThenConfiguresTheQueriedSpace) {
  OpenCfi();
  Cfi.ClearCalls();
  hostsim::SimScript script;
  for (int query = 0; query < 2; ++query)
    script.Click(L"ButtonCfiQuery")
        .Read(L"Tree_CfiQuery", &ReadTreeLines)
        .Key(VK_RETURN)
        .WaitFor(L"the query's end", [this] { return Cfi.Log.back() == L"uninstall"; });
  Run(script);
  ASSERT_EQ(2u, script.Readings().size());
  EXPECT_EQ(script.Readings()[0], script.Readings()[1]);
  EXPECT_EQ((std::vector<std::wstring>{
                L"Primary vendor command set: Intel/Sharp Extended Command Set", L"Size: 2097152 (Hex: 0x00200000)",
                L"Supported widths: 16", L"Number of erase block regions: 2", L"Erase Block Region 1: 8 x 16K",
                L"Erase Block Region 2: 2 x 32K"}),
            script.Readings()[0]);
  EXPECT_EQ((Log{L"install", L"query 268435456", L"uninstall", L"install", L"query 268435456", L"uninstall"}),
            Cfi.Log);
  EXPECT_TRUE(Boxes.All().empty());
  // Each time cleared, then the one queried space: base, base + 2 MB, the default width.
  std::vector<DISPID> spaceCalls;
  for (const hostsim::LoggedCall& call : Cfi.Calls())
    if (call.Id == 508725 || call.Id == 508727) spaceCalls.push_back(call.Id);
  EXPECT_EQ((std::vector<DISPID>{508725, 508727, 508725, 508727}), spaceCalls);
  ASSERT_EQ(1u, Cfi.Spaces.size());
  EXPECT_EQ(0x10000000u, Cfi.Spaces[0].Start);
  EXPECT_EQ(0x10200000u, Cfi.Spaces[0].End);
  EXPECT_EQ(16, Cfi.Spaces[0].Width);
  EXPECT_TRUE(JobsEnabled());
  EXPECT_EQ(L"0x10000000", Form->EditFlashBaseAddress->Text());
  EXPECT_EQ(L"2097152", Form->EditFlashSize->Text());
  // Each query showed a report of its own, owned by the dialog.
  int reports = 0;
  for (int i = 0; i < Form->ComponentCount(); ++i)
    reports += dynamic_cast<tvk::TCfiFlashQueryForm*>(Form->Components(i)) != nullptr;
  EXPECT_EQ(2, reports);

  Form->EditFlashBaseAddress->SetText(L"0x10100000");
  EXPECT_TRUE(JobsDisabled());
  Form->EditFlashBaseAddress->SetText(L"0x10000000");
  EXPECT_TRUE(JobsEnabled());
}

TEST_F(CfiQueryButton, AFailedQueryNamesTheParsedAddressAndLeavesTheJobsDisabled) {
  OpenCfi();
  Cfi.Status = 3;
  hostsim::SimScript script;
  script.Paste(L"EditFlashBaseAddress", L"0x1400_0000").Click(L"ButtonCfiQuery");
  Run(script);
  EXPECT_EQ((std::vector<std::wstring>{L"No CFI flash detected at address 0x14000000 !"}), Boxes.Texts());
  EXPECT_EQ(L"Error", Boxes.All()[0].Caption);
  EXPECT_EQ((Log{L"install", L"query 335544320", L"uninstall"}), Cfi.Log);
  EXPECT_TRUE(JobsDisabled());
  EXPECT_EQ(tvk::eControlState_Idle, Form->CurrentState());
}

TEST_F(CfiQueryButton, ABaseAddressThatDoesNotParseStartsNoTransaction) {
  OpenCfi();
  hostsim::SimScript script;
  script.Paste(L"EditFlashBaseAddress", L"0xZZ").Click(L"ButtonCfiQuery");
  Run(script);
  // The edit itself complains first, as it does at every change.
  EXPECT_EQ((std::vector<std::wstring>{L"Please enter a valid base Flash address!",
                                       L"Please enter a valid memory address!"}),
            Boxes.Texts());
  EXPECT_EQ(Log{}, Cfi.Log);
}

// The writer raising, or an answer whose size no integer holds: the user
// sees the error, the transaction ends, nothing is configured or refreshed.
TEST_F(CfiQueryButton, AnErrorEndsTheTransactionAndSkipsTheRefresh) {
  struct Row {
    const char* Name;
    std::function<void(CfiWriter&)> Arm;
    std::wstring Message;
  } rows[] = {
      {"the writer raises", [](CfiWriter& w) { w.Raise = [] { throw tvk::Exception(L"The chip did not answer"); }; },
       L"The chip did not answer."},
      {"a size of 2^63", [](CfiWriter& w) { w.Answer[1] = 63; }, L"The flash size 2^63 is out of range."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    Cfi.Raise = nullptr;
    Cfi.Answer[1] = 21;
    row.Arm(Cfi);
    OpenCfi();
    Cfi.Log.clear();
    Cfi.ClearCalls();
    Boxes.Clear();
    hostsim::SimScript script;
    script.Click(L"ButtonCfiQuery");
    Run(script);
    EXPECT_EQ(std::vector<std::wstring>{row.Message}, Boxes.Texts());
    EXPECT_EQ((Log{L"install", L"query 268435456", L"uninstall"}), Cfi.Log);
    EXPECT_EQ(0u, Cfi.CallCount(508725)) << "nothing configured";
    EXPECT_EQ(0u, Cfi.CallCount(508734)) << "no refresh";
    EXPECT_EQ(tvk::eControlState_Idle, Form->CurrentState());
    EXPECT_FALSE(Form->buttonAbort->Visible());
    Form.reset();
  }
}

}  // namespace cfiquery_test
