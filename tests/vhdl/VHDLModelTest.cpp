// The model's text forms and schematic names, and its ownership: an entity
// frees what its lists hold, each object once; a signal's mapped ports are
// the instance's, not the signal's.
#include "Tovik.Classes.VHDL.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace tvk;

namespace {

struct ElementCase {
  const wchar_t *Name, *Type;
  TPinElectrical Mode;
  int Direction;
  const wchar_t *E1, *E2, *Default;
  const wchar_t *Text, *SchematicId;
};

TEST(VHDLModel, ElementTextsAndSchematicNames) {
  const ElementCase cases[] = {
      {L"CLK", L"std_logic", eElectricInput, -1, L"", L"", L"", L"Port CLK Input : std_logic", L"CLK"},
      {L"D", L"std_logic_vector", eElectricOutput, vhdl::kDownto, L" 7", L"0", L"x",
       L"Port D Output : std_logic_vector( 7 downto 0) := x", L"D[7..0]"},
      {L"PA", L"bit_vector", eElectricIO, vhdl::kTo, L" 0", L"15", L"", L"Port PA I/O : bit_vector( 0 to 15)",
       L"PA[0..15]"},
      {L"A", L"bit_vector", eElectricInput, vhdl::kTo, L" 3", L" 3", L"", L"Port A Input : bit_vector( 3)", L"A3"},
      {L"A", L"bit_vector", eElectricInput, vhdl::kTo, L"N", L"N", L"", L"Port A Input : bit_vector(N)", L"A(N)"},
      {L"S", L"bit", eElectricIO, -1, L"", L"", L"", L"Port S I/O : bit", L"S"},
      {L"G", L"bit", eElectricOpenCollector, -1, L"", L"", L"", L"Port G Open Collector : bit", L"G"},
      {L"R", L"natural", eElectricPower, -1, L"5", L"5", L"", L"Port R Power : natural", L"R"},
  };
  for (const ElementCase& c : cases) {
    TVHDLPort port(nullptr);
    port.FName = c.Name;
    port.SubTypeIndication = c.Type;
    port.FMode = c.Mode;
    port.FArrayDirection = c.Direction;
    port.Expression1 = c.E1;
    port.Expression2 = c.E2;
    port.DefaultValue = c.Default;
    EXPECT_EQ(c.Text, port.GetState_StringDescriptor());
    EXPECT_EQ(c.SchematicId, port.GetState_AsSchematicId());
    EXPECT_EQ(TrimText(c.E1), port.Expression1);  // stored back trimmed
  }
  TVHDLSignal signal(nullptr);
  signal.FName = L"S";
  signal.SubTypeIndication = L"bit";
  EXPECT_EQ(L"Signal S I/O : bit", signal.GetState_StringDescriptor());
  TVHDLGeneric generic(nullptr);
  generic.FName = L"W";
  generic.SubTypeIndication = L"integer";
  generic.DefaultValue = L"8";
  EXPECT_EQ(L"Generic W I/O : integer := 8", generic.GetState_StringDescriptor());
  EXPECT_EQ(L"Attribute ", TVHDLAttribute(nullptr).GetState_StringDescriptor());
  EXPECT_EQ(L"Constant ", TVHDLConstant(nullptr).GetState_StringDescriptor());
  EXPECT_EQ(L"", TEntity(nullptr).GetState_StringDescriptor());
}

TEST(VHDLModel, InitialValuesWithoutAParser) {
  TVHDLPort port(nullptr);
  EXPECT_EQ(9999, port.LineNumber);
  EXPECT_EQ(9999, port.ColumnNumber);
  EXPECT_EQ(eElementPortDeclaration, port.ElementKind);
  EXPECT_EQ(eElectricIO, port.FMode);
  EXPECT_EQ(-1, port.FArrayDirection);
  EXPECT_EQ(eElementSignalDeclaration, TVHDLSignal(nullptr).ElementKind);
  EXPECT_EQ(eElementGenericDeclaration, TVHDLGeneric(nullptr).ElementKind);
  TVHDLAttribute attribute(nullptr);
  EXPECT_EQ(eAttributeKind_None, attribute.AttributeKind);
  EXPECT_EQ(eAttributeTarget_None, attribute.AttributeTarget);
  EXPECT_EQ(-1, attribute.AttributeTargetKind);
  TMappedPort mapped(nullptr, nullptr);
  EXPECT_EQ(eElementPortMap, mapped.ElementKind);
  EXPECT_EQ(-1, mapped.Formal_ArrayDirection);
  EXPECT_EQ(-1, mapped.Actual_ArrayDirection);
  EXPECT_EQ(eElementGenericMap, TMappedGeneric(nullptr, nullptr).ElementKind);
  // Counting no references: the object is its owner's.
  EXPECT_EQ(0u, port.AddRef());
  EXPECT_EQ(0u, port.Release());
}

TEST(VHDLModel, AnAssociationReadsWithItsInstanceAndActual) {
  TEntity entity(nullptr);
  TComponentInstance instance(nullptr, &entity);
  instance.Name = L"U1";
  TVHDLPort declared(nullptr);
  declared.FName = L"C";
  TVHDLSignal clock(nullptr);
  clock.FName = L"CLK";
  TMappedPort element(nullptr, &instance);
  EXPECT_EQ(L"Port Map  => ", element.GetState_StringDescriptor());
  element.VHDLPort = &declared;
  element.SignalOrPort = &clock;
  EXPECT_EQ(L"Port Map U1-C => CLK(Signal)", element.GetState_StringDescriptor());
  element.Actual_ArrayDirection = vhdl::kDownto;
  element.Actual_Expression1 = L" 3";
  element.Actual_Expression2 = L"0";
  EXPECT_EQ(L"Port Map U1-C => CLK(Signal)( 3 downto 0)", element.GetState_StringDescriptor());
}

TEST(VHDLModel, StripStringLiteral) {
  const struct {
    const wchar_t *In, *Out;
  } cases[] = {
      {L"\"TDI:1,\"&\"TDO:2\"", L"TDI:1, TDO:2"},
      {L"\"0 (BC_1, *, control, 1), \"&\"1 (BC_1)\"", L"0 (BC_1, *, control, 1),  1 (BC_1)"},
      {L"232", L"232"},
      {L"\"\"", L"\"\""},
      {L"\" a \"", L"a"},
      {L"\"a\"&b", L"\"a\"&b"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Out, StripStringLiteral(c.In));
}

// Counts how often each probe is destroyed.
std::map<std::wstring, int> gFreed;

template <class Base>
class TProbe : public Base {
public:
  template <class... A>
  explicit TProbe(std::wstring name, A... args) : Base(args...), FName(std::move(name)) {}
  ~TProbe() override { ++gFreed[FName]; }

private:
  std::wstring FName;
};

TEST(VHDLModel, DestroyingAnEntityFreesEveryObjectOnce) {
  gFreed.clear();
  {
    auto* entity = new TProbe<TEntity>(L"entity", nullptr);
    auto* signal = new TProbe<TVHDLSignal>(L"signal", nullptr);
    auto* port = new TProbe<TVHDLPort>(L"port", nullptr);
    entity->Signals->AddObject(L"S", signal);
    entity->Ports->AddObject(L"P", port);
    entity->Generics->AddObject(L"G", new TProbe<TVHDLGeneric>(L"generic", nullptr));
    entity->Attributes->AddObject(L"", new TProbe<TVHDLAttribute>(L"attribute", nullptr));
    entity->Constants->AddObject(L"", new TProbe<TVHDLConstant>(L"constant", nullptr));
    auto* declaration = new TProbe<TComponentDeclaration>(L"declaration", nullptr);
    declaration->Ports->AddObject(L"C", new TProbe<TVHDLPort>(L"declared port", nullptr));
    entity->ComponentDeclarations->AddObject(L"REG", declaration);
    auto* instance = new TProbe<TComponentInstance>(L"instance", nullptr, entity);
    auto* mapped = new TProbe<TMappedPort>(L"mapped port", nullptr, instance);
    instance->PortMap->AddObject(L"C", mapped);
    instance->GenericMap->AddObject(L"W", new TProbe<TMappedGeneric>(L"mapped generic", nullptr, instance));
    entity->ComponentInstances->AddObject(L"U1", instance);
    // The signal and the port refer to the element; the instance owns it.
    signal->MappedPorts->AddObject(L"C", mapped);
    port->MappedPorts->AddObject(L"C", mapped);
    delete static_cast<TObject*>(entity);
  }
  const std::map<std::wstring, int> expected = {
      {L"entity", 1},        {L"signal", 1},      {L"port", 1},        {L"generic", 1},
      {L"attribute", 1},     {L"constant", 1},    {L"declaration", 1}, {L"declared port", 1},
      {L"instance", 1},      {L"mapped port", 1}, {L"mapped generic", 1},
  };
  EXPECT_EQ(expected, gFreed);
}

}  // namespace
