// The served-object protocol: argument and result kinds, the level chain,
// service names and failure handling, exercised through IDispatch::Invoke as
// the host calls it.
#include <gtest/gtest.h>

#include "FakeHostObject.h"
#include "ZUL.Types.h"
#include "support/HostCall.h"

#include <vector>

using namespace tvk;

namespace {

class TTestRecord : public TRecordBase {
public:
  using TRecordBase::TRecordBase;
};

// Three levels over the root, each with its own rows and service names.
class TLevel1 : public TAbstractSupportService {
public:
  TVK_SERVED_LEVEL();
  int Calls = 0;
  HRESULT Echo(const WideString& s, WideString& r) { ++Calls; r = s + L"!"; return S_OK; }
  HRESULT Fail(int32_t) { ++Calls; return kE_UNEXPECTED; }
};

class TLevel2 : public TLevel1 {
public:
  TVK_SERVED_LEVEL();
  HRESULT Add(int32_t a, int64_t b, int64_t& r) { r = a + b; return S_OK; }
  HRESULT Unsigned(uint32_t u, uint32_t& r) { r = u; return S_OK; }
  HRESULT Flag(bool b, bool& r) { r = b; return S_OK; }
  HRESULT NonZero(int32_t& r) { r = 7; return S_OK; }
  HRESULT Truthy(bool& r) { r = true; return S_OK; }
  HRESULT Half(double& r) { r = 0.5; return S_OK; }
};

class TLevel3 : public TLevel2 {
public:
  TVK_SERVED_LEVEL();
  HRESULT Keep(const TTestRecord& r) { Kept = r; return S_OK; }
  HRESULT Give(TTestRecord& r) { r = Kept; return S_OK; }
  HRESULT Write(int32_t* p) { *p = 0x12345678; return S_OK; }
  HRESULT WriteBool(VARIANT_BOOL* p) { *p = VARIANT_TRUE; return S_OK; }
  HRESULT Throws(int32_t& r) { r = 1; throw Exception(L"boom"); }
  TTestRecord Kept;
};

constexpr TServedRow<TLevel1> kLevel1Rows[] = {
    TVK_SERVED_ROW(TLevel1, 10, Echo),
    TVK_SERVED_ROW(TLevel1, 11, Fail),
};
constexpr TServedRow<TLevel2> kLevel2Rows[] = {
    TVK_SERVED_ROW(TLevel2, 20, Add),     TVK_SERVED_ROW(TLevel2, 21, Unsigned),
    TVK_SERVED_ROW(TLevel2, 22, Flag),    TVK_SERVED_ROW(TLevel2, 23, NonZero),
    TVK_SERVED_ROW(TLevel2, 24, Truthy),  TVK_SERVED_ROW(TLevel2, 25, Half),
};
constexpr TServedRow<TLevel3> kLevel3Rows[] = {
    TVK_SERVED_ROW(TLevel3, 30, Keep),   TVK_SERVED_ROW(TLevel3, 31, Give),
    TVK_SERVED_ROW(TLevel3, 32, Write),  TVK_SERVED_ROW(TLevel3, 33, WriteBool),
    TVK_SERVED_ROW(TLevel3, 34, Throws),
};

}  // namespace

TVK_SERVED_LEVEL_IMPL(TLevel1, TAbstractSupportService, kLevel1Rows, L"LevelOne")
TVK_SERVED_LEVEL_IMPL(TLevel2, TLevel1, kLevel2Rows, L"Level-Two", L"5")
TVK_SERVED_LEVEL_IMPL(TLevel3, TLevel2, kLevel3Rows, L"LevelThree")

namespace {

using testsupport::I4;
using testsupport::I8;
using testsupport::Obj;
using testsupport::Str;

class ServedProtocol : public ::testing::Test {
protected:
  void SetUp() override {
    FObj = New<TLevel3>();
    FObj->AddRef();
  }
  void TearDown() override {
    for (auto& v : FArgs) VariantClear(&v);
    VariantClear(&FResult);
    FObj->Release();
  }
  // Calls Id with Args given in host order (argument 1 first).
  HRESULT Call(DISPID id, std::vector<VARIANT> args) {
    for (auto& v : FArgs) VariantClear(&v);
    FArgs.assign(args.rbegin(), args.rend());  // rgvarg holds them reversed
    DISPPARAMS p{FArgs.data(), nullptr, UINT(FArgs.size()), 0};
    return static_cast<IDispatch*>(FObj)->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &p, &FResult, nullptr, nullptr);
  }
  TLevel3* FObj = nullptr;
  std::vector<VARIANT> FArgs;
  VARIANT FResult{};
};

