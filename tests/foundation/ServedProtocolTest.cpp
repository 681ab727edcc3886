// The served-object protocol: argument and result kinds, the level chain,
// service names and failure handling, exercised through IDispatch::Invoke as
// the host calls it.
#include <gtest/gtest.h>

#include "FakeHostObject.h"
#include "ZUL.Types.h"
#include "support/HostCall.h"

#include <functional>
#include <memory>
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

namespace {

// An object that hands out its IDispatch as a tear-off: a new interface for
// each query, alive only while references to it are. A call on one whose last
// reference went (memory kept here, so that it is seen, not a crash) is counted.
class TTearOffDispatch : public IDispatch {
public:
  explicit TTearOffDispatch(int& lateCalls) : FLateCalls(lateCalls) {}
  bool Gone() const { return FGone; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return Late() ? E_UNEXPECTED : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return Late() ? 0 : ULONG(++FCount); }
  ULONG STDMETHODCALLTYPE Release() override {
    if (Late()) return 0;
    FGone = --FCount == 0;
    return ULONG(FCount);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return Late() ? E_UNEXPECTED : S_OK;
  }

private:
  bool Late() {
    if (FGone) ++FLateCalls;
    return FGone;
  }
  int& FLateCalls;
  LONG FCount = 1;  // the query's reference
  bool FGone = false;
};

class TTearOffOwner : public IUnknown {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) *out = static_cast<IUnknown*>(this);
    else if (IsEqualIID(iid, IID_IDispatch)) {
      TearOffs.push_back(std::make_unique<TTearOffDispatch>(LateCalls));
      *out = static_cast<IDispatch*>(TearOffs.back().get());
    }
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }  // lives on the test's stack
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  std::vector<std::unique_ptr<TTearOffDispatch>> TearOffs;
  int LateCalls = 0;
};

}  // namespace

TEST_F(ServedProtocol, ARecordFromAnUnknownKeepsTheTearOffItWasGiven) {
  TTearOffOwner owner;
  for (bool byReference : {false, true}) {
    SCOPED_TRACE(byReference ? "by reference" : "by value");
    IUnknown* slot = &owner;
    VARIANT unk;
    VariantInit(&unk);
    unk.vt = byReference ? VT_BYREF | VT_UNKNOWN : VT_UNKNOWN;
    if (byReference) unk.ppunkVal = &slot;
    else unk.punkVal = &owner;
    ASSERT_EQ(S_OK, Call(30, {unk}));
    FArgs.clear();  // the owner counts nothing
    ASSERT_FALSE(owner.TearOffs.empty());
    TTearOffDispatch* kept = owner.TearOffs.back().get();
    EXPECT_EQ(static_cast<IDispatch*>(kept), FObj->Kept.ToPointer());
    EXPECT_FALSE(kept->Gone());
    EXPECT_EQ(0, owner.LateCalls);
    FObj->Kept.Clear();  // the record's reference was the last
    EXPECT_TRUE(kept->Gone());
    EXPECT_EQ(0, owner.LateCalls);
  }
}

TEST_F(ServedProtocol, AHostObjectWhereAValueIsExpectedFailsWithoutAskingIt) {
  // An object whose default member would answer: asking it is a call into the host.
  auto* host = new hostsim::FakeHostObject;
  host->ReturnString(DISPID_VALUE, L"12");
  VARIANT inner = Obj(host);
  VARIANT viaVariant;
  VariantInit(&viaVariant);
  viaVariant.vt = VT_BYREF | VT_VARIANT;
  viaVariant.pvarVal = &inner;
  VARIANT unknown;
  VariantInit(&unknown);
  unknown.vt = VT_UNKNOWN;
  unknown.punkVal = static_cast<IDispatch*>(host);
  struct Case {
    const char* Name;
    DISPID Id;
    std::function<std::vector<VARIANT>(const VARIANT&)> Args;
  };
  const Case cases[] = {
      {"string", 10, [](const VARIANT& v) { return std::vector<VARIANT>{v}; }},
      {"integer", 20, [](const VARIANT& v) { return std::vector<VARIANT>{v, I4(1)}; }},
      {"64-bit integer", 20, [](const VARIANT& v) { return std::vector<VARIANT>{I4(1), v}; }},
      {"unsigned", 21, [](const VARIANT& v) { return std::vector<VARIANT>{v}; }},
  };
  for (const Case& c : cases) {
    for (const VARIANT* object : {&inner, &viaVariant, &unknown}) {
      SCOPED_TRACE(testing::Message() << c.Name << ", variant type " << object->vt);
      const int calls = FObj->Calls;
      VariantClear(&FResult);
      FResult.vt = VT_I4;
      FResult.lVal = 99;
      EXPECT_EQ(kE_UNEXPECTED, Call(c.Id, c.Args(*object)));
      FArgs.clear();  // the variants are the test's own
      EXPECT_EQ(calls, FObj->Calls);  // the operation did not run
      EXPECT_EQ(VT_I4, FResult.vt);   // nothing written
      EXPECT_EQ(99, FResult.lVal);
    }
  }
  EXPECT_TRUE(host->Calls().empty());
  VariantClear(&inner);
  EXPECT_EQ(1, host->RefCount());
  host->Release();
}
