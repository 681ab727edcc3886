// The flash memory utility dialog over recording writers: construction and
// settings, refused input, every job with its transaction and callback, abort.
#include "FlashDialogFixture.h"
#include "Tovik.Classes.FlashDevices.h"

#include <algorithm>

namespace flashdialog_test {

using tvk::TFlashMemoryUtilityForm;
using Log = std::vector<std::wstring>;

// The last flash space the writer was given.
Space LastSpace(const Writer& w) { return w.Spaces.empty() ? Space{-1, 0, 0, 0} : w.Spaces.back(); }

TEST_F(FlashDialog, OneWriterFillsTheFieldsFromItsSpaceAndServesTheCallbackUntilFreed) {
  TFlashMemoryUtilityForm& f = Open();
  EXPECT_TRUE(f.Initialized());
  EXPECT_EQ(1, List->Selections);  // the only entry selects writer 0
  EXPECT_EQ(0, f.FlashDeviceDropDownList->ItemIndex());
  for (auto* edit : {f.EditFlashBaseAddress, f.editTargetAddress, f.EditEraseStartAddress, f.EditEraseEndAddress})
    EXPECT_EQ(L"0x08000000", edit->Text());
  EXPECT_EQ(L"131072", f.EditFlashSize->Text());
  EXPECT_EQ(2, f.comboFlashWidths->Items().Count());  // 8 and 16; 32 unsupported
  EXPECT_EQ(L"16", f.comboFlashWidths->Text());
  for (auto* edit : {f.EditStartSectorNumber, f.EditEndSectorNumber, f.EditBlankCheckStart, f.EditBlankCheckEnd})
    EXPECT_EQ(L"0", edit->Text());
  EXPECT_EQ(L"Flash Memory Controller", f.Caption());
  EXPECT_EQ(670, f.Height());
  EXPECT_EQ(f.CallbackDispatch(), Main.Callback);
  EXPECT_EQ(L"KByte", f.comboFlashSizeUnits->Items().Get(1));
  EXPECT_EQ(0, f.comboFlashSizeUnits->ItemIndex());
  EXPECT_TRUE(Main.Log.empty());  // nothing is installed before a job
  Form.reset();
  EXPECT_EQ(nullptr, Main.Callback);  // an empty callback on every writer
}

// The writers' call logs keep the first dialog's callback, which goes with
// that dialog: a second dialog over the same writers works as the first.
TEST_F(FlashDialog, TwoDialogsMadeAndFreedInTurnOverTheSameWritersEachServeTheirJobs) {
  std::vector<IDispatch*> callbacks;
  for (int round = 0; round < 2; ++round) {
    TFlashMemoryUtilityForm& f = Open();
    EXPECT_EQ(f.CallbackDispatch(), Main.Callback) << round;
    callbacks.push_back(f.CallbackDispatch());
    std::vector<long> bar;
    Main.DuringJob = [&](Writer& w) {
      w.Progress(250 + round);
      bar.push_back(f.progressMainProgressBar->Position());
    };
    Main.Log.clear();
    f.ButtonEraseSectorRangeClick(nullptr);
    EXPECT_EQ((Log{L"install", L"erase 0 0 0", L"uninstall"}), Main.Log) << round;
    EXPECT_EQ(std::vector<long>{250 + round}, bar) << round;
    Main.DuringJob = nullptr;
    Form.reset();
    EXPECT_EQ(nullptr, Main.Callback) << round;
  }
  // Both callbacks are in the log by identity; the log goes with the writer.
  std::size_t logged = 0;
  for (const hostsim::LoggedCall& call : Main.Calls())
    if (call.Id == 508732 && call.Type(0) == VT_DISPATCH && call.Args[0].pdispVal)
      logged += std::find(callbacks.begin(), callbacks.end(), call.Args[0].pdispVal) != callbacks.end();
  EXPECT_EQ(2u, logged);
}

TEST_F(FlashDialog, AWriterWithoutSpacesGivesZeroAddressesAndAChangeOfWriterRereadsItsSpace) {
  Writer bare{L"Bare", {}};
  Writer other{L"Other", {{0, 0x10000000, 0x10400000, 16}}};
  TFlashMemoryUtilityForm& f = Open({&bare, &other});
  for (auto* edit : {f.EditFlashBaseAddress, f.editTargetAddress, f.EditEraseStartAddress, f.EditEraseEndAddress})
    EXPECT_EQ(L"0x00000000", edit->Text());
  EXPECT_EQ(0, List->Selections);  // two entries: nothing selected for the user
  f.FlashDeviceDropDownList->SetItemIndex(1);
  f.FlashDeviceChange(nullptr);
  EXPECT_EQ(&other, List->Selected);
  EXPECT_EQ(L"0x10000000", f.EditFlashBaseAddress->Text());
  EXPECT_EQ(L"4194304", f.EditFlashSize->Text());
  Form.reset();  // before its writers
}

// The module's serial writer (no design behind the link): one entry per
// device it knows, the SPI rows with their start values in place of the base
// address, the dialog 56 pixels taller and the size fixed.
TEST_F(FlashDialog, ASerialWriterShowsItsSPIRowsAndItsDevices) {
  tvk::ComRef<IDispatch> serial(static_cast<IDispatch*>(static_cast<tvk::TAbstractSupportService*>(
      tvk::New<tvk::TRemoteExecuteBaseDriverSerialFlash>(tvk::ITovikDriver(), false))));
  auto list = std::make_unique<hostsim::FakeHostObject>();
  list->ReturnInt(508745, 1);
  list->ReturnObject(508742, serial.Get());
  list->ReturnObject(508744, serial.Get());
  list->Accept(508743);
  Form = TFlashMemoryUtilityForm::Create(tvk::IFlashWriters(list.get()), tvk::IDeviceLink(Link.get()));
  TFlashMemoryUtilityForm& f = *Form;
  const tvk::TStrings& devices = f.FlashDeviceDropDownList->Items();
  ASSERT_LT(1, devices.Count());
  EXPECT_EQ(0, list->CallCount(508743)) << "several entries: the user chooses";
  EXPECT_NE(-1, devices.IndexOf(L"Embedded Flash - M25P80"));
  EXPECT_EQ(devices.IndexOf(tvk::IFlashWriter(serial.Get()).GetDriverDeviceTitle()),
            f.FlashDeviceDropDownList->ItemIndex());
  struct Row {
    tvk::TControl* Control;
    bool Visible, Enabled;
  } rows[] = {{f.SPIBaseAddressLabel, true, true},      {f.EditSPIBaseAddress, true, true},
              {f.SPIInstanceDropDownList, false, true}, {f.EditSPIClockFreq, true, true},
              {f.comboSPIClockFreqUnits, true, true},   {f.EditProcessorClockFreq, true, true},
              {f.comboProcClockFreqUnits, true, true},  {f.EditFlashBaseAddress, false, true},
              {f.ButtonCfiQuery, false, true},          {f.EditFlashSize, true, false},
              {f.comboFlashSizeUnits, true, false},     {f.comboFlashWidths, true, false}};
  for (const Row& row : rows) {
    EXPECT_EQ(row.Visible, row.Control->Visible()) << row.Control->Name();
    EXPECT_EQ(row.Enabled, row.Control->Enabled()) << row.Control->Name();
  }
  EXPECT_EQ(L"0xFF000000", f.EditSPIBaseAddress->Text());
  EXPECT_EQ(L"2500000", f.EditSPIClockFreq->Text());
  EXPECT_EQ(L"50000000", f.EditProcessorClockFreq->Text());
  EXPECT_EQ(670 + 56, f.Height());
  EXPECT_EQ(132, f.FlashSizeLabel->Top());
  EXPECT_EQ(f.XPGroupBox1->Top() + 134 + 56, f.XPGroupBox1->Top() + f.XPGroupBox1->Height());
  Form.reset();  // before its writer
}

TEST_F(FlashDialog, SettingsConfigureTheSpaceInBytesWithUnderscoresAndUnits) {
  TFlashMemoryUtilityForm& f = Open();
  struct Row {
    const wchar_t *Base, *Size;
    int Unit;
    unsigned long Start, End;
  } rows[] = {{L"0x0800_0000", L"1024", 0, 0x08000000, 0x08000400}, {L"0x20000000", L"2", 1, 0x20000000, 0x20000800},
              {L"0", L"1", 2, 0, 0x100000},         {L"0", L"16", 3, 0, 2},
              {L"0", L"1", 4, 0, 128},              {L"0", L"1", 5, 0, 131072},
              {L"0", L"-5", 1, 0, 0}};
  for (const Row& row : rows) {
    f.comboFlashSizeUnits->SetItemIndex(row.Unit);
    f.EditFlashSize->SetText(row.Size);
    f.EditFlashBaseAddress->SetText(row.Base);
    f.EditFlashBaseAddressChange(nullptr);
    const Space s = LastSpace(Main);
    EXPECT_EQ(0, s.Index) << row.Base;
    EXPECT_EQ(row.Start, s.Start) << row.Base << " " << row.Size;
    EXPECT_EQ(row.End, s.End) << row.Base << " " << row.Size;
    EXPECT_EQ(16, s.Width);
    EXPECT_EQ(row.Base, f.editTargetAddress->Text());  // erase and target follow the base as typed
    EXPECT_EQ(row.Base, f.EditEraseEndAddress->Text());
  }
  EXPECT_TRUE(Boxes.All().empty());
}

// Each refused input shows its exact message and starts no job.
TEST_F(FlashDialog, RefusedInputShowsItsMessageAndCallsNoWriter) {
  const std::wstring file = HexFile();
  struct Row {
    const char* Name;
    std::function<void(TFlashMemoryUtilityForm&)> Act;
    const wchar_t* Message;
  } rows[] = {
      {"base", [](auto& f) { f.EditFlashBaseAddress->SetText(L"0xZZ"); f.EditFlashBaseAddressChange(nullptr); },
       L"Please enter a valid base Flash address!"},
      {"size", [](auto& f) { f.EditFlashSize->SetText(L"12q"); f.EditFlashBaseAddressChange(nullptr); },
       L"Please enter a valid Flash size!"},
      {"spi base", [](auto& f) { f.EditSPIBaseAddress->SetText(L"?"); f.ButtonEraseSectorRangeClick(nullptr); },
       L"Please enter a valid base SPI address!"},
      {"spi clock", [](auto& f) { f.EditSPIClockFreq->SetText(L"?"); f.ButtonBlankCheckClick(nullptr); },
       L"Please enter a valid SPI clock frequency!"},
      {"cpu clock", [](auto& f) { f.EditProcessorClockFreq->SetText(L"?"); f.ButtonVerifyClick(nullptr); },
       L"Please enter a valid system clock frequency!"},
      {"target text", [](auto& f) { f.radioDownloadFileClick(nullptr); f.radioDownloadFile->SetChecked(true); f.editTargetAddress->SetText(L"0xZ1"); f.ButtonDownloadToFlashClick(nullptr); },
       L"Please enter a valid memory address!"},
      {"target outside", [](auto& f) { f.editTargetAddress->SetText(L"0x20000000"); f.ButtonVerifyClick(nullptr); },
       L"Target address is not within a valid flash memory space!"},
      {"erase start text", [](auto& f) { f.EditEraseStartAddress->SetText(L"0xG"); f.ButtonEraseAddressRangeClick(nullptr); },
       L"Please enter a valid memory address!"},
      {"erase start outside", [](auto& f) { f.EditEraseStartAddress->SetText(L"0x0"); f.ButtonEraseAddressRangeClick(nullptr); },
       L"Start address is not within a valid flash memory space!"},
      {"erase end outside", [](auto& f) { f.EditEraseEndAddress->SetText(L"0x09000000"); f.ButtonEraseAddressRangeClick(nullptr); },
       L"End address is not within a valid flash memory space!"},
      {"erase order", [](auto& f) { f.EditEraseStartAddress->SetText(L"0x08000800"); f.ButtonEraseAddressRangeClick(nullptr); },
       L"Start address must be less then or equal to END address!"},
      {"start sector", [](auto& f) { f.EditStartSectorNumber->SetText(L"x"); f.ButtonEraseSectorRangeClick(nullptr); },
       L"Please enter a valid start sector number!"},
      {"negative start sector", [](auto& f) { f.EditStartSectorNumber->SetText(L"-1"); f.ButtonEraseSectorRangeClick(nullptr); },
       L"Please enter a valid start sector number!"},
      {"negative end sector", [](auto& f) { f.EditEndSectorNumber->SetText(L"-2"); f.ButtonEraseSectorRangeClick(nullptr); },
       L"Please enter a valid end sector number!"},
      {"negative start in its change", [](auto& f) { f.EditStartSectorNumber->SetText(L"-3"); f.EditStartSectorNumberChange(nullptr); },
       L"Please enter a valid start sector number!"},
      {"negative blank start in its change", [](auto& f) { f.EditBlankCheckStart->SetText(L"-3"); f.EditBlankCheckStartChange(nullptr); },
       L"Please enter a valid start sector number!"},
      {"missing file", [](auto& f) { f.radioDownloadFile->SetChecked(true); f.radioDownloadFileClick(nullptr); f.EditFilename->SetText(L"C:\\nowhere\\none.hex"); f.ButtonDownloadToFlashClick(nullptr); },
       L"Please enter a valid file path!"},
  };
  TFlashMemoryUtilityForm& f = Open();
  for (const Row& row : rows) {
    // Each row starts from the dialog as it opened.
    Main.Spaces = {{0, 0x08000000, 0x08020000, 16}};
    f.SetDownloadMode(tvk::eDownloadMode_Project);
    f.UpdateFlashInformation();
    for (auto* edit : {f.EditStartSectorNumber, f.EditEndSectorNumber, f.EditBlankCheckStart, f.EditBlankCheckEnd})
      edit->SetText(L"0");
    f.EditFilename->SetText(L"");
    Main.Log.clear();
    Boxes.Clear();
    row.Act(f);
    ASSERT_FALSE(Boxes.All().empty()) << row.Name;
    EXPECT_EQ(row.Message, Boxes.All().front().Text) << row.Name;
    EXPECT_EQ(L"Error", Boxes.All().front().Caption) << row.Name;
    EXPECT_EQ(Log{}, Main.Log) << row.Name;
    EXPECT_EQ(tvk::eControlState_Idle, f.CurrentState()) << row.Name;
  }
}

TEST_F(FlashDialog, ANegativeBlankCheckSectorIsRefusedInsideItsTransaction) {
  TFlashMemoryUtilityForm& f = Open();
  f.EditBlankCheckEnd->SetText(L"-1");
  f.ButtonBlankCheckClick(nullptr);
  EXPECT_EQ((std::vector<std::wstring>{L"Please enter a valid END sector number!"}), Boxes.Texts());
  EXPECT_EQ((Log{L"install", L"uninstall"}), Main.Log);
}

TEST_F(FlashDialog, BadFilesGoThroughTheRealLoaderWhichReportsThem) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring elf = std::wstring(folder) + L"tvk_flashdialog.elf";
  testsupport::WriteBytes(elf, std::string("\x7F" "ELF\x01\x01\x01", 7));
  TFlashMemoryUtilityForm& f = Open();
  for (const std::wstring& file : {HexFile(":0400000001020304F3\r\n:00000001FF\r\n"), elf}) {
    f.radioDownloadFile->SetChecked(true);
    f.radioDownloadFileClick(nullptr);
    f.EditFilename->SetText(file);
    Boxes.Clear();
    Main.Log.clear();
    f.ButtonDownloadToFlashClick(nullptr);
    EXPECT_FALSE(Boxes.All().empty()) << "the loader tells the user";
    for (const std::wstring& text : Boxes.Texts()) EXPECT_EQ(std::wstring::npos, text.find(L"valid file path"));
    EXPECT_EQ(Log{}, Main.Log);
  }
}