TEST_F(ServedProtocol, SupportsServiceMatchesEveryLevelsNamesWithoutCase) {
  struct Case { const wchar_t* name; bool expected; };
  for (Case c : {Case{L"LevelThree", true}, Case{L"levelone", true}, Case{L"LEVEL-TWO", true},
                 Case{L"", false}, Case{L"LevelThre", false}, Case{L"Level_Two", false}}) {
    ASSERT_EQ(S_OK, Call(kDispSupportsService, {Str(c.name)})) << c.name;
    EXPECT_EQ(VT_BOOL, FResult.vt);
    EXPECT_EQ(c.expected ? VARIANT_TRUE : VARIANT_FALSE, FResult.boolVal) << c.name;
  }
  // A number is compared as its text.
  ASSERT_EQ(S_OK, Call(kDispSupportsService, {I4(5)}));
  EXPECT_EQ(VARIANT_TRUE, FResult.boolVal);
}

TEST_F(ServedProtocol, ChainRoutesEachIdentifierToItsLevel) {
  ASSERT_EQ(S_OK, Call(10, {Str(L"hi")}));  // two levels down
  ASSERT_EQ(VT_BSTR, FResult.vt);
  EXPECT_STREQ(L"hi!", FResult.bstrVal);
  ASSERT_EQ(S_OK, Call(20, {I4(-3), I8(1LL << 40)}));
  ASSERT_EQ(VT_I8, FResult.vt);
  EXPECT_EQ((1LL << 40) - 3, FResult.llVal);
}

TEST_F(ServedProtocol, UnknownIdentifierIsNotImplementedAndLeavesResult) {
  FResult = I4(42);
  EXPECT_EQ(kE_NOTIMPL, Call(999, {}));
  EXPECT_EQ(VT_I4, FResult.vt);
  EXPECT_EQ(42, FResult.lVal);
}

TEST_F(ServedProtocol, TypeInformationIsNotOffered) {
  UINT count = 77;
  EXPECT_EQ(kE_NOTIMPL, FObj->GetTypeInfoCount(&count));
  EXPECT_EQ(77u, count);
  DISPID id = 5;
  LPOLESTR name = const_cast<LPOLESTR>(L"Echo");
  EXPECT_EQ(kE_NOTIMPL, FObj->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));
  EXPECT_EQ(5, id);
}

TEST_F(ServedProtocol, FailureAndExceptionKeepTheOldResult) {
  FResult = I4(42);
  EXPECT_EQ(kE_UNEXPECTED, Call(11, {I4(1)}));
  EXPECT_EQ(kE_UNEXPECTED, Call(34, {}));
  EXPECT_EQ(VT_I4, FResult.vt);
  EXPECT_EQ(42, FResult.lVal);
}

TEST_F(ServedProtocol, ResultKinds) {
  ASSERT_EQ(S_OK, Call(21, {I8(0xFFFFFFFFLL)}));  // u goes back as VT_I4 with the same bits
  EXPECT_EQ(VT_I4, FResult.vt);
  EXPECT_EQ(-1, FResult.lVal);
  ASSERT_EQ(S_OK, Call(24, {}));  // any non-zero boolean is -1
  EXPECT_EQ(VT_BOOL, FResult.vt);
  EXPECT_EQ(VARIANT_TRUE, FResult.boolVal);
  ASSERT_EQ(S_OK, Call(25, {}));
  EXPECT_EQ(VT_R8, FResult.vt);
  EXPECT_DOUBLE_EQ(0.5, FResult.dblVal);
}

TEST_F(ServedProtocol, ArgumentConversions) {
  ASSERT_EQ(S_OK, Call(20, {Str(L"12"), I4(30)}));  // numeric text for i, I4 for L
  EXPECT_EQ(42, FResult.llVal);
  ASSERT_EQ(S_OK, Call(21, {I4(-1)}));  // u takes the low 32 bits
  EXPECT_EQ(-1, FResult.lVal);
  // A by-reference string is followed.
  BSTR s = SysAllocString(L"ref");
  VARIANT byref;
  VariantInit(&byref);
  byref.vt = VT_BYREF | VT_BSTR;
  byref.pbstrVal = &s;
  ASSERT_EQ(S_OK, Call(10, {byref}));
  EXPECT_STREQ(L"ref!", FResult.bstrVal);
  FArgs.clear();  // by-reference variants own nothing
  SysFreeString(s);
  EXPECT_EQ(kE_UNEXPECTED, Call(20, {Str(L"twelve"), I4(1)}));
}

