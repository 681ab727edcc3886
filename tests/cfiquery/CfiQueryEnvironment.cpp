// The run stands between the start-up and shut-down of what the flash dialog
// and its CFI report need, as in the module: the styled controls, the
// in-place editors and the tree list, the driver user interface, the device
// table and the driver.
#include "CfiQueryTest.h"

#include "ControlSteps.h"
#include "Device_ST_CortexM3_Data.h"
#include "DriverExports.h"
#include "DriverUISteps.h"
#include "EditorSteps.h"
#include "TreeListSteps.h"
#include "ZUL.DispatchFix.h"
#include "dxCore.h"
#include "support/FolderTests.h"

#include <objbase.h>

namespace cfiquery_test {

namespace {

constexpr tvk::TInitStep kSteps[] = {
    tvk::TInitStep{"ZUL.DispatchFix", &tvk::DispatchFixStartup, nullptr},
    TVK_STYLED_CONTROLS_STEPS
    tvk::TInitStep{"dxCore", &tvk::DxCoreUnitStartup, &tvk::DxCoreUnitShutdown},
    TVK_EDITORS_CLASSIC_STEPS
    TVK_TREELIST_STEPS
    TVK_DRIVER_UI_STEPS
    tvk::TInitStep{"device data", &tvk::DeviceDataUnitStartup, &tvk::DeviceDataUnitShutdown},
    tvk::TInitStep{"driver", &tvk::DriverUnitStartup, &tvk::DriverUnitShutdown},
};

class CfiQueryEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(tvk::RunStartup(kSteps));
  }
  void TearDown() override {
    tvk::RunShutdown(kSteps);
    CoUninitialize();
  }
};

TVK_FOLDER_ENVIRONMENT(CfiQueryEnvironment);

}  // namespace

std::vector<std::wstring> Lines(const tvk::TdxTreeList& tree) {
  std::vector<std::wstring> lines;
  for (int i = 0; i < tree.Count(); ++i) lines.push_back(tree.GetItem(i)->GetString(0));
  return lines;
}

std::vector<std::wstring> ReadTreeLines(HWND window) {
  auto* tree = dynamic_cast<tvk::TdxTreeList*>(tvk::TWinControl::FindControl(window));
  return tree ? Lines(*tree) : std::vector<std::wstring>{L"(not a tree list)"};
}

}  // namespace cfiquery_test