TEST_F(FlashDialog, SectorRangeFiveToThreeErasesSectorFiveWithTheBarAtThousand) {
  TFlashMemoryUtilityForm& f = Open();
  std::vector<int> bar;
  std::vector<bool> abortShown;
  Main.DuringJob = [&](Writer&) {
    bar.push_back(f.progressMainProgressBar->Position());
    abortShown.push_back(f.buttonAbort->Visible() && !f.buttonClose->Visible() && !f.ButtonEraseSectorRange->Enabled());
  };
  f.EditStartSectorNumber->SetText(L"5");
  f.EditEndSectorNumber->SetText(L"3");
  f.ButtonEraseSectorRangeClick(nullptr);
  EXPECT_EQ(L"5", f.EditEndSectorNumber->Text());
  EXPECT_EQ((std::vector<std::wstring>{L"Confirm erase sectors:  5  ->  5?"}), Boxes.Texts());
  EXPECT_EQ((Log{L"install", L"erase 0 5 5", L"uninstall"}), Main.Log);
  EXPECT_EQ(std::vector<int>{0}, bar);
  EXPECT_EQ(std::vector<bool>{true}, abortShown);
  EXPECT_EQ(0, f.progressMainProgressBar->Position());
  EXPECT_FALSE(f.progressMainProgressBar->Visible());
  EXPECT_FALSE(f.buttonAbort->Visible());
  EXPECT_TRUE(f.ButtonEraseSectorRange->Enabled());
  EXPECT_TRUE(f.buttonClose->Enabled());
  EXPECT_TRUE(f.buttonClose->Visible());
}

