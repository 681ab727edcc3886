// The record pattern: value semantics and reference counts, the conversions,
// re-typing, empty records, and how arguments and results of each kind cross
// to the host.
#include "ORV.Embedded.RecordInterfaces.h"
#include "ORV.RecordInterfaces.h"
#include "ORV.SCH.RecordInterfaces.h"
#include "RecordTestSupport.h"
#include "ZUL.RecordInterfaces.h"
#include "ZUL.Types.h"

using namespace tvk;
namespace tvk_test {

namespace {

TEST(Record, CopiesAddAndScopesReleaseReferences) {
  Fake host = MakeFake();
  {
    ITovikDevice a = ITovikDevice::FromPointer(AsDispatch(host));
    EXPECT_EQ(2, host->RefCount());
    EXPECT_EQ(AsDispatch(host), a.ToPointer());  // adds none
    EXPECT_EQ(2, host->RefCount());
    ITovikDevice b = a;
    ITovikDevice c;
    c = b;
    EXPECT_EQ(4, host->RefCount());
    ITovikDevice d = std::move(c);
    EXPECT_EQ(4, host->RefCount());
    EXPECT_TRUE(c.IsEmpty());
    b = ITovikDevice();  // emptying lets go
    EXPECT_EQ(3, host->RefCount());
    {
      ComRef<IDispTovikDevice> disp = a.ToDispInterface();
      EXPECT_EQ(4, host->RefCount());
      ITovikDevice e = ITovikDevice::FromDispInterface(disp.Get());
      EXPECT_EQ(5, host->RefCount());
    }
    EXPECT_EQ(3, host->RefCount());
  }
  EXPECT_EQ(1, host->RefCount());
  EXPECT_EQ(host->AddRefs(), host->Releases());
}

TEST(Record, EmptyRecordsConvertToNullAndCallNothing) {
  EXPECT_TRUE(ITovikDevice::FromPointer(nullptr).IsEmpty());
  EXPECT_TRUE(ITovikDevice::FromInterface(nullptr).IsEmpty());
  const ITovikDevice empty;
  EXPECT_FALSE(empty);
  EXPECT_FALSE(empty.ToDispatch());
  EXPECT_FALSE(empty.ToInterface());
  EXPECT_FALSE(empty.ToDispInterface());
}

TEST(Record, InterfaceConversionsAskTheObject) {
  Fake host = MakeFake();
  IUnknown* unknown = static_cast<IDispatch*>(host.Get());
  {
    IJTagChannel channel = IJTagChannel::FromInterface(unknown);
    EXPECT_EQ(AsDispatch(host), channel.ToPointer());
    EXPECT_EQ(AsDispatch(host), channel.ToDispatch().Get());
    EXPECT_EQ(unknown, channel.ToInterface().Get());
  }
  EXPECT_EQ(1, host->RefCount());

  host->SetOffersDispatch(false);
  try {
    IJTagChannel::FromInterface(unknown);
    ADD_FAILURE() << "converted";
  } catch (const Exception& e) {
    EXPECT_EQ(L"Interface not supported", e.Message());
  }
  const IJTagChannel held = IJTagChannel::FromPointer(AsDispatch(host));
  EXPECT_THROW(held.ToDispatch(), Exception);
}

TEST(Record, RetypingHandsOverTheSameReferenceWithoutAsking) {
  Fake host = MakeFake();
  const IProject project(AsDispatch(host));
  const long asked = host->QueryInterfaces();
  const IEmbeddedProject embedded = IEmbeddedProject::FromProject(project);
  const IFPGAProject fpga = IFPGAProject::FromProject(project);
  const IProject back = embedded.ToProject();
  const ISoftBreakpoint soft = IHardBreakpoint(AsDispatch(host)).ToSoftBreakpoint();
  EXPECT_EQ(asked, host->QueryInterfaces());
  EXPECT_EQ(AsDispatch(host), back.ToPointer());
  EXPECT_EQ(AsDispatch(host), soft.ToPointer());
  EXPECT_EQ(6, host->RefCount());
}

TEST(Record, OperationOnAnEmptyRecordRaisesWithoutCallingTheHost) {
  const ITovikDevice device;
  try {
    device.TransactionBegin();
    ADD_FAILURE() << "no error";
  } catch (const EEmptyRecord& e) {
    EXPECT_NE(std::wstring::npos, e.Message().find(L"ITovikDevice.TransactionBegin"));
  }
  EXPECT_THROW(device.GetJTagIndex(), EEmptyRecord);
}

TEST(Record, ObjectResultIsOwnedByTheCaller) {
  Fake host = MakeFake(), channel = MakeFake();
  host->ReturnObject(503630, AsDispatch(channel));
  host->ReturnObject(503611, nullptr);
  const ITovikDevice device(AsDispatch(host));
  {
    const IJTagChannel got = device.GetJTagChannel();
    EXPECT_EQ(AsDispatch(channel), got.ToPointer());
    EXPECT_EQ(2, channel->RefCount());
    EXPECT_TRUE(IJTagChannel(AsDispatch(host)).GetJtagPort().IsEmpty());  // null answer: empty record
  }
  EXPECT_EQ(1, channel->RefCount());
}

TEST(Record, RecordArgumentIsLentForTheCall) {
  Fake host = MakeFake(), device = MakeFake();
  host->ReturnObject(504032, nullptr);
  const ITovikWorkbench workbench(AsDispatch(host));
  const ITovikDevice arg(AsDispatch(device));
  workbench.GetCoreForDevice(arg);
  workbench.GetCoreForDevice(ITovikDevice());
  const auto& calls = host->Calls();
  EXPECT_EQ(VT_DISPATCH, calls.at(0).Type(0));
  EXPECT_EQ(AsDispatch(device), calls.at(0).Args[0].pdispVal);
  EXPECT_EQ(VT_DISPATCH, calls.at(1).Type(0));
  EXPECT_EQ(nullptr, calls.at(1).Args[0].pdispVal);
  host->ClearCalls();
  EXPECT_EQ(2, device->RefCount());  // the creator's and arg's
}

TEST(Record, EmptyStringGoesAsNullBstr) {
  Fake host = MakeFake();
  std::vector<std::pair<VARTYPE, BSTR>> seen;  // what arrived, before any copy
  host->On(503761, [&](std::vector<VARIANT*>& args, VARIANT* r) {
    seen.emplace_back(args[0]->vt, args[0]->bstrVal);
    r->vt = VT_BOOL;
    r->boolVal = VARIANT_TRUE;
    return S_OK;
  });
  const ITovikDriver driver(AsDispatch(host));
  EXPECT_TRUE(driver.Supports(L""));
  EXPECT_TRUE(driver.Supports(L"PROC"));
  ASSERT_EQ(2u, seen.size());
  EXPECT_EQ(VT_BSTR, seen[0].first);
  EXPECT_EQ(nullptr, seen[0].second);
  EXPECT_EQ(L"PROC", host->Calls().at(1).Str(0));
}

TEST(Record, ByReferenceStringComesBackAfterSuccessOnly) {
  Fake host = MakeFake();
  host->On(964, [](std::vector<VARIANT*>& args, VARIANT* r) {
    if (args[1]->vt != (VT_BSTR | VT_BYREF)) return E_FAIL;
    SysFreeString(*args[1]->pbstrVal);
    *args[1]->pbstrVal = SysAllocString(L"Tovik-");
    r->vt = VT_BOOL;
    r->boolVal = VARIANT_TRUE;
    return S_OK;
  });
  host->On(963, [](std::vector<VARIANT*>& args, VARIANT*) {
    SysFreeString(*args[1]->pbstrVal);
    *args[1]->pbstrVal = SysAllocString(L"lost");
    return E_FAIL;
  });
  const IClientAPI_Interface api(AsDispatch(host));
  WideString prefix = L"old";
  EXPECT_TRUE(api.GetHelpKeywordPrefix(L"STM32CortexM3", prefix));
  EXPECT_EQ(L"Tovik-", prefix);
  WideString answer = L"kept";
  EXPECT_THROW(api.FindHelpKeyword(L"x", answer), EOleSysError);
  EXPECT_EQ(L"kept", answer);
}

TEST(Record, ByReferenceIntegersAreWrittenByTheHost) {
  Fake host = MakeFake();
  host->On(508746, [](std::vector<VARIANT*>& args, VARIANT*) {
    if (args[0]->lVal != 0) return S_OK;  // out of range: nothing written
    *args[1]->plVal = 1;
    *args[2]->plVal = int32_t(0x08000000);
    *args[3]->plVal = int32_t(0x0801FFFF);
    *args[4]->plVal = 32;
    return S_OK;
  });
  const IFlashWriter writer(AsDispatch(host));
  int32_t space = -1, width = -1;
  uint32_t start = 7, end = 7;
  writer.GetFlashMemorySpace(3, space, start, end, width);
  EXPECT_EQ(-1, space);
  EXPECT_EQ(7u, start);
  writer.GetFlashMemorySpace(0, space, start, end, width);
  EXPECT_EQ(1, space);
  EXPECT_EQ(0x08000000u, start);
  EXPECT_EQ(0x0801FFFFu, end);
  EXPECT_EQ(32, width);
  EXPECT_EQ(VT_I4 | VT_BYREF, host->Calls().at(0).Type(2));
}

TEST(Record, ByReference64BitCopiesGoBackAfterSuccessOnly) {
  Fake host = MakeFake();
  host->On(508605, [](std::vector<VARIANT*>& args, VARIANT* r) {
    for (int k = 2; k <= 4; ++k)
      if (args[k]->vt != (VT_I8 | VT_BYREF)) return E_FAIL;
    SysFreeString(*args[1]->pbstrVal);
    *args[1]->pbstrVal = SysAllocString(L"stack_top");
    *args[2]->pllVal = 0x1'2000'0000;
    *args[3]->pllVal = -1;
    *args[4]->pllVal = 4;
    r->vt = VT_BOOL;
    r->boolVal = VARIANT_TRUE;
    return args[0]->lVal == 0 ? S_OK : E_FAIL;
  });
  const IEmbeddedMemory memory(AsDispatch(host));
  WideString name = L"n";
  int64_t address = 5, value = 6, width = 7;
  EXPECT_THROW(memory.GetInitializer(1, name, address, value, width), EOleSysError);
  EXPECT_EQ(L"n", name);
  EXPECT_EQ(5, address);
  EXPECT_EQ(6, value);
  EXPECT_EQ(7, width);
  EXPECT_TRUE(memory.GetInitializer(0, name, address, value, width));
  EXPECT_EQ(L"stack_top", name);
  EXPECT_EQ(0x1'2000'0000, address);
  EXPECT_EQ(-1, value);
  EXPECT_EQ(4, width);
}

TEST(Record, ByReferenceRecordHoldsWhatTheHostLeaves) {
  Fake host = MakeFake(), object = MakeFake(), found = MakeFake();
  host->On(507078, [](std::vector<VARIANT*>& args, VARIANT*) {
    if (args[0]->vt != (VT_DISPATCH | VT_BYREF)) return E_FAIL;
    IDispatch*& slot = *args[0]->ppdispVal;
    if (slot) slot->Release();
    slot = nullptr;
    return S_OK;
  });
  IDispatch* foundDisp = AsDispatch(found);
  host->On(510209, [foundDisp](std::vector<VARIANT*>& args, VARIANT* r) {
    IDispatch*& slot = *args[1]->ppdispVal;
    if (slot) slot->Release();
    slot = foundDisp;
    slot->AddRef();
    r->vt = VT_BOOL;
    r->boolVal = VARIANT_TRUE;
    return S_OK;
  });
  ISch_BasicContainer container = ISch_Component(AsDispatch(object)).ToBasicContainer();
  EXPECT_EQ(2, object->RefCount());
  ISch_ServerInterface(AsDispatch(host)).DestroySchObject(container);
  EXPECT_TRUE(container.IsEmpty());
  EXPECT_EQ(1, object->RefCount());

  IDMObject result(AsDispatch(object));
  EXPECT_TRUE(IUnifiedDataModel(AsDispatch(host)).FindObject(L"id", result));
  EXPECT_EQ(foundDisp, result.ToPointer());
  EXPECT_EQ(1, object->RefCount());
  result = IDMObject();
  EXPECT_EQ(1, found->RefCount());
}

// A module's own served object reached through a record: an error inside its
// operation stays inside its Invoke and comes back as a host error.
class TThrowingView : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  HRESULT ReleaseView() { throw Exception(L"boom"); }
};
constexpr TServedRow<TThrowingView> kThrowingViewRows[] = {TVK_SERVED_ROW(TThrowingView, 503704, ReleaseView)};

}  // namespace

TVK_SERVED_LEVEL_IMPL(TThrowingView, TAbstractSupportService, kThrowingViewRows, L"InstrumentView")

namespace {

TEST(Record, ServedObjectErrorsStayBehindItsInvoke) {
  IInstrumentView view;
  {
    TThrowingView* served = New<TThrowingView>();
    view = IInstrumentView(static_cast<IDispatch*>(served));
  }
  try {
    view.Release();
    ADD_FAILURE() << "no error";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(long(0x8000FFFF), e.ErrorCode());
  }
}

}  // namespace

}  // namespace tvk_test
