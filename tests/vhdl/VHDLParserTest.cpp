// VHDL text read into the model: declarations of entities, architectures and
// components, the texts kept, the errors posted to the messages panel with a
// cross-probe to their position, and the log.
#include "VHDLFixture.h"
#include "support/FolderTests.h"

using namespace tvk;
using namespace testsupport;
namespace vhdl_test {

namespace {

template <class T>
T& Element(const TStringList& list, const std::wstring& key) {
  int index = 0;
  EXPECT_TRUE(list.Find(key, index)) << std::string(key.begin(), key.end());
  return *static_cast<T*>(list.Objects(index));
}

// The objects of a list in declaration order (attributes and constants share
// the key "", so the sorted list holds them latest first).
template <class T>
std::vector<T*> Walk(const TStringList& list) {
  std::vector<T*> objects;
  for (int i = 0; i < list.Count(); ++i) objects.push_back(static_cast<T*>(list.Objects(i)));
  return objects;
}

using VHDLParser = VHDLHost;

TEST_F(VHDLParser, PortsWithTheirModesTypesAndBothBoundForms) {
  Parse(L"entity E is\n"
        L"  port (A : in bit; B : out bit_vector(3 downto 0);\n"
        L"        C, D : inout std_logic; G : buffer bit; L : linkage bit;\n"
        L"        S : bit; N : in integer range 0 to 7;\n"
        L"        X : in bit_vector(4) := \"0000\");\n"
        L"end E;\n");
  ASSERT_TRUE(Posted().empty()) << "no error expected";
  ASSERT_EQ(1, Entities.Count());
  TEntity& e = Entities.At(0);
  EXPECT_EQ(L"E", e.Name);
  struct Expect {
    const wchar_t* Key;
    int Index;
    TPinElectrical Mode;
    const wchar_t* Type;
    int Direction;
    const wchar_t *E1, *E2, *Default, *Text;
  };
  const Expect expected[] = {
      {L"A", 0, eElectricInput, L"bit", -1, L"", L"", L"", L"Port A Input : bit"},
      {L"B", 1, eElectricOutput, L"bit_vector", vhdl::kDownto, L" 3", L"0", L"", L"Port B Output : bit_vector( 3 downto 0)"},
      {L"C", 2, eElectricIO, L"std_logic", -1, L"", L"", L"", L"Port C I/O : std_logic"},
      {L"D", 3, eElectricIO, L"std_logic", -1, L"", L"", L"", L"Port D I/O : std_logic"},
      {L"G", 4, eElectricOpenCollector, L"bit", -1, L"", L"", L"", L"Port G Open Collector : bit"},
      {L"L", 5, eElectricIO, L"bit", -1, L"", L"", L"", L"Port L I/O : bit"},
      {L"S", 6, eElectricIO, L"bit", -1, L"", L"", L"", L"Port S I/O : bit"},
      {L"N", 7, eElectricInput, L"integer", vhdl::kTo, L"0", L"7", L"", L"Port N Input : integer(0 to 7)"},
      {L"X", 8, eElectricInput, L"bit_vector", vhdl::kTo, L" 4", L" 4", L"\"0000\"",
       L"Port X Input : bit_vector( 4) := \"0000\""},
  };
  ASSERT_EQ(int(std::size(expected)), e.Ports->Count());
  for (const Expect& x : expected) {
    auto& port = Element<TVHDLPort>(*e.Ports, x.Key);
    SCOPED_TRACE(std::string(port.FName.begin(), port.FName.end()));
    EXPECT_EQ(x.Key, port.FName);
    EXPECT_EQ(x.Index, port.ElementIndex);
    EXPECT_EQ(x.Mode, port.FMode);
    EXPECT_EQ(x.Type, port.SubTypeIndication);
    EXPECT_EQ(x.Direction, port.FArrayDirection);
    EXPECT_EQ(x.E1, port.Expression1);
    EXPECT_EQ(x.E2, port.Expression2);
    EXPECT_EQ(x.Default, port.DefaultValue);
    EXPECT_EQ(x.Text, port.GetState_StringDescriptor());
  }
  EXPECT_EQ(L"B[3..0]", Element<TVHDLPort>(*e.Ports, L"B").GetState_AsSchematicId());
  EXPECT_EQ(L"X4", Element<TVHDLPort>(*e.Ports, L"X").GetState_AsSchematicId());
  // Positions count from 1: A stands on line 2, column 9.
  EXPECT_EQ(2, Element<TVHDLPort>(*e.Ports, L"A").LineNumber);
  EXPECT_EQ(9, Element<TVHDLPort>(*e.Ports, L"A").ColumnNumber);
}

struct TextCase {
  const char* Name;
  const wchar_t* Text;
  int Entities;            // read, whether or not an error stopped the run
  const wchar_t* Error;    // the start of the posted message; null: none posted
  int ErrorLine;           // -1: no error
};

TEST_F(VHDLParser, TableOfAcceptedAndRefusedTexts) {
  const TextCase cases[] = {
      {"bare end", L"entity E is end;", 1, nullptr, -1},
      {"end entity name", L"entity E is end entity E;", 1, nullptr, -1},
      {"name not compared", L"entity E is end Other;", 1, nullptr, -1},
      {"two entities", L"entity A is end; entity B is end;", 2, nullptr, -1},
      {"redeclared", L"entity E is end;\nentity e is end;", 1, L"Entity E Redeclared at Line: 1 Offset: 16", 1},
      // Inside an architecture: nothing posted, the position kept.
      {"architecture without entity", L"architecture A of X is begin end;", 0, nullptr, 1},
      {"port without colon", L"entity E is port (A in bit); end;", 1, L"Expected : at Line: 1 Offset: 21", 1},
      {"no identifier", L"entity E is port (1 : in bit); end;", 1, L"Identifier Expected at Line: 1 Offset: 19", 1},
      {"bad entity class", L"entity E is attribute A of E : bogus is 1; end;", 1,
       L"Entity Class Expected (Entity..Units) at Line: 1 Offset: 32", 1},
      {"attribute without a target", L"entity E is attribute A of : entity is 1; end;", 1,
       L"Identifier or Constant Expected at Line: 1 Offset: 28", 1},
      {"synopsys region", L"-- synopsys translate_off\nentity Hidden is end;\n-- synopsys translate_on\nentity E is end;", 1,
       nullptr, -1},
      {"rtl_synthesis region", L"-- rtl_synthesis off\nentity Hidden is end;\n-- rtl_synthesis on\nentity E is end;", 1,
       nullptr, -1},
      {"plain comments", L"-- note entity Hidden is end;\n--\nentity E is end; -- entity Other", 1, nullptr, -1},
      {"pragma without its word", L"-- synopsys, the company\nentity E is end;", 0,
       L"Expected translate_off at Line: 1 Offset: 12", 1},
      {"pragma never closed", L"-- synopsys translate_off\nentity E is end;", 0, L"Expected synopsys", 3},
      {"packages and uses", L"library ieee; use ieee.std_logic_1164.all;\npackage P is constant C : bit := '1'; end P;", 0,
       nullptr, -1},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Entities.Clear();
    Host.MessagesManager().ClearCalls();
    Parse(c.Text);
    EXPECT_EQ(c.Entities, Entities.Count());
    auto posted = Posted();
    EXPECT_EQ(c.ErrorLine, Parser->Error_LineNumber);
    if (!c.Error) {
      EXPECT_TRUE(posted.empty());
    } else {
      ASSERT_EQ(1u, posted.size());
      EXPECT_EQ(0u, posted[0].find(c.Error)) << std::string(posted[0].begin(), posted[0].end());
    }
  }
  Entities.Clear();
  Parse(L"-- rtl_synthesis off\nentity Hidden is end;\n-- rtl_synthesis on\nentity E is end;");
  EXPECT_NE(nullptr, Entities.Named(L"E"));
  EXPECT_EQ(nullptr, Entities.Named(L"HIDDEN"));
}

TEST_F(VHDLParser, AnErrorIsPostedWithItsSourcePictureAndACrossProbeToItsPosition) {
  Host.AddDocument(L"C:\\Designs\\Chip.vhd");
  Parse(L"entity E is end;\n  entity e is end;\n");
  const auto& calls = Host.MessagesManager().Calls();
  ASSERT_EQ(1u, calls.size());
  const auto& line = calls[0];
  EXPECT_EQ(L"[Error]", line.Str(0));
  EXPECT_EQ(L"Entity E Redeclared at Line: 1 Offset: 16", line.Str(1));  // the token before the look-ahead
  EXPECT_EQ(L"Compiler", line.Str(2));
  EXPECT_EQ(L"Chip.vhd", line.Str(3));
  EXPECT_EQ(L"", line.Str(4));
  EXPECT_EQ(L"", line.Str(5));
  EXPECT_EQ(GetWindowKindImageIndex(L"VHDL"), line.Int(6));
  EXPECT_GE(line.Int(6), 0);
  EXPECT_EQ(VT_BOOL, line.Type(7));
  EXPECT_EQ(VARIANT_FALSE, line.Args[7].boolVal);
  EXPECT_EQ(L"", line.Str(8));
  EXPECT_EQ(L"", line.Str(9));
  EXPECT_EQ(1, Parser->Error_LineNumber);
  EXPECT_EQ(16, Parser->Error_ColumnNumber);

  EXPECT_EQ(1u, Host.Client().CallCount(hostsim::disp::Client_ShowDocument));
  ASSERT_EQ(1u, CrossProbes());
  for (const auto& call : Host.Client().Calls()) {
    if (call.Id != hostsim::disp::Client_RunProcess) continue;
    EXPECT_EQ(L"TextEditor:CrossProbe", call.Str(0));
    EXPECT_EQ(L"TargetFilename=C:\\Designs\\Chip.vhd|FocusWindows=True|Kind=Position|LineNumber=0|"
              L"ColumnNumber=15|SelectionLength=10",
              call.Str(1));
  }
  // The status bar named the entity being read.
  bool shown = false;
  for (const auto& call : Host.GUIManager().Calls())
    shown = shown || (call.Id == hostsim::disp::GUIManager_SetStatusBarText && call.Int(0) == 3 && call.Str(1) == L"Entity:E");
  EXPECT_TRUE(shown);
}

TEST_F(VHDLParser, WithoutAnOpenDocumentOrWorkspaceNothingFollowsTheError) {
  Parse(L"entity E is end; entity E is end;");  // the document is not open
  EXPECT_EQ(1u, Posted().size());
  EXPECT_EQ(0u, CrossProbes());
  EXPECT_EQ(0u, Host.Client().CallCount(hostsim::disp::Client_ShowDocument));
  SetWorkspace(nullptr);
  Workspace->ReturnObject(kWorkspace_GetMessagesManager, nullptr);
  SetWorkspace(AsDispatch(Workspace));
  Entities.Clear();
  Host.MessagesManager().ClearCalls();
  Parse(L"entity E is end; entity E is end;");
  EXPECT_TRUE(Posted().empty());
  EXPECT_EQ(1, Parser->Error_LineNumber);
}

TEST_F(VHDLParser, InsideAnArchitectureNothingIsPostedButThePositionStays) {
  Host.AddDocument(L"C:\\Designs\\Chip.vhd");
  Parse(L"architecture A of X is begin end;");
  EXPECT_TRUE(Posted().empty());
  EXPECT_EQ(0u, CrossProbes());
  EXPECT_EQ(1, Parser->Error_LineNumber);
  EXPECT_TRUE(Parser->InArchitecture);

  Entities.Clear();
  Parse(L"entity E is port (P : in bit); end;\n"
        L"architecture A of E is begin\n"
        L"  Q <= P;\n"
        L"end;");
  EXPECT_TRUE(Posted().empty());
  EXPECT_EQ(3, Parser->Error_LineNumber);
  EXPECT_EQ(0u, CrossProbes());

  // The exception itself carries no message there.
  Entities.Clear();
  Lines.SetText(L"architecture A of X is");
  TVHDLParser parser(&Entities, L"x.vhd");
  parser.SetStrings(&Lines);
  parser.InArchitecture = true;
  EVHDLParserError error(&parser, L"Something");
  EXPECT_EQ(L"", error.Message());
  parser.InArchitecture = false;
  EXPECT_EQ(L"Something at Line: 1 Offset: 1", EVHDLParserError(&parser, L"Something").Message());
}

TEST_F(VHDLParser, AttributesConstantsAndSignalsOfAnEntity) {
  Parse(L"entity E is\n"
        L"  generic (PHYSICAL_PIN_MAP : string := \"LQFP48\");\n"
        L"  attribute INSTRUCTION_LENGTH of E : entity is 4;\n"
        L"  attribute PIN_MAP_STRING : string;\n"
        L"  attribute BOUNDARY_REGISTER of E : entity is\n"
        L"    \"0 (BC_1, *, control, 1), \" & -- the first cell\n"
        L"    \"1 (BC_1, PA0, output3, X, 0, 1, Z)\";\n"
        L"  attribute X of all : signal is \"a\";\n"
        L"  attribute Y of others : label is 232;\n"
        L"  constant P, Q : PIN_MAP_STRING := \"TDI:1,\" & \"TDO:2\";\n"
        L"  constant N : integer;\n"
        L"  signal S1, S2 : std_logic := '0';\n"
        L"end E;");
  ASSERT_TRUE(Posted().empty());
  TEntity& e = Entities.At(0);
  auto& generic = Element<TVHDLGeneric>(*e.Generics, L"PHYSICAL_PIN_MAP");
  EXPECT_EQ(L"Generic PHYSICAL_PIN_MAP I/O : string := \"LQFP48\"", generic.GetState_StringDescriptor());

  auto attributes = Walk<TVHDLAttribute>(*e.Attributes);
  ASSERT_EQ(5u, attributes.size());
  std::reverse(attributes.begin(), attributes.end());  // latest first in the list
  TVHDLAttribute& length = *attributes[0];
  EXPECT_EQ(L"INSTRUCTION_LENGTH", length.AttributeDesignator);
  EXPECT_EQ(eAttributeKind_Specification, length.AttributeKind);
  EXPECT_EQ(eAttributeTarget_List, length.AttributeTarget);
  ASSERT_EQ(1, length.TargetList->Count());
  EXPECT_EQ(L"E", length.TargetList->Get(0));
  EXPECT_EQ(vhdl::kEntity, length.AttributeTargetKind);
  EXPECT_EQ(L"4", length.AttributeExpression);
  EXPECT_EQ(L"Attribute ", length.GetState_StringDescriptor());
  EXPECT_EQ(eAttributeKind_Declaration, attributes[1]->AttributeKind);
  EXPECT_EQ(L":string", attributes[1]->AttributeExpression);
  EXPECT_EQ(-1, attributes[1]->AttributeTargetKind);
  EXPECT_EQ(L"0 (BC_1, *, control, 1),  1 (BC_1, PA0, output3, X, 0, 1, Z)", attributes[2]->AttributeExpression);
  EXPECT_EQ(eAttributeTarget_All, attributes[3]->AttributeTarget);
  EXPECT_EQ(L"a", attributes[3]->AttributeExpression);
  EXPECT_EQ(vhdl::kSignal, attributes[3]->AttributeTargetKind);
  EXPECT_EQ(eAttributeTarget_Others, attributes[4]->AttributeTarget);
  EXPECT_EQ(L"232", attributes[4]->AttributeExpression);

  auto constants = Walk<TVHDLConstant>(*e.Constants);
  ASSERT_EQ(2u, constants.size());
  TVHDLConstant& pins = *constants[1];
  EXPECT_EQ(2, pins.ConstantDesignators->Count());
  EXPECT_EQ(L"P", pins.ConstantDesignators->Get(0));
  EXPECT_EQ(L"Q", pins.ConstantDesignators->Get(1));
  EXPECT_EQ(L"PIN_MAP_STRING", pins.ConstantTypeId);
  EXPECT_EQ(L"TDI:1, TDO:2", pins.ConstantExpression);
  EXPECT_EQ(L"Constant ", pins.GetState_StringDescriptor());
  EXPECT_EQ(L"integer", constants[0]->ConstantTypeId);
  EXPECT_EQ(L"", constants[0]->ConstantExpression);

  ASSERT_EQ(2, e.Signals->Count());
  EXPECT_EQ(L"Signal S2 I/O : std_logic := '0'", Element<TVHDLSignal>(*e.Signals, L"S2").GetState_StringDescriptor());
  EXPECT_EQ(1, Element<TVHDLSignal>(*e.Signals, L"S2").ElementIndex);
}

const wchar_t kDesign[] =
    L"entity Top is\n"
    L"  port (CLK : in std_logic; D : out std_logic_vector(7 downto 0));\n"
    L"end Top;\n"
    L"architecture Rtl of Top is\n"
    L"  signal S : std_logic;\n"
    L"  signal BUS8 : std_logic_vector(7 downto 0);\n"
    L"  component Reg is\n"
    L"    generic (W : integer := 8);\n"
    L"    port (C : in std_logic; Q : out std_logic_vector(7 downto 0); R : in std_logic);\n"
    L"  end component Reg;\n"
    L"  attribute KEEP : boolean;\n"
    L"begin\n"
    L"  U1 : Reg generic map (W => 8) port map (C => CLK, Q(7 downto 0) => BUS8(7 downto 0), R => '0');\n"
    L"  U2 : Reg port map (S, D, S);\n"
    L"  S <= CLK;\n"
    L"  D <= BUS8;\n"
    L"  S <= D(3 downto 0);\n"
    L"  gen : process (CLK) begin if CLK = '1' then null; end if; end process gen;\n"
    L"  blk : block begin end block blk;\n"
    L"end Rtl;\n";

TEST_F(VHDLParser, ArchitecturesReadComponentsInstancesAndAssignments) {
  Parse(kDesign);
  ASSERT_TRUE(Posted().empty()) << std::string(Posted()[0].begin(), Posted()[0].end());
  TEntity& top = *Entities.Named(L"TOP");
  ASSERT_EQ(1, top.ComponentDeclarations->Count());
  auto& reg = Element<TComponentDeclaration>(*top.ComponentDeclarations, L"REG");
  EXPECT_EQ(L"Reg", reg.Name);
  EXPECT_EQ(3, reg.Ports->Count());
  EXPECT_EQ(1, reg.Generics->Count());
  EXPECT_EQ(2, top.Signals->Count());
  EXPECT_EQ(1, top.Attributes->Count());
  ASSERT_EQ(2, top.ComponentInstances->Count());

  auto& u1 = Element<TComponentInstance>(*top.ComponentInstances, L"U1");
  EXPECT_EQ(L"U1", u1.Name);
  EXPECT_EQ(L"Reg", u1.ComponentType);
  EXPECT_EQ(&reg, u1.ComponentDeclaration);
  EXPECT_EQ(&top, u1.Entity);
  ASSERT_EQ(3, u1.PortMap->Count());
  auto& c = Element<TAssociationElement>(*u1.PortMap, L"C");
  EXPECT_EQ(L"Port Map U1-C => CLK(Port)", c.GetState_StringDescriptor());
  auto& q = Element<TAssociationElement>(*u1.PortMap, L"Q");
  EXPECT_EQ(L"BUS8", q.ActualPart);
  EXPECT_EQ(vhdl::kDownto, q.Formal_ArrayDirection);
  EXPECT_EQ(L" 7", q.Formal_Expression1);
  EXPECT_EQ(L"0", q.Formal_Expression2);
  EXPECT_EQ(L"Port Map U1-Q => BUS8(Signal)( 7 downto 0)", q.GetState_StringDescriptor());
  auto& r = Element<TAssociationElement>(*u1.PortMap, L"R");
  EXPECT_EQ(L"'0'", r.ActualPart);  // a character literal is one constant
  EXPECT_EQ(nullptr, r.SignalOrPort);
  EXPECT_EQ(L"Port Map U1-R => ", r.GetState_StringDescriptor());
  ASSERT_EQ(1, u1.GenericMap->Count());
  auto& w = Element<TAssociationElement>(*u1.GenericMap, L"W");
  EXPECT_EQ(eElementGenericMap, w.ElementKind);
  EXPECT_EQ(nullptr, w.VHDLPort);  // looked up among the ports: not found, not linked

  // Positional: numbered against the declaration's ports in their order.
  auto& u2 = Element<TComponentInstance>(*top.ComponentInstances, L"U2");
  auto positional = Walk<TAssociationElement>(*u2.PortMap);
  ASSERT_EQ(3u, positional.size());
  std::vector<std::wstring> linked;
  for (auto* element : positional) linked.push_back(element->GetState_StringDescriptor());
  std::sort(linked.begin(), linked.end());
  EXPECT_EQ((std::vector<std::wstring>{L"Port Map U2-C => S(Signal)", L"Port Map U2-Q => D(Port)",
                                        L"Port Map U2-R => S(Signal)"}),
            linked);

  // Signals and ports know the elements mapped to them (not owned).
  auto& s = Element<TVHDLSignal>(*top.Signals, L"S");
  EXPECT_EQ(2, s.MappedPorts->Count());
  EXPECT_EQ(1, Element<TVHDLPort>(*top.Ports, L"CLK").MappedPorts->Count());

  std::vector<std::wstring> status;
  for (const auto& call : Host.GUIManager().Calls())
    if (call.Id == hostsim::disp::GUIManager_SetStatusBarText && call.Int(0) == 3) status.push_back(call.Str(1));
  EXPECT_EQ((std::vector<std::wstring>{L"Entity:TOP", L"Component Declaration:REG", L"Component Instance : U1",
                                        L"Component Instance : U2"}),
            status);

  const std::string log = Log();
  for (const char* line : {"New Entity:TOP", "New Architecture: Rtl For Entity:Top", "Component Declaration :REG",
                           "Component Instance:U1 Type:Reg", "Adding AssociationElement:Port Map U1-C => CLK(Port)",
                           "SignalConnectedToPort:Signal S I/O : std_logic To Port CLK Input : std_logic",
                           "Found PortAssignment:Port D Output : std_logic_vector( 7 downto 0) <= BUS8",
                           "PortConnectedToSignal:Port D Output : std_logic_vector( 7 downto 0) To Signal BUS8",
                           "SignalConnectedToPortSlice:Signal S I/O : std_logic To Port D Output : "
                           "std_logic_vector( 7 downto 0)[3..0]"})
    EXPECT_NE(std::string::npos, log.find(line)) << line;
}

TEST_F(VHDLParser, StatementErrorsOfAnArchitecture) {
  // Nothing is posted there, so the column tells where each one stopped.
  const struct {
    const char* Name;
    const wchar_t* Statement;
    int Column;
  } cases[] = {
      {"positional literal", L"U1 : Reg port map ('0', X);", 20},
      {"component keyword", L"U1 : component Reg port map (X);", 4},
      {"entity instance", L"U1 : entity work.Reg;", 4},
      {"configuration", L"U1 : configuration Cfg;", 4},
      {"unknown assignment", L"Z <= X;", 1},
      {"unknown pin", L"U1 : Reg port map (Nope => X);", 28},
      {"too many positional", L"U1 : Reg port map (X, X);", 23},
      {"redeclared component", L"end; architecture B of E is component Reg end component;", 26},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Entities.Clear();
    Parse(std::wstring(L"entity E is port (X : in bit); end;\n"
                       L"architecture A of E is component Reg port (C : in bit); end component;\n"
                       L"begin\n") +
          c.Statement + L"\nend;");
    EXPECT_EQ(4, Parser->Error_LineNumber);
    EXPECT_EQ(c.Column, Parser->Error_ColumnNumber);
    EXPECT_TRUE(Posted().empty());
  }
}

// A generic map is numbered and linked against the declaration's ports, as a
// port map is.
TEST_F(VHDLParser, GenericMapsCountAndLinkAgainstThePorts) {
  const std::wstring head = L"entity E is signal X : bit; end;\n"
                            L"architecture A of E is\n"
                            L"  component Reg generic (W : integer); port (C : in bit; Q : out bit); end component;\n"
                            L"begin\n";
  Parse(head + L"  U1 : Reg generic map (c => 1, X);\nend;");
  ASSERT_EQ(-1, Parser->Error_LineNumber);
  TEntity& e = *Entities.Named(L"E");
  auto& u1 = Element<TComponentInstance>(*e.ComponentInstances, L"U1");
  ASSERT_EQ(2, u1.GenericMap->Count());
  EXPECT_EQ(L"Generic Map U1-C => ", Element<TAssociationElement>(*u1.GenericMap, L"C").GetState_StringDescriptor());
  EXPECT_EQ(L"Generic Map U1-Q => X(Signal)", Element<TAssociationElement>(*u1.GenericMap, L"").GetState_StringDescriptor());
  EXPECT_EQ(1, Element<TVHDLSignal>(*e.Signals, L"X").MappedPorts->Count());

  Entities.Clear();
  Parse(head + L"  U2 : Reg generic map (X, X, X);\nend;");  // two ports, three positions
  EXPECT_EQ(5, Parser->Error_LineNumber);
  EXPECT_EQ(31, Parser->Error_ColumnNumber);
}

// The creator's list may compare with case: entities are registered and
// looked up upper-cased.
TEST_F(VHDLParser, AnArchitectureFindsItsEntityWithoutRegardToCase) {
  TEntityList entities;
  entities.SetCaseSensitive(true);
  Lines.SetText(L"entity Top is end;\narchitecture A of top is signal S : bit; begin end;");
  TVHDLParser parser(&entities, L"x.vhd");
  parser.Run(&Lines);
  EXPECT_EQ(-1, parser.Error_LineNumber);
  ASSERT_NE(nullptr, entities.Named(L"TOP"));
  EXPECT_EQ(1, entities.Named(L"TOP")->Signals->Count());
}

TEST_F(VHDLParser, TheLogIsMovedIntoPlaceAfterEveryRun) {
  Parse(L"entity E is end;");
  EXPECT_NE(std::string::npos, Log().find("New Entity:E\r\n"));
  // Only the final log remains in the temporary folder.
  int files = 0;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((Temp.Path() + L"*.tmp").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do ++files;
    while (FindNextFileW(find, &data));
    FindClose(find);
  }
  EXPECT_EQ(0, files);

  Entities.Clear();
  Parse(L"entity A is end;\nentity B is port (1); end;");
  const std::string log = Log();
  EXPECT_NE(std::string::npos, log.find("New Entity:A"));
  EXPECT_NE(std::string::npos, log.find("New Entity:B"));  // complete up to the error
  EXPECT_EQ(std::string::npos, log.find("New Entity:E"));  // a new log each run
}

TEST_F(VHDLParser, ASecondRunOverTheSameListReadsNothing) {
  Lines.SetText(L"entity E is end;");
  TVHDLParser parser(&Entities, L"x.vhd");
  parser.Run(&Lines);
  EXPECT_EQ(1, Entities.Count());
  parser.Run(&Lines);  // no rewind, so no redeclaration either
  EXPECT_EQ(1, Entities.Count());
  EXPECT_TRUE(Posted().empty());
  EXPECT_EQ(-1, parser.Error_LineNumber);
  // Another list starts at its first line.
  TStringList other;
  other.SetText(L"entity F is end;");
  parser.Run(&other);
  EXPECT_EQ(2, Entities.Count());
}

TEST_F(VHDLParser, TokenizerErrorsStopTheRunWithoutAPosition) {
  Host.AddDocument(L"C:\\Designs\\Chip.vhd");
  TVHDLParser parser(&Entities, L"C:\\Designs\\Chip.vhd");
  parser.Run(nullptr);  // no lines: the tokenizer refuses
  EXPECT_EQ(-1, parser.Error_LineNumber);
  EXPECT_EQ(0u, CrossProbes());
  EXPECT_TRUE(Posted().empty());
}

TEST_F(VHDLParser, TheEntityListMustBeSorted) {
  TStringList unsorted;
  EXPECT_THROW(TVHDLParser(&unsorted, L"x.vhd"), Exception);
  EXPECT_THROW(TVHDLParser(nullptr, L"x.vhd"), Exception);
}

// Library packages (declarations and bodies, with the constructs such files
// hold) parse clean and make no entity.
TEST_F(VHDLParser, LibraryPackagesParseClean) {
  const wchar_t* files[] = {L"line_io.vhdl", L"logic_values.vhdl", L"logic_values-body.vhdl",
                            L"unsigned_math.vhdl", L"unsigned_math-body.vhdl"};
  for (const wchar_t* file : files) {
    SCOPED_TRACE(std::string(file, file + wcslen(file)));
    const std::wstring path = std::wstring(TVK_TEST_GROUP_DIR) + L"\\fixtures\\" + file;
    ASSERT_TRUE(FileExists(path));
    std::vector<WideString> text = LoadTextLines(path);
    ASSERT_GT(text.size(), 20u);
    Lines.Clear();
    for (const auto& line : text) Lines.Add(line);
    TVHDLParser parser(&Entities, path);
    parser.Run(&Lines);
    EXPECT_EQ(-1, parser.Error_LineNumber);
    EXPECT_TRUE(Posted().empty()) << std::string(Posted().front().begin(), Posted().front().end());
    EXPECT_EQ(0, Entities.Count());
    EXPECT_EQ(tokEOF, parser.Token());
  }
}

}  // namespace

namespace {

// Entity instantiations never reach it from a text (the statement part
// refuses them first); called directly it looks the entity up by name.
TEST_F(VHDLParser, AnEntityInstanceNamesAnEntityRead) {
  Parse(L"entity Reg is end; entity Top is end;");
  TEntity& top = *Entities.Named(L"TOP");
  top.ReadEntityInstance(L"reg", L"U1");
  ASSERT_EQ(1, top.ComponentInstances->Count());
  auto* instance = dynamic_cast<TEntityInstance*>(top.ComponentInstances->Objects(0));
  ASSERT_NE(nullptr, instance);
  EXPECT_EQ(Entities.Named(L"REG"), instance->EntityDeclaration);
  EXPECT_EQ(L"U1", instance->Name);
  try {
    top.ReadEntityInstance(L"Nope", L"U2");
    ADD_FAILURE() << "no error";
  } catch (const EVHDLParserError& e) {
    EXPECT_EQ(0u, e.Message().find(L"Entity Type Nope Not Found"));
  }
  EXPECT_EQ(1, top.ComponentInstances->Count());
}

}  // namespace

}  // namespace vhdl_test