TEST_F(FlashDialog, AddressRangeErasesWholeSectorsOrWritesBackAroundTheRange) {
  TFlashMemoryUtilityForm& f = Open();
  f.EditEraseStartAddress->SetText(L"0x08000010");
  f.EditEraseEndAddress->SetText(L"0x08000020");
  f.ButtonEraseAddressRangeClick(nullptr);
  EXPECT_EQ((std::vector<std::wstring>{L"Confirm erase address range:0x08000010 -> 0x08000020 ?"}), Boxes.Texts());
  EXPECT_EQ((Log{L"install", L"erase 0 0 0", L"uninstall"}), Main.Log);

  Main.Log.clear();
  f.CheckPreserveData->SetChecked(true);
  f.ButtonEraseAddressRangeClick(nullptr);
  // 0xFF over the range, preserve and verify on, checksum and reset off.
  EXPECT_EQ((Log{L"install", L"program 0 0101", L"uninstall"}), Main.Log);
  EXPECT_EQ(0x11, Main.ImageLength);

  Main.Log.clear();
  Boxes.AnswerNext({IDCANCEL});
  f.ButtonEraseAddressRangeClick(nullptr);
  EXPECT_EQ(Log{}, Main.Log);
}

TEST_F(FlashDialog, WholeDeviceErasesEverySpaceInOneCommandOrSectorBySector) {
  Main.Spaces = {{0, 0x08000000, 0x08000C00, 16}, {3, 0x08000000, 0x08000800, 16}};
  TFlashMemoryUtilityForm& f = Open();
  Main.Spaces = {{0, 0x08000000, 0x08000C00, 16}, {3, 0x08000000, 0x08000800, 16}};
  Main.EraseDeviceInOne = true;
  f.ButtonEraseEntireDeviceClick(nullptr);
  EXPECT_EQ((std::vector<std::wstring>{L"Erase entire device ?"}), Boxes.Texts());
  EXPECT_EQ((Log{L"install", L"erase device 0", L"erase device 3", L"uninstall"}), Main.Log);

  Main.Log.clear();
  Main.EraseDeviceInOne = false;
  f.ButtonEraseEntireDeviceClick(nullptr);
  EXPECT_EQ((Log{L"install", L"erase 0 0 0", L"erase 0 1 1", L"erase 0 2 2", L"erase 3 0 0", L"erase 3 1 1",
                 L"uninstall"}),
            Main.Log);

  Main.Log.clear();
  Main.Spaces = {{0, 0x08000000, 0x08000100, 16}, {3, 0x08000000, 0x08000800, 16}};  // ends in sector 0
  f.ButtonEraseEntireDeviceClick(nullptr);
  EXPECT_EQ((Log{L"install", L"uninstall"}), Main.Log);
}

