#pragma once
// A driver level that answers only what the constraint-file search and the
// loaders ask: its names and its memory spaces.
#include "Tovik.Classes.h"

#include <memory>
#include <vector>

namespace procdrv_test {

class TStubDevice : public tvk::TTovikDriver {
public:
  TStubDevice() : TTovikDriver(L".EDN") {}

  // Made as the module makes drivers; a driver counts no references, so the
  // test frees it.
  static std::unique_ptr<TStubDevice> Make() { return std::unique_ptr<TStubDevice>(tvk::New<TStubDevice>()); }

  tvk::IDeviceProcessorInformation ProcessorInformation;  // offered to the search when set

  std::wstring DeviceName = L"STM32F103RB", BaseName = L"STM32F103", FamilyName = L"STM32F1";
  std::vector<std::wstring> SpaceNames = {L"Mem"};
  HRESULT BaseNameResult = S_OK;
  int BaseNameCalls = 0;

  HRESULT GetDeviceName(tvk::WideString& r) override { return Answer(r, DeviceName); }
  HRESULT GetBaseName(tvk::WideString& r) override {
    ++BaseNameCalls;
    return FAILED(BaseNameResult) ? BaseNameResult : Answer(r, BaseName);
  }
  HRESULT GetFamilyName(tvk::WideString& r) override { return Answer(r, FamilyName); }
  HRESULT GetDeviceParameter(const tvk::WideString&, tvk::WideString& r) override { return Answer(r, L""); }
  HRESULT GetMemorySpaceCount(int32_t& r) override {
    r = int32_t(SpaceNames.size());
    return S_OK;
  }
  HRESULT GetMemorySpaceShortName(int32_t i, tvk::WideString& r) override {
    return Answer(r, SpaceNames.at(std::size_t(i)));
  }

  bool GetProcessorInformation(tvk::IDeviceProcessorInformation& info) override {
    info = ProcessorInformation;
    return bool(ProcessorInformation);
  }

private:
  static HRESULT Answer(tvk::WideString& r, const std::wstring& v) {
    r = v;
    return S_OK;
  }
};

}  // namespace procdrv_test