TEST_F(ServedProtocol, BooleanReadsOnlyTheSixteenBitsOfVtBool) {
  VARIANT b;
  VariantInit(&b);
  b.vt = VT_BOOL;
  b.lVal = 0x7FFF0000;  // garbage above the 16 bits of a false boolean
  ASSERT_EQ(S_OK, Call(22, {b}));
  EXPECT_EQ(VARIANT_FALSE, FResult.boolVal);
  b.lVal = 0;
  b.boolVal = VARIANT_TRUE;
  ASSERT_EQ(S_OK, Call(22, {b}));
  EXPECT_EQ(VARIANT_TRUE, FResult.boolVal);
}

TEST_F(ServedProtocol, ArgumentCountIsChecked) {
  EXPECT_EQ(kE_UNEXPECTED, Call(20, {I4(1)}));         // one of two
  EXPECT_EQ(kE_UNEXPECTED, Call(kDispSupportsService, {}));
  ASSERT_EQ(S_OK, Call(20, {I4(1), I4(2), I4(99)}));  // extra arguments are ignored
  EXPECT_EQ(3, FResult.llVal);
  DISPPARAMS p{nullptr, nullptr, 2, 0};  // a count without an array
  EXPECT_EQ(kE_UNEXPECTED,
            static_cast<IDispatch*>(FObj)->Invoke(20, IID_NULL, 0, DISPATCH_METHOD, &p, &FResult, nullptr, nullptr));
  EXPECT_EQ(kE_UNEXPECTED,
            static_cast<IDispatch*>(FObj)->Invoke(20, IID_NULL, 0, DISPATCH_METHOD, nullptr, &FResult, nullptr, nullptr));
}

TEST_F(ServedProtocol, NullResultRunsTheOperationAndStoresNothing) {
  VARIANT a = Str(L"x");
  DISPPARAMS p{&a, nullptr, 1, 0};
  EXPECT_EQ(S_OK, static_cast<IDispatch*>(FObj)->Invoke(10, IID_NULL, 0, DISPATCH_METHOD, &p, nullptr, nullptr, nullptr));
  EXPECT_EQ(1, FObj->Calls);
  VariantClear(&a);
}

TEST_F(ServedProtocol, RecordArgumentsKeepIdentityAndResultsAreDispatch) {
  auto* host = new hostsim::FakeHostObject;
  ASSERT_EQ(S_OK, Call(30, {Obj(host)}));
  EXPECT_EQ(static_cast<IDispatch*>(host), FObj->Kept.ToPointer());

  // By reference, VT_EMPTY, VT_NULL and a null pointer; VT_UNKNOWN is asked for IDispatch.
  IDispatch* slot = host;
  VARIANT r;
  VariantInit(&r);
  r.vt = VT_BYREF | VT_DISPATCH;
  r.ppdispVal = &slot;
  ASSERT_EQ(S_OK, Call(30, {r}));
  FArgs.clear();
  EXPECT_EQ(static_cast<IDispatch*>(host), FObj->Kept.ToPointer());
  VARIANT empty;
  VariantInit(&empty);
  ASSERT_EQ(S_OK, Call(30, {empty}));
  EXPECT_TRUE(FObj->Kept.IsEmpty());
  VARIANT unk;
  VariantInit(&unk);
  unk.vt = VT_UNKNOWN;
  unk.punkVal = static_cast<IDispatch*>(host);
  host->AddRef();
  ASSERT_EQ(S_OK, Call(30, {unk}));
  EXPECT_EQ(static_cast<IDispatch*>(host), FObj->Kept.ToPointer());
  // Any other type is refused.
  EXPECT_EQ(kE_UNEXPECTED, Call(30, {I4(1234)}));

  ASSERT_EQ(S_OK, Call(31, {}));
  ASSERT_EQ(VT_DISPATCH, FResult.vt);
  EXPECT_EQ(static_cast<IDispatch*>(host), FResult.pdispVal);

  // Storing a new result releases the old one.
  long before = host->Releases();
  ASSERT_EQ(S_OK, Call(23, {}));
  EXPECT_EQ(before + 1, host->Releases());
  FObj->Kept.Clear();
  for (auto& v : FArgs) VariantClear(&v);
  FArgs.clear();
  EXPECT_EQ(1, host->RefCount());  // every reference taken was given back
  host->Release();
}