TEST_F(FlashDialog, BlankCheckAsksForEachNonBlankSectorAndOnlyThenSaysAllBlank) {
  TFlashMemoryUtilityForm& f = Open();
  Main.NonBlank = {1, 3};
  f.EditBlankCheckStart->SetText(L"0");
  f.EditBlankCheckEnd->SetText(L"3");
  f.ButtonBlankCheckClick(nullptr);
  EXPECT_EQ((std::vector<std::wstring>{L"Sector [1] not blank!\r\nContinue checking ?",
                                       L"Sector [3] not blank!\r\nContinue checking ?"}),
            Boxes.Texts());
  EXPECT_EQ((Log{L"install", L"blank 0", L"blank 1", L"blank 2", L"blank 3", L"uninstall"}), Main.Log);

  Boxes.Clear();
  Main.Log.clear();
  Boxes.AnswerNext({IDCANCEL});
  f.ButtonBlankCheckClick(nullptr);
  EXPECT_EQ((Log{L"install", L"blank 0", L"blank 1", L"uninstall"}), Main.Log);

  Boxes.Clear();
  Main.NonBlank.clear();
  f.ButtonBlankCheckClick(nullptr);
  EXPECT_EQ((std::vector<std::wstring>{L"All valid sectors within the selected range are blank."}), Boxes.Texts());
  EXPECT_EQ(L"Information", Boxes.All().back().Caption);

  // Only a sector above the space's end is questioned.
  Boxes.Clear();
  Boxes.AnswerNext({IDCANCEL});
  f.EditBlankCheckStart->SetText(L"200");
  f.EditBlankCheckEnd->SetText(L"200");
  f.ButtonBlankCheckClick(nullptr);
  EXPECT_EQ((std::vector<std::wstring>{
                L"Entered start sector number exceeds total sectors reported for this device!\r\nContinue anyway?"}),
            Boxes.Texts());
}

