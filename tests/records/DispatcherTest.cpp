// The module's dispatcher on its own: descriptors and argument blocks as the
// record operations build them, against a fake host object.
#include "RecordTestSupport.h"
#include "ZUL.RecordInterfaces.h"
#include "support/FolderTests.h"

#include <cmath>

using namespace tvk;
namespace tvk_test {

namespace {

// The module's start-up runs this unit's step before any record is used.
class InstallDispatcher : public ::testing::Environment {
  void SetUp() override { DispatchFixStartup(); }
};
TVK_FOLDER_ENVIRONMENT(InstallDispatcher);

constexpr DISPID kId = 77;
constexpr uint8_t kByRef = kKindByRef;

TEST(Dispatcher, CallWithoutArgumentsSendsFlags3AndNoArray) {
  Fake host = MakeFake();
  host->ReturnInt(kId, 7);
  TDispReturn r = Dispatch(host, MakeCallDescriptor(kId, kKindInt));
  EXPECT_EQ(7, r.Int);
  const auto& call = host->Calls().at(0);
  EXPECT_EQ(kId, call.Id);
  EXPECT_EQ(DISPATCH_METHOD | DISPATCH_PROPERTYGET, call.Flags);
  EXPECT_EQ(0u, call.ArgCount);
  EXPECT_TRUE(call.NullArgArray);
  EXPECT_TRUE(call.NamedArgs.empty());
}

TEST(Dispatcher, ArgumentsGoInReverseOrderWithFlags1) {
  Fake host = MakeFake();
  host->On(kId, [](std::vector<VARIANT*>& args, VARIANT*) {
    // args is in host order: argument 1 is the last element of rgvarg.
    return args.size() == 2 && args[0]->lVal == 1 && args[1]->lVal == 2 ? S_OK : E_FAIL;
  });
  Dispatch(host, MakeCallDescriptor(kId, kKindNone, kKindInt, kKindInt), ArgBlock().Add(int32_t(1)).Add(int32_t(2)));
  const auto& call = host->Calls().at(0);
  EXPECT_EQ(DISPATCH_METHOD, call.Flags);
  EXPECT_FALSE(call.NullArgArray);
  EXPECT_EQ(2u, call.ArgCount);
}

TEST(Dispatcher, SlotsArePackedWithoutPadding) {
  // bool (4 bytes, only the first counts), int64 at offset 4, int32 at 12,
  // an omitted argument without a slot, int16 at 16.
  Fake host = MakeFake();
  host->Accept(kId);
  ArgBlock block;
  block.Add(uint8_t(0)).Add(uint8_t(0xFF)).Add(uint16_t(0xFFFF));
  block.Add(int64_t(0x1122334455667788)).Add(int32_t(-5)).Add(int16_t(-300)).Add(int16_t(0));
  Dispatch(host, MakeCallDescriptor(kId, kKindNone, kKindBool, kKindInt64, kKindInt, uint8_t(0x0A), uint8_t(0x02)),
           block);
  const auto& call = host->Calls().at(0);
  ASSERT_EQ(5u, call.ArgCount);
  EXPECT_EQ(VT_BOOL, call.Type(0));
  EXPECT_EQ(VARIANT_FALSE, call.Args[0].boolVal);
  EXPECT_EQ(VT_I8, call.Type(1));
  EXPECT_EQ(0x1122334455667788, call.Args[1].llVal);
  EXPECT_EQ(VT_I4, call.Type(2));
  EXPECT_EQ(-5, call.Args[2].lVal);
  EXPECT_EQ(VT_ERROR, call.Type(3));
  EXPECT_EQ(DISP_E_PARAMNOTFOUND, call.Args[3].scode);
  EXPECT_EQ(VT_I2, call.Type(4));
  EXPECT_EQ(-300, call.Args[4].iVal);
}

TEST(Dispatcher, ByValueKindsCopyTheirWidth) {
  struct Row {
    uint8_t Kind;
    VARTYPE Type;
    std::size_t Width;  // bytes copied from the slot into the variant
  };
  const Row rows[] = {
      {0x02, VT_I2, 2},   {0x03, VT_I4, 4},   {0x04, VT_R4, 4},   {0x05, VT_R8, 8},  {0x06, VT_CY, 8},
      {0x07, VT_DATE, 8}, {0x10, VT_I1, 1},   {0x11, VT_UI1, 1},  {0x12, VT_UI2, 2}, {0x13, VT_UI4, 4},
      {0x14, VT_I8, 8},   {0x15, VT_UI8, 8},
  };
  const uint64_t pattern = 0x8877665544332211;
  for (const Row& row : rows) {
    Fake host = MakeFake();
    host->Accept(kId);
    ArgBlock block;
    block.Add(pattern);  // an 8-byte slot; 4-byte kinds read its first half
    Dispatch(host, MakeCallDescriptor(kId, kKindNone, row.Kind), block);
    const VARIANT& v = host->Calls().at(0).Args.at(0);
    EXPECT_EQ(row.Type, v.vt) << "kind " << int(row.Kind);
    uint64_t got = 0;
    std::memcpy(&got, &v.llVal, row.Width);
    uint64_t want = row.Width == 8 ? pattern : pattern & ((uint64_t(1) << (8 * row.Width)) - 1);
    EXPECT_EQ(want, got) << "kind " << int(row.Kind);
  }
}

TEST(Dispatcher, BooleanComesFromTheFirstByte) {
  for (uint8_t first : {uint8_t(1), uint8_t(0x80), uint8_t(0)}) {
    Fake host = MakeFake();
    host->Accept(kId);
    ArgBlock block;
    block.Add(first).Add(uint8_t(1)).Add(uint16_t(0));
    Dispatch(host, MakeCallDescriptor(kId, kKindNone, kKindBool), block);
    EXPECT_EQ(first ? VARIANT_TRUE : VARIANT_FALSE, host->Calls().at(0).Args.at(0).boolVal);
  }
}

TEST(Dispatcher, PointersGoAsTheyAreAndReferencesStayBalanced) {
  Fake host = MakeFake();
  Fake object = MakeFake();
  BSTR text = SysAllocString(L"abc");
  IDispatch* seen = nullptr;
  BSTR seenText = nullptr;
  host->On(kId, [&](std::vector<VARIANT*>& args, VARIANT*) {
    seenText = args[0]->bstrVal;
    seen = args[1]->pdispVal;
    return S_OK;
  });
  Dispatch(host, MakeCallDescriptor(kId, kKindNone, kKindString, kKindDispatch),
           ArgBlock().Add(text).Add(AsDispatch(object)));
  EXPECT_EQ(text, seenText);  // the caller's own BSTR, no copy
  EXPECT_EQ(AsDispatch(object), seen);
  host->ClearCalls();  // the log's copies hold references
  EXPECT_EQ(1, object->RefCount());
  SysFreeString(text);
}

TEST(Dispatcher, ByReferenceStringIsTheCallersVariable) {
  Fake host = MakeFake();
  BSTR variable = SysAllocString(L"old");
  host->On(kId, [&](std::vector<VARIANT*>& args, VARIANT*) {
    if (args[0]->vt != (VT_BSTR | VT_BYREF) || args[0]->pbstrVal != &variable) return E_FAIL;
    if (BstrText(*args[0]->pbstrVal) != L"old") return E_FAIL;
    SysFreeString(*args[0]->pbstrVal);
    *args[0]->pbstrVal = SysAllocString(L"new");
    return S_OK;
  });
  Dispatch(host, MakeCallDescriptor(kId, kKindNone, uint8_t(kKindString | kByRef)), ArgBlock().Add(&variable));
  EXPECT_EQ(L"new", BstrText(variable));
  SysFreeString(variable);
}

TEST(Dispatcher, ByReferenceKindsPointAtTheArgument) {
  // Any kind with the by-reference bit is sent, also one that is refused by value.
  for (uint8_t base : {kKindInt, uint8_t(0x0E), kKindInt64, kKindVariant}) {
    Fake host = MakeFake();
    int64_t variable[2] = {5, 0};
    host->On(kId, [&](std::vector<VARIANT*>& args, VARIANT*) {
      return args[0]->vt == (VT_BYREF | base) && args[0]->byref == variable ? S_OK : E_FAIL;
    });
    EXPECT_NO_THROW(Dispatch(host, MakeCallDescriptor(kId, kKindNone, uint8_t(base | kByRef)),
                             ArgBlock().Add(static_cast<void*>(variable))))
        << "kind " << int(base);
  }
}

TEST(Dispatcher, UnknownByValueKindIsRefusedBeforeTheHost) {
  for (uint8_t kind : {uint8_t(0x0E), uint8_t(0x0F), uint8_t(0x16), uint8_t(0x40), uint8_t(0x7F)}) {
    Fake host = MakeFake();
    host->Accept(kId);
    try {
      Dispatch(host, MakeCallDescriptor(kId, kKindNone, kKindInt, kind), ArgBlock().Add(int32_t(1)).Add(int32_t(2)));
      ADD_FAILURE() << "kind " << int(kind) << " was sent";
    } catch (const EOleError& e) {
      EXPECT_EQ(L"Variant method calls not supported", e.Message());
    }
    EXPECT_TRUE(host->Calls().empty());
  }
}

TEST(Dispatcher, VariantArgumentIsCopiedOrReferenced) {
  Fake host = MakeFake();
  VARIANT variant;
  VariantInit(&variant);
  variant.vt = VT_BSTR;
  variant.bstrVal = SysAllocString(L"copied");
  host->On(kId, [&](std::vector<VARIANT*>& args, VARIANT*) {
    if (args[0]->vt != VT_BSTR || args[0]->bstrVal == variant.bstrVal) return E_FAIL;  // a copy of its own
    if (args[1]->vt != (VT_VARIANT | VT_BYREF) || args[1]->pvarVal != &variant) return E_FAIL;
    return S_OK;
  });
  Dispatch(host, MakeCallDescriptor(kId, kKindNone, kKindVariant, uint8_t(kKindVariant | kByRef)),
           ArgBlock().Add(variant).Add(&variant));
  EXPECT_EQ(L"copied", host->Calls().at(0).Str(0));
  VariantClear(&variant);
}

TEST(Dispatcher, ModuleStringsTravelAsWideStrings) {
  Fake host = MakeFake();
  std::string ansiIn = "in", ansiOut = "before", emptyAnsi;
  std::wstring wideOut = L"before";
  BSTR sharedEmpty = nullptr;
  host->On(kId, [&](std::vector<VARIANT*>& args, VARIANT*) {
    if (args[0]->vt != VT_BSTR || BstrText(args[0]->bstrVal) != L"in") return E_FAIL;
    // An empty string by value is one shared empty string, not null.
    if (args[1]->vt != VT_BSTR || !args[1]->bstrVal || SysStringLen(args[1]->bstrVal) != 0) return E_FAIL;
    sharedEmpty = args[1]->bstrVal;
    if (args[2]->vt != (VT_BSTR | VT_BYREF) || BstrText(*args[2]->pbstrVal) != L"before") return E_FAIL;
    SysFreeString(*args[2]->pbstrVal);
    *args[2]->pbstrVal = SysAllocString(L"out");
    SysFreeString(*args[3]->pbstrVal);
    *args[3]->pbstrVal = nullptr;  // the host empties this one
    return S_OK;
  });
  const auto desc = MakeCallDescriptor(kId, kKindNone, kKindAnsiString, kKindUnicodeString,
                                       uint8_t(kKindAnsiString | kByRef), uint8_t(kKindUnicodeString | kByRef));
  std::wstring emptyWide;
  Dispatch(host, desc, ArgBlock().Add(&ansiIn).Add(&emptyWide).Add(&ansiOut).Add(&wideOut));
  EXPECT_EQ("out", ansiOut);
  EXPECT_EQ(L"", wideOut);
  ASSERT_NE(nullptr, sharedEmpty);
  // Again, with an 8-bit empty string in the second place: the same shared string.
  const auto again = MakeCallDescriptor(kId, kKindNone, kKindAnsiString, kKindAnsiString,
                                        uint8_t(kKindAnsiString | kByRef), uint8_t(kKindUnicodeString | kByRef));
  BSTR first = sharedEmpty;
  ansiOut = "before";
  wideOut = L"before";
  Dispatch(host, again, ArgBlock().Add(&ansiIn).Add(&emptyAnsi).Add(&ansiOut).Add(&wideOut));
  EXPECT_EQ(first, sharedEmpty);
}

TEST(Dispatcher, FailedCallStoresNothingAndCopiesNothingBack) {
  Fake host = MakeFake();
  host->On(kId, [](std::vector<VARIANT*>& args, VARIANT* result) {
    SysFreeString(*args[0]->pbstrVal);
    *args[0]->pbstrVal = SysAllocString(L"changed");
    VariantClear(result);
    result->vt = VT_BSTR;
    result->bstrVal = SysAllocString(L"result");
    return E_FAIL;
  });
  std::string text = "kept";
  BSTR result = SysAllocString(L"previous");
  EXPECT_THROW(Dispatch(host, MakeCallDescriptor(kId, kKindString, uint8_t(kKindAnsiString | kByRef)),
                        ArgBlock().Add(&text), &result),
               EOleSysError);
  EXPECT_EQ("kept", text);
  EXPECT_EQ(L"previous", BstrText(result));
  SysFreeString(result);
}

TEST(Dispatcher, StoredResultsReplaceTheCallersValue) {
  Fake host = MakeFake();
  Fake oldObject = MakeFake(), newObject = MakeFake();
  host->ReturnString(1, L"fresh");
  host->ReturnObject(2, AsDispatch(newObject));
  host->ReturnBool(3, true);
  host->ReturnInt64(4, -2);

  BSTR text = SysAllocString(L"stale");
  Dispatch(host, MakeCallDescriptor(1, kKindString), {}, &text);
  EXPECT_EQ(L"fresh", BstrText(text));
  SysFreeString(text);

  IDispatch* object = AsDispatch(oldObject);
  object->AddRef();  // the caller's variable holds one reference
  Dispatch(host, MakeCallDescriptor(2, kKindDispatch), {}, &object);
  EXPECT_EQ(AsDispatch(newObject), object);
  EXPECT_EQ(1, oldObject->RefCount());  // released by the store
  EXPECT_EQ(2, newObject->RefCount());  // handed to the caller
  object->Release();

  int16_t flag = 0;
  Dispatch(host, MakeCallDescriptor(3, kKindBool), {}, &flag);
  EXPECT_EQ(-1, flag);
  int64_t wide = 0;
  Dispatch(host, MakeCallDescriptor(4, kKindInt64), {}, &wide);
  EXPECT_EQ(-2, wide);
}

TEST(Dispatcher, ReturnedValuesAreExtendedByKind) {
  struct Row {
    uint8_t Kind;
    VARTYPE Type;
    LONGLONG Raw;
    int64_t Want;
  };
  const Row rows[] = {
      {0x0B, VT_BOOL, VARIANT_TRUE, -1}, {0x02, VT_I2, 0xFFFE, -2},   {0x10, VT_I1, 0xFD, -3},
      {0x11, VT_UI1, 0xFD, 253},         {0x12, VT_UI2, 0xFFFE, 65534}, {0x03, VT_I4, 0xFFFFFFFF, -1},
      {0x13, VT_UI4, 0xFFFFFFFF, 0xFFFFFFFF},
  };
  for (const Row& row : rows) {
    Fake host = MakeFake();
    VARIANT v;
    VariantInit(&v);
    v.vt = row.Type;
    v.llVal = row.Raw;
    host->ReturnVariant(kId, v);
    EXPECT_EQ(row.Want, Dispatch(host, MakeCallDescriptor(kId, row.Kind)).Int) << "kind " << int(row.Kind);
  }
  Fake host = MakeFake();
  host->ReturnDouble(kId, 2.5);
  EXPECT_EQ(2.5, Dispatch(host, MakeCallDescriptor(kId, kKindDouble)).Real);
}

TEST(Dispatcher, SuccessCodeOtherThanZeroIsSuccess) {
  Fake host = MakeFake();
  host->On(kId, [](std::vector<VARIANT*>&, VARIANT* r) {
    r->vt = VT_I4;
    r->lVal = 5;
    return S_FALSE;
  });
  EXPECT_EQ(5, Dispatch(host, MakeCallDescriptor(kId, kKindInt)).Int);
}

TEST(Dispatcher, HostExceptionCarriesTrimmedDescriptionAndDetails) {
  Fake host = MakeFake();
  host->FailWith(kId, {DISP_E_EXCEPTION, L"Device is busy.\r\n", L"TestHost", L"host.hlp", 42, long(0x80041234)});
  try {
    Dispatch(host, MakeCallDescriptor(kId, kKindNone));
    ADD_FAILURE() << "no error";
  } catch (const EOleException& e) {
    EXPECT_EQ(L"Device is busy", e.Message());
    EXPECT_EQ(long(0x80041234), e.ErrorCode());
    EXPECT_EQ(L"TestHost", e.Source());
    EXPECT_EQ(L"host.hlp", e.HelpFile());
    EXPECT_EQ(42u, e.HelpContext());
  }
}

TEST(Dispatcher, MessagesWithoutDescriptionComeFromTheCode) {
  struct Row {
    hostsim::Fault Fault;
    long Code;
    const wchar_t* Message;  // null: the system's text, whatever it is
  };
  const Row rows[] = {
      {{DISP_E_EXCEPTION, L" . \n", L"", L"", 0, long(0xA0001234)}, long(0xA0001234), L"OLE error a0001234"},
      {{long(0xA0005678), L"", L"", L"", 0, 0}, long(0xA0005678), L"OLE error a0005678"},
      {{DISP_E_MEMBERNOTFOUND, L"", L"", L"", 0, 0}, DISP_E_MEMBERNOTFOUND, nullptr},
      // An exception without a code of its own is still a failure.
      {{DISP_E_EXCEPTION, L"No code", L"", L"", 0, 0}, DISP_E_EXCEPTION, L"No code"},
  };
  for (const Row& row : rows) {
    Fake host = MakeFake();
    host->FailWith(kId, row.Fault);
    try {
      Dispatch(host, MakeCallDescriptor(kId, kKindNone));
      ADD_FAILURE() << "no error";
    } catch (const EOleSysError& e) {
      EXPECT_EQ(row.Code, e.ErrorCode());
      if (row.Message) EXPECT_EQ(row.Message, e.Message());
      else EXPECT_EQ(SysErrorMessage(row.Code).empty() ? L"OLE error 80020003" : SysErrorMessage(row.Code), e.Message());
      EXPECT_FALSE(e.Message().empty());
    }
  }
}

// The host answers another type than the descriptor names: the value is
// converted to the declared kind or the call fails; it is never read as
// the wrong type.
TEST(Dispatcher, MismatchedResultIsConvertedOrRefused) {
  auto variant = [](VARTYPE vt, LONGLONG raw = 0, const wchar_t* text = nullptr) {
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    v.llVal = raw;
    if (text) v.bstrVal = SysAllocString(text);
    return v;
  };
  struct Row {
    uint8_t Kind;
    VARIANT Answer;
    bool Fails;
    int64_t Int;
    std::wstring Text;
  };
  std::vector<Row> rows = {
      {kKindString, variant(VT_EMPTY), false, 0, L""},
      {kKindInt, variant(VT_NULL), false, 0, L""},
      {kKindBool, variant(VT_EMPTY), false, 0, L""},
      {kKindInt, variant(VT_BSTR, 0, L"12"), false, 12, L""},
      {kKindString, variant(VT_I4, 5), false, 0, L"5"},
      {kKindBool, variant(VT_I4, 2), false, -1, L""},
      {kKindInt64, variant(VT_I4, 0xFFFFFFFF), false, -1, L""},
      {kKindInt, variant(VT_BSTR, 0, L"abc"), true, 0, L""},
      {kKindDispatch, variant(VT_I4, 1), true, 0, L""},
  };
  for (Row& row : rows) {
    Fake host = MakeFake();
    host->ReturnVariant(kId, row.Answer);
    VariantClear(&row.Answer);
    const auto desc = MakeCallDescriptor(kId, row.Kind);
    BSTR text = SysAllocString(L"previous");
    try {
      if (row.Kind == kKindString) {
        Dispatch(host, desc, {}, &text);
        EXPECT_FALSE(row.Fails);
        EXPECT_EQ(row.Text, BstrText(text));
      } else {
        TDispReturn r = Dispatch(host, desc);
        EXPECT_FALSE(row.Fails) << "kind " << int(row.Kind);
        EXPECT_EQ(row.Int, r.Int) << "kind " << int(row.Kind);
      }
    } catch (const EOleSysError&) {
      EXPECT_TRUE(row.Fails) << "kind " << int(row.Kind);
    }
    SysFreeString(text);
  }
}

TEST(Dispatcher, ResultsConvertTheSameForEveryUser) {
  // A date where text is asked for: the user's locale would write its own
  // date and time forms ("6:00:00 PM" for the United States).
  Fake host = MakeFake();
  VARIANT date;
  VariantInit(&date);
  date.vt = VT_DATE;
  date.date = 1.75;  // 31 December 1899, 18:00
  host->ReturnVariant(kId, date);
  BSTR text = nullptr;
  Dispatch(host, MakeCallDescriptor(kId, kKindString), {}, &text);
  EXPECT_EQ(L"12/31/1899 18:00:00", BstrText(text));
  SysFreeString(text);

  // An object behind a by-reference variant is not asked for a value either.
  Fake object = MakeFake();
  object->ReturnString(DISPID_VALUE, L"12");
  VARIANT held;  // what the reference points at, alive after the call
  VariantInit(&held);
  held.vt = VT_DISPATCH;
  held.pdispVal = AsDispatch(object);
  held.pdispVal->AddRef();
  host->On(kId, [&held](std::vector<VARIANT*>&, VARIANT* r) {
    r->vt = VT_BYREF | VT_VARIANT;
    r->pvarVal = &held;
    return S_OK;
  });
  EXPECT_THROW(Dispatch(host, MakeCallDescriptor(kId, kKindString)), EOleSysError);
  EXPECT_THROW(Dispatch(host, MakeCallDescriptor(kId, kKindInt)), EOleSysError);
  EXPECT_TRUE(object->Calls().empty());
  VariantClear(&held);
}

TEST(Dispatcher, MismatchedObjectResultsLeakNothing) {
  Fake host = MakeFake();
  Fake withDispatch = MakeFake(), withoutDispatch = MakeFake();
  withoutDispatch->SetOffersDispatch(false);
  auto answerUnknown = [&](DISPID id, const Fake& object) {
    host->On(id, [object](std::vector<VARIANT*>&, VARIANT* r) {
      r->vt = VT_UNKNOWN;
      r->punkVal = static_cast<IUnknown*>(static_cast<IDispatch*>(object.Get()));
      r->punkVal->AddRef();
      return S_OK;
    });
  };
  answerUnknown(1, withDispatch);
  answerUnknown(2, withoutDispatch);
  host->ReturnObject(3, AsDispatch(withDispatch));

  // VT_UNKNOWN for kind o is asked for IDispatch.
  IDispatch* object = nullptr;
  Dispatch(host, MakeCallDescriptor(1, kKindDispatch), {}, &object);
  EXPECT_EQ(AsDispatch(withDispatch), object);
  if (object) object->Release();
  object = nullptr;
  EXPECT_THROW(Dispatch(host, MakeCallDescriptor(2, kKindDispatch), {}, &object), EOleSysError);

  // An object for a string kind fails without asking the object for a value.
  EXPECT_THROW(Dispatch(host, MakeCallDescriptor(3, kKindString)), EOleSysError);
  EXPECT_TRUE(withDispatch->Calls().empty());

  // A call without a result kind releases what the host answered.
  Dispatch(host, MakeCallDescriptor(3, kKindNone));

  host = Fake();  // the handlers' copies go with the host
  EXPECT_EQ(1, withDispatch->RefCount());
  EXPECT_EQ(1, withoutDispatch->RefCount());
}

TEST(Dispatcher, PropertyPutNamesTheValue) {
  Fake host = MakeFake();
  Fake object = MakeFake();
  host->Accept(kId);
  auto put = [](uint8_t kind) {
    auto desc = MakeCallDescriptor(kId, kKindNone, kind);
    desc[kDescCallDescription] = kCallPropertyPut;
    return desc;
  };
  Dispatch(host, put(kKindInt), ArgBlock().Add(int32_t(3)));
  Dispatch(host, put(kKindDispatch), ArgBlock().Add(AsDispatch(object)));
  EXPECT_EQ(DISPATCH_PROPERTYPUT, host->Calls().at(0).Flags);
  EXPECT_EQ(std::vector<DISPID>{DISPID_PROPERTYPUT}, host->Calls().at(0).NamedArgs);
  EXPECT_EQ(DISPATCH_PROPERTYPUTREF, host->Calls().at(1).Flags);
}

TEST(Dispatcher, NamedArgumentsAndNullTargetsAreRefused) {
  Fake host = MakeFake();
  host->Accept(kId);
  auto named = MakeCallDescriptor(kId, kKindNone, kKindInt);
  named[kDescNamedArgCount] = 1;
  EXPECT_THROW(Dispatch(host, named, ArgBlock().Add(int32_t(1))), EOleError);
  EXPECT_TRUE(host->Calls().empty());
  EXPECT_THROW(FixedDispCallByID(nullptr, nullptr, MakeCallDescriptor(kId, kKindNone).data(), nullptr), EOleSysError);
}

TEST(Dispatcher, StartUpStepInstallsTheEntry) {
  Fake host = MakeFake();
  host->ReturnInt(486, 99);
  const IClient client(AsDispatch(host));
  TDispCallByIDProc previous = SetDispCallByIDProc(nullptr);
  EXPECT_THROW(client.GetApplicationHandle(), EOleError);
  EXPECT_TRUE(host->Calls().empty());
  EXPECT_TRUE(DispatchFixStartup());
  EXPECT_EQ(&FixedDispCallByID, DispCallByIDProc());
  EXPECT_EQ(99, client.GetApplicationHandle());
  SetDispCallByIDProc(previous);
}

}  // namespace

}  // namespace tvk_test
