// Renders the real flash memory utility dialog into PNG files: over one
// writer, over two, over the CFI writer before a query (job groups
// disabled) and after one (enabled, the queried space in the fields), during
// a job (Abort over Close, progress 370) and over a serial writer (its SPI
// rows); and the CFI report for a two-region answer and for the simulated
// board's NOR.
//
// usage: flash_utility_screens OUTPUT_FOLDER     (scripts/screenshots.sh runs it)
#include "ScreenshotProgram.h"
#include "ControlSteps.h"
#include "FakeHostObject.h"
#include "ModuleInit.h"
#include "PngImage.h"
#include "ScreenshotImages.h"
#include "SimDeviceLink.h"
#include "Tovik.Classes.CortexM3Flash.h"
#include "Tovik.Form.CfiFlashQuery.h"
#include "Tovik.Form.FlashMemoryUtility.h"
#include "TreeListSteps.h"
#include "dxCore.h"
#include "EditorSteps.h"
#include "ZUL.DispatchFix.h"

#include <objbase.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

using namespace tvk;

namespace {

constexpr TInitStep kSteps[] = {TVK_STYLED_CONTROLS_STEPS TInitStep{"dxCore", &DxCoreUnitStartup, &DxCoreUnitShutdown},
                                TVK_EDITORS_CLASSIC_STEPS TVK_TREELIST_STEPS};

// A writer of the host's kind with one flash space of Size bytes at Base.
hostsim::FakeHostObject* HostWriter(const std::wstring& title, long base = 0x08000000, long size = 0x20000) {
  auto* w = new hostsim::FakeHostObject;
  w->ReturnString(508695, title);
  w->ReturnInt(508726, 1);
  w->On(508746, [base, size](std::vector<VARIANT*>& a, VARIANT*) {
    const long values[] = {0, base, base + size, 16};
    for (int k = 0; k < 4; ++k)
      if (a[std::size_t(k + 1)]->vt == (VT_BYREF | VT_I4)) *a[std::size_t(k + 1)]->plVal = values[k];
    return S_OK;
  });
  w->ReturnBool(508733, true);
  w->ReturnInt(508734, 16);
  for (DISPID id : {508725, 508727, 508732}) w->Accept(id);
  return w;
}

// The driver's list of the given writers (counted), the first selected at first.
hostsim::FakeHostObject* HostWriters(std::vector<IDispatch*> writers) {
  auto* list = new hostsim::FakeHostObject;
  auto selected = std::make_shared<IDispatch*>(writers.front());
  list->ReturnInt(508745, long(writers.size()));
  list->On(508742, [writers](std::vector<VARIANT*>& a, VARIANT* r) {
    hostsim::SetResultObject(r, writers.at(std::size_t(a[0]->lVal)));
    return S_OK;
  });
  list->On(508744, [selected](std::vector<VARIANT*>&, VARIANT* r) {
    hostsim::SetResultObject(r, *selected);
    return S_OK;
  });
  list->On(508743, [writers, selected](std::vector<VARIANT*>& a, VARIANT*) {
    for (IDispatch* w : writers)
      if (a[0]->vt == VT_DISPATCH && a[0]->pdispVal == w) *selected = w;
    return S_OK;
  });
  return list;
}

// Blocks - 1 in bits 0-15, the block size / 256 in bits 16-31.
constexpr uint32_t EraseRegion(uint32_t blocks, uint32_t sizeBy256) { return (blocks - 1) | sizeBy256 << 16; }

// Two regions: 8 blocks of 16 KB and 2 of 32 KB in 2 MB, 16 bits wide.
constexpr std::array<uint32_t, 8> kTwoRegionAnswer = {1, 21, 2, 2, EraseRegion(8, 64), EraseRegion(2, 128)};
// What the simulated board's NOR answers (the tests' CFI road): 8 sectors of
// 8 KB and 63 of 64 KB in 4 MB, 16 bits wide.
constexpr std::array<uint32_t, 8> kSimulatedNorAnswer = {2, 22, 2, 2, EraseRegion(8, 32), EraseRegion(63, 256)};

// The module's CFI writer answering a query with Answer, as a chip would.
class TAnsweringCfiWriter : public TCFI_FLASH_ARM_CORTEX_M3 {
public:
  TAnsweringCfiWriter(std::array<uint32_t, 8> answer) : TCFI_FLASH_ARM_CORTEX_M3(ITovikDriver(), false), FAnswer(answer) {}
  bool QueryFlash(TRemoteCommandResult& Result) override {
    Result.statusCode = 0;
    Result.resultArray = FAnswer;
    FQueryOk = true;
    FCommandSet = FAnswer[0];
    FBaseAddress = FlashStart();
    FSize = int64_t(1) << FAnswer[1];
    FSupportedWidths = FAnswer[2];
    FNumberOfEraseBlockRegions = std::min(FAnswer[3], kMaxEraseBlockRegions);
    for (uint32_t k = 0; k < FNumberOfEraseBlockRegions; ++k) FEraseBlockRegions[k] = FAnswer[4 + k];
    return true;
  }

private:
  std::array<uint32_t, 8> FAnswer;
};

// The dialog as shown on screen, frame and caption included: its buttons are
// the system's, which paint only in a shown window.
void Shoot(TCustomForm& form, const std::string& folder, const char* file) {
  form.SetLeft(20);
  form.SetTop(20);
  form.Show();
  Application().ProcessMessages();
  RECT r{};
  GetWindowRect(form.Handle(), &r);
  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  shot.SetSize(r.right - r.left, r.bottom - r.top);
  CopyWindow(form.Handle(), shot.Canvas(), 0, 0);
  SavePng(shot, folder, file, "flash dialog");
  form.Hide();
}

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "flash_utility_screens", kSteps, [](const std::string& folder) {
    DispatchFixStartup();  // the records' calls, as the module's start-up installs them
    auto link = hostsim::SimRef<hostsim::SimDeviceLink>::Adopt(new hostsim::SimDeviceLink(L"STM32F103RB"));
    const IDeviceLink deviceLink(link.Get());
    auto one = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(HostWriter(L"STM32F10x Internal Flash"));
    auto two = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(HostWriter(L"External NOR Flash", 0x60000000, 0x400000));
    {
      auto list = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(HostWriters({one.Get()}));
      auto form = TFlashMemoryUtilityForm::Create(IFlashWriters(list.Get()), deviceLink);
      Shoot(*form, folder, "flash_utility_one_writer.png");
      form->SetControllerState(eControlState_Working, true);
      form->progressMainProgressBar->SetVisible(true);
      form->SetProgress(370);
      Shoot(*form, folder, "flash_utility_job_running.png");
    }
    {
      auto list = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(HostWriters({one.Get(), two.Get()}));
      auto form = TFlashMemoryUtilityForm::Create(IFlashWriters(list.Get()), deviceLink);
      form->ShowAdvancedPanel(true);
      // The second writer chosen: its own space fills the address fields.
      form->FlashDeviceDropDownList->SetItemIndex(1);
      form->FlashDeviceChange(nullptr);
      Shoot(*form, folder, "flash_utility_two_writers.png");
    }
    // The module's CFI writer before and after a query its flash answers as
    // the simulated NOR does: the query's steps but the writer's program,
    // which needs a chip.
    {
      ComRef<IDispatch> writer(static_cast<IDispatch*>(
          static_cast<TAbstractSupportService*>(New<TAnsweringCfiWriter>(kSimulatedNorAnswer))));
      auto list = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(HostWriters({writer.Get()}));
      auto form = TFlashMemoryUtilityForm::Create(IFlashWriters(list.Get()), deviceLink);
      form->ShowAdvancedPanel(true);
      form->EditFlashBaseAddress->SetText(L"0x10000000");
      Shoot(*form, folder, "flash_utility_cfi_writer.png");
      ComRef<IFlashWriterFace> face;
      writer->QueryInterface(IID_IFlashWriterFace, reinterpret_cast<void**>(face.Receive()));
      TRemoteCommandResult result;
      face->QueryFlash(result);
      TCfiFlashQueryForm* report = TCfiFlashQueryForm::Create(form.get(), result);
      Shoot(*report, folder, "cfi_report_simulated_nor.png");
      form->ConfigureFlashMemorySpace(face->BaseAddress(), face->Size(), IFlashWriter(writer.Get()).GetDefaultFlashWidth());
      form->UpdateFlashInformation();
      Shoot(*form, folder, "flash_utility_cfi_after_query.png");
      TRemoteCommandResult example;
      example.resultArray = kTwoRegionAnswer;
      Shoot(*TCfiFlashQueryForm::Create(form.get(), example), folder, "cfi_report_two_regions.png");
    }
    // The module's serial writer, without a driver behind it.
    {
      ComRef<IDispatch> writer(static_cast<IDispatch*>(static_cast<TAbstractSupportService*>(
          New<TRemoteExecuteBaseDriverSerialFlash>(ITovikDriver(), false))));
      auto list = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(HostWriters({writer.Get()}));
      auto form = TFlashMemoryUtilityForm::Create(IFlashWriters(list.Get()), deviceLink);
      form->ShowAdvancedPanel(true);
      Shoot(*form, folder, "flash_utility_serial_writer.png");
    }
  });
}