TEST_F(FlashDialog, VerifyReportsComparedBytesAndDifferences) {
  TFlashMemoryUtilityForm& f = Open();
  f.radioDownloadFile->SetChecked(true);
  f.radioDownloadFileClick(nullptr);
  f.EditFilename->SetText(L"  " + HexFile() + L" ");
  for (long differences : {0L, 3L}) {
    Boxes.Clear();
    Main.Log.clear();
    Main.Differences = differences;
    f.ButtonVerifyClick(nullptr);
    ASSERT_EQ(1u, Boxes.All().size());
    EXPECT_EQ(L"Compare File to Flash", Boxes.All()[0].Caption);
    EXPECT_EQ(differences == 0 ? L"Compared Bytes: 4\r\nFile and Flash are identical"
                               : L"Compared Bytes: 4\r\nThere are (3) differences.",
              Boxes.All()[0].Text);
    EXPECT_EQ((Log{L"install", L"compare 0 134217728 4", L"uninstall"}), Main.Log);
    EXPECT_EQ(4, Main.ImageLength);
  }
}

TEST_F(FlashDialog, DownloadPassesTheOptionsInOrderAndReportsAFailedStatus) {
  TFlashMemoryUtilityForm& f = Open();
  f.radioDownloadFile->SetChecked(true);
  f.radioDownloadFileClick(nullptr);
  f.EditFilename->SetText(HexFile());
  f.CheckVerifyWrite->SetChecked(true);
  f.ButtonDownloadToFlashClick(nullptr);
  // File mode: checksum off; preserve off, reset on, verify on.
  EXPECT_EQ((Log{L"install", L"program 0 0011", L"uninstall"}), Main.Log);
  EXPECT_TRUE(Boxes.All().empty());

  Main.ProgramStatus = 7;
  f.CheckPreserveSectorData->SetChecked(true);
  f.CheckResetDeviceAfterLoad->SetChecked(false);
  f.ButtonDownloadToFlashClick(nullptr);
  EXPECT_EQ(L"program 0 0101", Main.Log[4]);
  EXPECT_EQ((std::vector<std::wstring>{L"Download failed (status 7)!"}), Boxes.Texts());
}

