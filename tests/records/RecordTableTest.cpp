// The whole record table: every generated record and operation against the
// identifiers of the host interfaces (a list kept apart from the table), and
// every typed operation on the wire against its own descriptor.
#include "RecordCatalogue.h"
#include "RecordTestSupport.h"

#include <map>
#include <sstream>

using namespace tvk;
namespace tvk_test {

namespace {

const char* const kIdentifiers =
#include "RecordIdentifiers.inc"
    ;

struct ExpectedRecord {
  std::string Unit, Iid;
  int Methods;
};
struct ExpectedOperation {
  long DispId;
  std::vector<uint8_t> Args;
  uint8_t Result;
};

uint8_t KindCode(const std::string& letter) {
  static const std::map<std::string, uint8_t> codes = {
      {"-", 0x00}, {"i", 0x03}, {"d", 0x05}, {"s", 0x08}, {"o", 0x09}, {"b", 0x0B}, {"L", 0x14},
      {"i&", 0x83}, {"s&", 0x88}, {"o&", 0x89}, {"L&", 0x94},
  };
  auto it = codes.find(letter);
  if (it == codes.end()) throw std::runtime_error("unknown kind " + letter);
  return it->second;
}

void ReadIdentifiers(std::map<std::string, ExpectedRecord>& records, std::map<std::string, ExpectedOperation>& ops) {
  std::istringstream in(kIdentifiers);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string what, name;
    if (!(words >> what >> name)) continue;
    if (what == "record") {
      ExpectedRecord r;
      words >> r.Unit >> r.Iid >> r.Methods;
      records[name] = r;
    } else if (what == "op") {
      ExpectedOperation op;
      std::string args, result;
      words >> op.DispId >> args >> result;
      if (args != "-") {
        std::istringstream list(args);
        for (std::string kind; std::getline(list, kind, ',');) op.Args.push_back(KindCode(kind));
      }
      op.Result = KindCode(result);
      ops[name] = op;
    }
  }
}

std::string IidText(const GUID& g) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2, g.Data3,
                g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

TEST(RecordTable, EveryIdentifierMatchesTheHostInterfaces) {
  std::map<std::string, ExpectedRecord> records;
  std::map<std::string, ExpectedOperation> ops;
  ReadIdentifiers(records, ops);
  ASSERT_EQ(107u, records.size());  // the list itself is whole

  for (const TRecordInfo& r : RecordCatalogue()) {
    auto it = records.find(r.Name);
    if (it == records.end()) {
      ADD_FAILURE() << r.Name << " is not a host interface";
      continue;
    }
    EXPECT_EQ(it->second.Unit, r.Unit) << r.Name;
    EXPECT_EQ(it->second.Iid, IidText(r.Iid)) << r.Name;
    EXPECT_EQ(it->second.Methods, r.MethodCount) << r.Name;
    records.erase(it);
  }
  for (const auto& [name, _] : records) ADD_FAILURE() << "no record " << name;

  for (const TRecordOperationInfo& op : RecordOperationCatalogue()) {
    const std::string name = std::string(op.Record) + "." + op.Operation;
    auto it = ops.find(name);
    if (it == ops.end()) {
      ADD_FAILURE() << name << " is not an operation of the host interfaces";
      continue;
    }
    const uint8_t* d = op.Descriptor;
    EXPECT_EQ(it->second.DispId, DescriptorDispId(d)) << name;
    EXPECT_EQ(it->second.Result, d[kDescResultKind]) << name;
    EXPECT_EQ(kCallMethod, d[kDescCallDescription]) << name;
    EXPECT_EQ(0, d[kDescNamedArgCount]) << name;
    EXPECT_EQ(it->second.Args, std::vector<uint8_t>(d + kDescArgKinds, d + kDescArgKinds + d[kDescArgCount])) << name;
    ops.erase(it);
  }
  for (const auto& [name, _] : ops) ADD_FAILURE() << "no operation " << name;
}

// The flash writers' image operations name their parameters in the order the
// module's writers serve them, so that an option a caller names reaches the
// writer's option of that name (the wire kinds are the same either way).
TEST(RecordTable, FlashImageOperationsTakeTheServedOrder) {
  const std::map<std::string, std::string> want = {
      {"IFlashWriter.ProgramImage", "MemorySpace,Image,AutomaticChecksum,PreserveSectorData,ResetAfterLoad,Verify"},
      {"IFlashWriter.CompareImage", "MemorySpace,Image,StartAddress,ByteCount,AutomaticChecksum"},
  };
  std::size_t seen = 0;
  for (const TRecordOperationInfo& op : RecordOperationCatalogue()) {
    const auto it = want.find(std::string(op.Record) + "." + op.Operation);
    if (it == want.end()) continue;
    EXPECT_EQ(it->second, op.Parameters) << it->first;
    ++seen;
  }
  EXPECT_EQ(want.size(), seen);
}

// Answers an operation's identifier with a value of its result kind.
void AnswerWithKind(FakeHostObject& host, DISPID id, uint8_t kind, IDispatch* object) {
  switch (kind) {
    case kKindNone: host.Accept(id); break;
    case kKindInt: host.ReturnInt(id, 1); break;
    case kKindInt64: host.ReturnInt64(id, 1); break;
    case kKindBool: host.ReturnBool(id, true); break;
    case kKindDouble: host.ReturnDouble(id, 1.0); break;
    case kKindString: host.ReturnString(id, L"x"); break;
    case kKindDispatch: host.ReturnObject(id, object); break;
    default: FAIL() << "result kind " << int(kind);
  }
}

TEST(RecordTable, EveryOperationSendsItsDescriptor) {
  Fake answer = MakeFake();
  for (const TRecordOperationInfo& op : RecordOperationCatalogue()) {
    const std::string name = std::string(op.Record) + "." + op.Operation;
    const uint8_t* d = op.Descriptor;
    Fake host = MakeFake();
    AnswerWithKind(*host.Get(), DescriptorDispId(d), d[kDescResultKind], AsDispatch(answer));
    try {
      op.Probe(AsDispatch(host));
    } catch (const Exception& e) {
      ADD_FAILURE() << name << ": " << std::string(e.Message().begin(), e.Message().end());
      continue;
    }
    ASSERT_EQ(1u, host->Calls().size()) << name;
    const auto& call = host->Calls()[0];
    const unsigned count = d[kDescArgCount];
    EXPECT_EQ(DescriptorDispId(d), call.Id) << name;
    EXPECT_EQ(count ? DISPATCH_METHOD : DISPATCH_METHOD | DISPATCH_PROPERTYGET, call.Flags) << name;
    ASSERT_EQ(count, call.ArgCount) << name;
    for (unsigned k = 0; k < count; ++k) {
      const uint8_t kind = d[kDescArgKinds + k];
      const VARTYPE want = (kind & kKindByRef) ? VARTYPE(VT_BYREF | (kind & ~kKindByRef)) : VARTYPE(kind);
      EXPECT_EQ(want, call.Type(k)) << name << " argument " << k + 1;
    }
  }
  EXPECT_EQ(1, answer->RefCount());  // every object result was released
}

}  // namespace

}  // namespace tvk_test