TEST_F(ServedProtocol, ByReferenceOutputsNeedTheirWidth) {
  long target = 0;
  VARIANT ref;
  VariantInit(&ref);
  ref.vt = VT_BYREF | VT_I4;
  ref.plVal = &target;
  ASSERT_EQ(S_OK, Call(32, {ref}));
  EXPECT_EQ(0x12345678, target);
  short narrow = 0;
  ref.vt = VT_BYREF | VT_I2;
  ref.piVal = &narrow;
  EXPECT_EQ(kE_UNEXPECTED, Call(32, {ref}));
  EXPECT_EQ(kE_UNEXPECTED, Call(32, {I4(0)}));  // a value is not a reference
  VARIANT_BOOL flag = VARIANT_FALSE;
  ref.vt = VT_BYREF | VT_BOOL;
  ref.pboolVal = &flag;
  ASSERT_EQ(S_OK, Call(33, {ref}));
  EXPECT_EQ(VARIANT_TRUE, flag);
  ref.vt = VT_BYREF | VT_I4;
  ref.plVal = &target;
  EXPECT_EQ(kE_UNEXPECTED, Call(33, {ref}));  // a 32-bit referent for a 16-bit boolean
  FArgs.clear();
}

TEST(ServedObject, ConstructionHoldsTheCountAndTheLastReleaseFrees) {
  static int destroyed = 0;
  struct Tracked : TAbstractSupportService {
    ~Tracked() override { ++destroyed; }
  };
  Tracked* t = New<Tracked>();
  EXPECT_EQ(0, t->RefCount());
  ISupportService* ss = nullptr;
  ASSERT_EQ(S_OK, t->QueryInterface(IID_ISupportService, reinterpret_cast<void**>(&ss)));
  EXPECT_EQ(1, t->RefCount());
  ss->Release();
  EXPECT_EQ(1, destroyed);
}

TEST(ServedObject, InstanceSupportsServiceAsksTheHostObject) {
  auto* host = new hostsim::FakeHostObject;
  host->SetServices({L"JlinkPort"});
  EXPECT_TRUE(InstanceSupportsService(static_cast<IDispatch*>(host), L"jlinkport"));
  EXPECT_FALSE(InstanceSupportsService(static_cast<IDispatch*>(host), L"JtagPort"));
  ComRef<IUnknown> service;
  EXPECT_TRUE(GetSupportedService(static_cast<IDispatch*>(host), L"JlinkPort", service));
  EXPECT_EQ(static_cast<IUnknown*>(static_cast<IDispatch*>(host)), service.Get());
  service.Reset();
  host->SetOffersSupportService(false);
  service = ComRef<IUnknown>(static_cast<IDispatch*>(host));
  EXPECT_FALSE(GetSupportedService(static_cast<IDispatch*>(host), L"JlinkPort", service));
  EXPECT_FALSE(service);
  EXPECT_EQ(1, host->RefCount());
  host->Release();
}

}  // namespace

TEST(WideStrings, AFailedAllocationRaisesInsteadOfGivingAnEmptyString) {
  // Lengths no BSTR can hold: the allocation must fail loudly, never come
  // back empty or cut to the low 32 bits of the length (read past the text).
  const wchar_t text[] = L"abc";
  std::vector<std::size_t> lengths = {0x7FFFFFFE, 0xFFFFFFFF};
  if constexpr (sizeof(std::size_t) > 4) lengths.push_back(std::size_t(0x100000003ull));
  for (std::size_t length : lengths) {
    const std::wstring_view huge(text, length);  // never read: refused before any copy
    try {
      Bstr held(huge);
      ADD_FAILURE() << "a string of " << length << " characters came back as " << held.Str().size();
    } catch (const EOleSysError& e) {
      EXPECT_EQ(E_OUTOFMEMORY, e.ErrorCode()) << length;
    }
    EXPECT_THROW(AllocBstr(huge), EOleSysError) << length;
  }
  // An empty text is no failure: it is held as null.
  EXPECT_EQ(nullptr, Bstr(std::wstring()).Get());
  EXPECT_EQ(L"abc", Bstr(std::wstring(L"abc")).Str());
}