TEST_F(FlashDialog, ProjectModeWithoutAProjectEndsSilently) {
  TFlashMemoryUtilityForm& f = Open();
  EXPECT_EQ(tvk::eDownloadMode_Project, f.CurrentDownloadMode());
  EXPECT_TRUE(f.CheckAutoChecksum->Checked());
  EXPECT_FALSE(f.editTargetAddress->Enabled());
  f.ButtonDownloadToFlashClick(nullptr);
  EXPECT_TRUE(Boxes.All().empty());
  EXPECT_EQ(Log{}, Main.Log);
}

TEST_F(FlashDialog, AWriterThatRaisesStillEndsTheTransaction) {
  TFlashMemoryUtilityForm& f = Open();
  Main.FailEraseWith = E_FAIL;
  EXPECT_ANY_THROW(f.ButtonEraseSectorRangeClick(nullptr));
  EXPECT_EQ((Log{L"install", L"erase 0 0 0", L"uninstall"}), Main.Log);
  EXPECT_EQ(tvk::eControlState_Idle, f.CurrentState());
  EXPECT_FALSE(f.buttonAbort->Visible());
  EXPECT_FALSE(f.progressMainProgressBar->Visible());
}

SHORT EscapeDown(int key) { return key == VK_ESCAPE ? SHORT(0x8000) : 0; }

