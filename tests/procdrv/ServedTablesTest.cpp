// The served tables of processor information, memory sections, memory maps and
// the J-Link driver, driven through IDispatch::Invoke as the host calls them.
#include <gtest/gtest.h>

#include "Tovik.Classes.h"
#include "support/HostCall.h"

#include <functional>
#include <variant>

namespace {

using namespace testsupport;
using tvk::ComRef;

template <class T, class... A>
ComRef<IDispatch> Make(A&&... args) {
  return ComRef<IDispatch>(static_cast<IDispatch*>(tvk::New<T>(std::forward<A>(args)...)));
}

struct TServiceCase {
  const wchar_t* Service;
  std::function<ComRef<IDispatch>()> Create;
};

const TServiceCase kServices[] = {
    {L"JlinkDriver", [] { return Make<tvk::TAbstractJlinkDriver>(); }},
    {L"DeviceProcessorInformation",
     [] { return Make<tvk::TDeviceProcessorInformation>(tvk::eDeviceProcessor_CORE_ARM_CORTEX_M3); }},
    {L"DeviceMemoryLogicalSection", [] { return Make<tvk::TDeviceMemoryLogicalSection>(); }},
    {L"DeviceMemoryArchitectureSection", [] { return Make<tvk::TDeviceMemoryArchitectureSection>(); }},
    {L"DeviceMemoryInformation", [] { return Make<tvk::TDeviceMemoryInformation>(); }},
};

TEST(ServedTables, EachClassSupportsItsOwnServiceNameOnly) {
  for (const auto& c : kServices) {
    ComRef<IDispatch> object = c.Create();
    for (const auto& other : kServices)
      EXPECT_EQ(&other == &c, Supports(object.Get(), other.Service)) << c.Service << " asked " << other.Service;
    std::wstring upper = c.Service;
    for (auto& ch : upper) ch = wchar_t(towupper(ch));
    EXPECT_TRUE(Supports(object.Get(), upper)) << c.Service;
  }
}

TEST(ServedTables, IdentifiersOfOtherTablesAreNotImplemented) {
  // 503948 is the debug manager's; 503879/503881 lie beside the J-Link row.
  for (const auto& c : kServices) {
    ComRef<IDispatch> object = c.Create();
    for (DISPID id : {503948, 503879, 503881, 503885}) EXPECT_EQ(HRESULT(0x80004001L), Call(object.Get(), id).Hr) << c.Service << " " << id;
  }
}

TEST(ServedTables, AbstractJlinkDriverRowReachesTheAbstractOperation) {
  struct TProbe : tvk::TAbstractJlinkDriver {
    HRESULT GetJlinkHandle(uint32_t& Result) override {
      Result = 0xCAFE0001u;
      return S_OK;
    }
  };
  ComRef<IDispatch> probe = Make<TProbe>();
  TCall c = Call(probe.Get(), 503880);
  ASSERT_EQ(S_OK, c.Hr);
  EXPECT_EQ(VT_I4, c.Type());
  EXPECT_EQ(long(0xCAFE0001u), c.Int());
  EXPECT_EQ(HRESULT(0x80004001L), Call(Make<tvk::TAbstractJlinkDriver>().Get(), 503880).Hr);
}

// One field of a section: its setter, its getter, a value sent and the
// answer expected (a string, a 32-bit value or a boolean).
using TValue = std::variant<std::wstring, long, bool>;
struct TFieldRow {
  DISPID Set, Get;
  std::function<VARIANT()> Arg;
  TValue Expected;
};

void ExpectAnswer(const TCall& c, const TValue& expected, DISPID id) {
  ASSERT_EQ(S_OK, c.Hr) << id;
  if (auto* s = std::get_if<std::wstring>(&expected)) {
    EXPECT_EQ(VT_BSTR, c.Type()) << id;
    EXPECT_EQ(*s, c.Text()) << id;
  } else if (auto* n = std::get_if<long>(&expected)) {
    EXPECT_EQ(VT_I4, c.Type()) << id;
    EXPECT_EQ(*n, c.Int()) << id;
  } else {
    EXPECT_EQ(VT_BOOL, c.Type()) << id;
    EXPECT_EQ(std::get<bool>(expected), c.Bool()) << id;
  }
}

// Every setter first, then every getter: a row bound to another field's
// identifier shows up as a wrong answer.
void RoundTrip(IDispatch* object, const std::vector<TFieldRow>& rows) {
  for (const auto& r : rows) EXPECT_EQ(S_OK, Call(object, r.Set, {r.Arg()}).Hr) << r.Set;
  for (const auto& r : rows) ExpectAnswer(Call(object, r.Get), r.Expected, r.Get);
}

TEST(ServedTables, LogicalSectionFieldsRoundTripUnchanged) {
  ComRef<IDispatch> section = Make<tvk::TDeviceMemoryLogicalSection>();
  RoundTrip(section.Get(), {
                               {503904, 503891, [] { return I4(-1); }, -1L},  // unsigned index: all bits kept
                               {503905, 503899, [] { return Bool(true); }, true},
                               {503906, 503898, [] { return I4(16); }, 16L},
                               {503907, 503892, [] { return Str(L" Bus Name "); }, std::wstring(L" Bus Name ")},
                               {503908, 503893, [] { return Str(L"AHB"); }, std::wstring(L"AHB")},
                               {503910, 503897, [] { return I4(0x20000); }, 0x20000L},
                               {503911, 503896, [] { return I4(long(0x80000000u)); }, long(0x80000000u)},
                               {503912, 503894, [] { return Str(L"usage"); }, std::wstring(L"usage")},
                               {503913, 503895, [] { return Str(L"Flash"); }, std::wstring(L"Flash")},
                               {503914, 503901, [] { return Str(L"U7"); }, std::wstring(L"U7")},
                               {503915, 503902, [] { return Str(L"cfg"); }, std::wstring(L"cfg")},
                               {503916, 503903, [] { return I4(1); }, true},
                           });
}

TEST(ServedTables, BooleanSettersTakeVariantBooleansAndIntegers) {
  ComRef<IDispatch> section = Make<tvk::TDeviceMemoryLogicalSection>();
  const struct {
    VARIANT (*Arg)();
    bool Expected;
  } cases[] = {
      {[] { return Bool(true); }, true},
      {[] { return I4(0); }, false},
      {[] { return I4(-1); }, true},
      {[] { return Bool(false); }, false},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(S_OK, Call(section.Get(), 503905, {c.Arg()}).Hr);
    EXPECT_EQ(c.Expected, Call(section.Get(), 503899).Bool());
  }
}

TEST(ServedTables, ArchitectureSectionFieldsRoundTripUnchanged) {
  ComRef<IDispatch> section = Make<tvk::TDeviceMemoryArchitectureSection>();
  RoundTrip(section.Get(), {
                               {503926, 503917, [] { return I4(3); }, 3L},
                               {503927, 503918, [] { return Str(L"Mem"); }, std::wstring(L"Mem")},
                               {503928, 503919, [] { return Str(L" text "); }, std::wstring(L" text ")},
                               {503929, 503920, [] { return Str(L"APB"); }, std::wstring(L"APB")},
                               {503930, 503921, [] { return I4(0x08000000); }, 0x08000000L},
                               {503931, 503922, [] { return I4(0x10000); }, 0x10000L},
                               {503932, 503924, [] { return I4(32); }, 32L},
                               {503933, 503923, [] { return Bool(true); }, true},
                               {503934, 503925, [] { return Str(L"U1"); }, std::wstring(L"U1")},
                           });
}

TEST(ServedTables, IndexGettersReadMinusOneAsUnsignedAndAnswerANullReference) {
  ComRef<IDispatch> map = Make<tvk::TDeviceMemoryInformation>();
  ComRef<IDispatch> arch = Make<tvk::TDeviceMemoryArchitectureSection>();
  for (auto [object, id] : {std::pair{map.Get(), 503943}, {map.Get(), 503944}, {arch.Get(), 503937}}) {
    TCall c = Call(object, id, {I4(-1)});
    ASSERT_EQ(S_OK, c.Hr) << id;
    EXPECT_EQ(VT_DISPATCH, c.Type()) << id;
    EXPECT_EQ(nullptr, c.Dispatch()) << id;
  }
}

TEST(ServedTables, MissingOrUnconvertibleArgumentsFailWithUnexpected) {
  ComRef<IDispatch> section = Make<tvk::TDeviceMemoryLogicalSection>();
  EXPECT_EQ(HRESULT(0x8000FFFFL), Call(section.Get(), 503910).Hr);
  EXPECT_EQ(HRESULT(0x8000FFFFL), Call(section.Get(), 503910, {Str(L"not a number")}).Hr);
  EXPECT_EQ(HRESULT(0x8000FFFFL), Call(section.Get(), 503909, {I4(5)}).Hr);  // not an object
}

}  // namespace
