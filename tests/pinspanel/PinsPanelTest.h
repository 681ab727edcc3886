#pragma once
// The pin-state panel on real windows through the simulated host: a small
// boundary-scan description built in code, a host JTAG device handing it
// out, a host device, and the host's panels and options.
#include "SimClient.h"
#include "SimHost.h"
#include "SimPanels.h"
#include "Tovik.Classes.BSDL.h"
#include "Tovik.Form.HardDeviceViewer_PinsPanel.h"
#include "ZUL.Util.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace pinspanel_test {

// Pins in description order: PA0 (10) with cell 2 whose control is 0 and
// target 1; an unnamed pin (11) whose cell names the port PB5; VDD (12), a
// power pin without cells.
std::unique_ptr<tvk::TBSDLEntity> MakeDescription();

class PinsPanel : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // The panel made and registered as the viewer makes it.
  tvk::THardDevicePinsPanel* Create();
  // Removes the panel's view (the host frees the panel) and runs the messages.
  void Destroy();
  tvk::TdxTreeListNode* Row(int index) const { return Panel->PinList->GetItem(index); }

  hostsim::SimClient Host;
  std::unique_ptr<hostsim::SimPanelHost> Panels;
  std::unique_ptr<tvk::TBSDLEntity> Description;
  hostsim::SimRef<hostsim::SimJtagDevice> JTag;
  hostsim::FakeHostObject* Device = nullptr;  // the viewer's reference
  tvk::THardDevicePinsPanel* Panel = nullptr;
};

}  // namespace pinspanel_test