TEST_F(FlashDialog, AbortByButtonOrEscapeReachesTheWriterAndIsClearedForTheNextJob) {
  TFlashMemoryUtilityForm& f = Open();
  std::vector<bool> asked;
  std::vector<long> progress;
  Main.DuringJob = [&](Writer& w) {
    asked.push_back(w.AbortRequested());
    f.buttonAbortClick(nullptr);
    asked.push_back(w.AbortRequested());
    w.Progress(370);
    progress.push_back(f.progressMainProgressBar->Position());
  };
  f.ButtonEraseSectorRangeClick(nullptr);
  EXPECT_EQ((std::vector<bool>{false, true}), asked);
  EXPECT_EQ(std::vector<long>{370}, progress);
  EXPECT_FALSE(f.AbortRequested());

  asked.clear();
  Main.DuringJob = [&](Writer& w) {
    asked.push_back(w.AbortRequested());
    tvk::SetKeyStateReader(&EscapeDown);
    asked.push_back(w.AbortRequested());
    tvk::SetKeyStateReader(nullptr);
  };
  f.ButtonEraseSectorRangeClick(nullptr);
  EXPECT_EQ((std::vector<bool>{false, true}), asked);
  EXPECT_FALSE(f.AbortRequested());
}

TEST_F(FlashDialog, TheCallbackAnswersOnlyItsTwoIdentifiers) {
  TFlashMemoryUtilityForm& f = Open();
  IDispatch* callback = f.CallbackDispatch();
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  EXPECT_EQ(HRESULT(0x80004001), callback->Invoke(508714, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
  EXPECT_EQ(E_UNEXPECTED, callback->Invoke(508715, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
  VARIANT text;
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(L"many");
  DISPPARAMS one{&text, nullptr, 1, 0};
  EXPECT_EQ(E_UNEXPECTED, callback->Invoke(508715, IID_NULL, 0, DISPATCH_METHOD, &one, nullptr, nullptr, nullptr));
  VariantClear(&text);
  EXPECT_EQ(1u, callback->AddRef());
  EXPECT_EQ(1u, callback->Release());
}

}  // namespace flashdialog_test
