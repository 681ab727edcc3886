// Renders the real flash memory utility dialog into PNG files: over one
// writer, over two, over the CFI writer before a query (job groups
// disabled), during a job (Abort over Close, progress 370) and over a serial
// writer (its SPI rows).
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
#include "Tovik.Form.FlashMemoryUtility.h"
#include "ZUL.DispatchFix.h"

#include <objbase.h>

#include <memory>
#include <string>
#include <vector>

using namespace tvk;

namespace {

constexpr TInitStep kSteps[] = {TVK_STYLED_CONTROLS_STEPS};

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

// The dialog as shown on screen, frame and caption included: its buttons are
// the system's, which paint only in a shown window.
void Shoot(TFlashMemoryUtilityForm& form, const std::string& folder, const char* file) {
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
  SavePng(shot, folder, file, "flash utility dialog");
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
    // The module's own CFI and serial writers, without a driver behind them.
    for (bool serial : {false, true}) {
      ComRef<IDispatch> writer;
      if (serial)
        writer = ComRef<IDispatch>(static_cast<IDispatch*>(static_cast<TAbstractSupportService*>(
            New<TRemoteExecuteBaseDriverSerialFlash>(ITovikDriver(), false))));
      else
        writer = ComRef<IDispatch>(static_cast<IDispatch*>(static_cast<TAbstractSupportService*>(
            New<TCFI_FLASH_ARM_CORTEX_M3>(ITovikDriver(), false))));
      auto list = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(HostWriters({writer.Get()}));
      auto form = TFlashMemoryUtilityForm::Create(IFlashWriters(list.Get()), deviceLink);
      form->ShowAdvancedPanel(true);
      Shoot(*form, folder, serial ? "flash_utility_serial_writer.png" : "flash_utility_cfi_writer.png");
    }
  });
}
