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

// A writer of the host's kind with one flash space of 128 KB at 0x08000000.
hostsim::FakeHostObject* HostWriter(const std::wstring& title) {
  auto* w = new hostsim::FakeHostObject;
  w->ReturnString(508695, title);
  w->ReturnInt(508726, 1);
  w->On(508746, [](std::vector<VARIANT*>& a, VARIANT*) {
    const long values[] = {0, 0x08000000, 0x08020000, 16};
    for (int k = 0; k < 4; ++k)
      if (a[std::size_t(k + 1)]->vt == (VT_BYREF | VT_I4)) *a[std::size_t(k + 1)]->plVal = values[k];
    return S_OK;
  });
  w->ReturnBool(508733, true);
  w->ReturnInt(508734, 16);
  for (DISPID id : {508725, 508727, 508732}) w->Accept(id);
  return w;
}

// The driver's list of the given writers (counted), the first selected.
hostsim::FakeHostObject* HostWriters(std::vector<IDispatch*> writers) {
  auto* list = new hostsim::FakeHostObject;
  list->ReturnInt(508745, long(writers.size()));
  list->On(508742, [writers](std::vector<VARIANT*>& a, VARIANT* r) {
    hostsim::SetResultObject(r, writers.at(std::size_t(a[0]->lVal)));
    return S_OK;
  });
  list->ReturnObject(508744, writers.front());
  list->Accept(508743);
  return list;
}

void Shoot(TFlashMemoryUtilityForm& form, const std::string& folder, const char* file) {
  form.HandleNeeded();
  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  shot.SetSize(form.ClientWidth(), form.ClientHeight());
  RenderControl(form, shot.Canvas().Handle(), 0, 0);
  SavePng(shot, folder, file, "flash utility dialog");
}

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "flash_utility_screens", kSteps, [](const std::string& folder) {
    DispatchFixStartup();  // the records' calls, as the module's start-up installs them
    auto link = hostsim::SimRef<hostsim::SimDeviceLink>::Adopt(new hostsim::SimDeviceLink(L"STM32F103RB"));
    const IDeviceLink deviceLink(link.Get());
    auto one = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(HostWriter(L"STM32F10x Internal Flash"));
    auto two = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(HostWriter(L"External NOR Flash"));
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
