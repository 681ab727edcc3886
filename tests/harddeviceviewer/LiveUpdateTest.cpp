// What the documents are given for pin values, the bus display shared by a
// bus's bits, the data-model batch, and the memory of the last notification.
#include "ViewerTest.h"

#include "Tovik.Form.HardDeviceViewer_LiveUpdate.h"

namespace harddeviceviewer_test {
namespace {

constexpr DISPID kBeginUpdate = 510196, kEndUpdate = 510197;

TEST(BusDisplay, AtLeastFourUpperCaseHexDigits) {
  const std::pair<uint32_t, const wchar_t*> cases[] = {
      {0, L"0000"}, {5, L"0005"}, {0xABC, L"0ABC"}, {0xBEEF, L"BEEF"}, {0x12345, L"12345"}, {0xFFFFFFFF, L"FFFFFFFF"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(text, tvk::BusDisplayText(value)) << value;
}

TEST(BusDisplay, EachBitChangesOnlyItsOwnBit) {
  // A four-bit bus showing 0005: bit 1 goes high, then bit 0 goes low.
  tvk::WideString shown = L"0005";
  shown = tvk::BusDisplayText(tvk::UpdatedBusValue(shown, 1, 1));
  EXPECT_EQ(L"0007", shown);
  shown = tvk::BusDisplayText(tvk::UpdatedBusValue(shown, 0, 0));
  EXPECT_EQ(L"0006", shown);

  struct Case {
    const wchar_t* Current;
    int32_t Bit, Value;
    uint32_t Result;
  };
  const Case cases[] = {
      {L"", 3, 1, 0x8},              // nothing shown yet counts as 0
      {L"1", 0, 0, 0x0},             // the decimal "1" a single pin wrote is hexadecimal 1
      {L"zz", 2, 1, 0x4},            // not hexadecimal: 0
      {L"0006", 1, 2, 0x6},          // toggling sets its bit
      {L"0000", 33, 1, 0x2},         // bits modulo 32
      {L"0000", 31, 1, 0x80000000},  // the top bit
      {L"80000001", 31, 0, 0x1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.Result, tvk::UpdatedBusValue(c.Current, c.Bit, c.Value)) << c.Current << " bit " << c.Bit;
}

// A schematic object of a bus: its shown text, as the host keeps it.
class BusObject : public hostsim::FakeHostObject {
public:
  explicit BusObject(std::wstring shown) : Shown(std::move(shown)) {
    Serve(501999, "", [this](std::vector<VARIANT*>&, VARIANT* r) {
      hostsim::SetResultString(r, Shown);
      return S_OK;
    });
    Serve(502014, "s", [this](std::vector<VARIANT*>& a, VARIANT*) {
      Shown = hostsim::ArgString(a[0]);
      return S_OK;
    });
  }
  std::wstring Shown;
};

TEST(BusDisplay, AllBitsOfABusShowOneValueOnItsObjects) {
  auto wire = hostsim::SimRef<BusObject>::Adopt(new BusObject(L"0005"));
  const tvk::ISch_GraphicalObject object(wire.Get());
  EXPECT_TRUE(tvk::WriteBusBit(object, 1, 1));
  EXPECT_EQ(L"0007", wire->Shown);
  EXPECT_TRUE(tvk::WriteBusBit(object, 0, 0));
  EXPECT_EQ(L"0006", wire->Shown);
  EXPECT_TRUE(tvk::WriteBusBit(object, 3, 2));  // toggling counts as set
  EXPECT_EQ(L"000E", wire->Shown);
  // Not a bus bit, or no object: nothing is read or written.
  wire->ClearCalls();
  EXPECT_FALSE(tvk::WriteBusBit(object, -1, 1));
  EXPECT_FALSE(tvk::WriteBusBit(tvk::ISch_GraphicalObject(), 0, 1));
  EXPECT_TRUE(wire->Calls().empty());
}

TEST(PCBHighlight, OnlyAHighPinLightsItsNet) {
  for (const auto& [value, highlight] : {std::pair{1, 2}, {0, 1}, {2, 1}, {-1, 1}})
    EXPECT_EQ(highlight, tvk::PCBHighlightValue(value)) << value;
}

TEST(DataModelBatch, ClosedWhateverHappensInIt) {
  auto model = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  model->Accept(kBeginUpdate);
  model->Accept(kEndUpdate);
  const tvk::IUnifiedDataModel record(model.Get());
  { tvk::TDataModelBatch batch(record); }
  EXPECT_THROW(
      {
        tvk::TDataModelBatch batch(record);
        throw tvk::Exception(L"a host call failed");
      },
      tvk::Exception);
  EXPECT_EQ(2u, model->CallCount(kBeginUpdate));
  EXPECT_EQ(2u, model->CallCount(kEndUpdate));

  // A batch that could not be opened is not closed; an empty model opens none.
  model->FailWith(kBeginUpdate, hostsim::Fault{});
  EXPECT_ANY_THROW(tvk::TDataModelBatch batch(record));
  EXPECT_EQ(2u, model->CallCount(kEndUpdate));
  { tvk::TDataModelBatch none{tvk::IUnifiedDataModel()}; }

  // A failing close does not leave the batch's scope with an error in flight.
  auto failing = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  failing->Accept(kBeginUpdate);
  failing->FailWith(kEndUpdate, hostsim::Fault{});
  EXPECT_NO_THROW({ tvk::TDataModelBatch batch{tvk::IUnifiedDataModel(failing.Get())}; });
  EXPECT_EQ(1u, failing->CallCount(kEndUpdate));
}

// The fault this guards against: a notification remembered by its address
// alone is freed by the host, and the next one made at the same address is
// taken for it and dropped.
TEST(LastNotification, HeldSoNoNewNotificationIsTakenForIt) {
  tvk::TLastNotification last;
  auto* first = new hostsim::FakeHostObject;  // the host's one reference
  EXPECT_FALSE(last.IsSame(tvk::INotification(first)));
  last.Remember(tvk::INotification(first));
  EXPECT_TRUE(last.IsSame(tvk::INotification(first)));  // delivered again: handled once
  EXPECT_FALSE(last.IsSame(tvk::INotification()));

  // The host lets its notification go; the memory still holds it, so it
  // is not freed and no new notification can take its address.
  const LONG held = first->RefCount();
  first->Release();
  EXPECT_EQ(held - 1, first->RefCount());
  EXPECT_LE(1, first->RefCount());
  auto second = hostsim::SimRef<hostsim::FakeHostObject>::Adopt(new hostsim::FakeHostObject);
  EXPECT_NE(static_cast<IDispatch*>(first), static_cast<IDispatch*>(second.Get()));
  EXPECT_FALSE(last.IsSame(tvk::INotification(second.Get())));
  last.Remember(tvk::INotification(second.Get()));  // lets the first go for good
  EXPECT_TRUE(last.IsSame(tvk::INotification(second.Get())));
  last.Forget();
  EXPECT_FALSE(last.IsSame(tvk::INotification(second.Get())));
}

}  // namespace
}  // namespace harddeviceviewer_test
