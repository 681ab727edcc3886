#pragma once
// The VHDL description model and its parser. A reading gives one TEntity per
// entity, holding sorted lists of its generics, ports, signals, attributes,
// constants, component declarations and component instances; the parser is
// not a VHDL compiler: it recognises those declarations, passes over every
// other token and stops at the first error, which it posts to the host's
// messages panel.
#include "Extension.Classes.h"
#include "ORV.Types.h"
#include "Streams.h"
#include "Tovik.Classes.h"
#include "Tovik.Types.h"
#include "dcparser.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

namespace tvk {

class TVHDLParser;
class TEntity;
class TComponentInstance;
class TComponentDeclaration;

enum TAttributeKind : int {
  eAttributeKind_None,
  eAttributeKind_Declaration,
  eAttributeKind_Specification,
};

enum TAttributeTarget : int {
  eAttributeTarget_None,
  eAttributeTarget_All,
  eAttributeTarget_Others,
  eAttributeTarget_List,
};

// Used in texts, indexed by TElementKind.
inline constexpr auto kElementKindNames = std::to_array<std::wstring_view>({
    L"Abstract Element", L"Port", L"Generic", L"Port Map", L"Generic Map", L"Signal",
});
static_assert(kElementKindNames.size() == kElementKindCount);

// ---- The keyword table: a keyword's number is its index

inline constexpr auto kVHDLKeywords = std::to_array<const wchar_t*>({
    L"'",        L"-",          L"\"",        L"&",         L"(",           L")",         L"*",
    L"**",       L",",          L".",         L"/",         L"/=",          L":",         L":=",
    L";",        L"|",          L"+",         L"<",         L"<=",          L"<>",        L"=",
    L"=>",       L">",          L">=",        L"abs",       L"access",      L"after",     L"alias",
    L"all",      L"and",        L"architecture", L"array",  L"assert",      L"attribute", L"begin",
    L"block",    L"body",       L"buffer",    L"bus",       L"case",        L"component", L"configuration",
    L"constant", L"disconnect", L"downto",    L"else",      L"elsif",       L"end",       L"entity",
    L"exit",     L"file",       L"for",       L"function",  L"generate",    L"generic",   L"guarded",
    L"if",       L"in",         L"inout",     L"is",        L"label",       L"library",   L"linkage",
    L"literal",  L"loop",       L"map",       L"mod",       L"nand",        L"new",       L"next",
    L"nor",      L"not",        L"null",      L"of",        L"off",         L"on",        L"open",
    L"or",       L"others",     L"out",       L"package",   L"port",        L"procedure", L"process",
    L"range",    L"record",     L"register",  L"rem",       L"report",      L"return",    L"rtl_synthesis",
    L"select",   L"severity",   L"signal",    L"subtype",   L"synopsys",    L"then",      L"to",
    L"transport", L"translate_on", L"translate_off", L"type", L"units",     L"until",     L"use",
    L"variable",
});
static_assert(kVHDLKeywords.size() == 106);

// The keywords that the grammar uses.
namespace vhdl {
inline constexpr int kApostrophe = 0, kOpenParen = 4, kCloseParen = 5, kComma = 8, kColon = 12, kAssign = 13,
                     kSemicolon = 14, kLessEqual = 18, kArrow = 21, kAll = 28, kArchitecture = 30,
                     kAttribute = 33, kBegin = 34, kBlock = 35, kBuffer = 37, kComponent = 40,
                     kConfiguration = 41, kConstant = 42, kDownto = 44, kEnd = 47, kEntity = 48, kFunction = 52,
                     kGeneric = 54, kIn = 57, kInout = 58, kIs = 59, kLabel = 60, kLinkage = 62, kLiteral = 63,
                     kMap = 65, kOf = 73, kOff = 74, kOn = 75, kOthers = 78, kOut = 79, kPackage = 80,
                     kPort = 81, kProcedure = 82, kProcess = 83, kRange = 84, kRtlSynthesis = 90, kSignal = 93,
                     kSubtype = 94, kSynopsys = 95, kTo = 97, kTranslateOn = 99, kTranslateOff = 100,
                     kType = 101, kUnits = 102, kVariable = 105;
}  // namespace vhdl

// The keyword of a number (a direction, "=>"); empty outside the table.
std::wstring_view VHDLKeyword(int number);

// Blanks and control characters off both ends.
WideString TrimText(std::wstring_view text);
// An optional sign and decimal digits that fit 32 bits, nothing else.
bool TryDecimalToInt(std::wstring_view text, int32_t& value);

// ---- The model. Every object is a dispatch object that counts no references:
// it lives until its owner frees it. The lists hold their objects as the
// class library's objects, so each model object is one of those too.

class TVHDLObject : public TDispatchObjectNoRef, public TObject {
public:
  TVK_CLASS(TVHDLObject, TObject)
  // The position is the parser's current token, or 9999 without a parser.
  explicit TVHDLObject(TVHDLParser* AParser);
  ~TVHDLObject() override = default;
  void AfterConstruction() override { TDispatchObjectNoRef::AfterConstruction(); }

  virtual WideString GetState_StringDescriptor() { return {}; }
  void LogLine(const WideString& S) const;
  // Takes the parser's current token position again.
  void TakePosition();

  int32_t LineNumber = 9999;    // from 1
  int32_t ColumnNumber = 9999;  // from 1
  TVHDLParser* Parser = nullptr;
};

// A generic, port or signal.
class TInterfaceElement : public TVHDLObject {
public:
  TVK_CLASS(TInterfaceElement, TVHDLObject)
  using TVHDLObject::TVHDLObject;

  WideString GetState_StringDescriptor() override;
  // The net or pin name a schematic uses; stores the trimmed bounds back.
  virtual WideString GetState_AsSchematicId();

  TElementKind ElementKind = eElementAbstract;
  int32_t ElementIndex = 0;     // among the elements of its kind in the entity, from 0
  WideString FName;             // as written
  TPinElectrical FMode = eElectricIO;
  int32_t FArrayDirection = -1; // -1: no index range; else vhdl::kTo or vhdl::kDownto
  WideString SubTypeIndication;
  WideString DefaultValue;
  WideString Expression1, Expression2;
  TObject* LinkedPin = nullptr;  // for callers; never set here

protected:
  // The text after the kind's own word.
  WideString ElementText() const;
};

class TVHDLGeneric : public TInterfaceElement {
public:
  TVK_CLASS(TVHDLGeneric, TInterfaceElement)
  explicit TVHDLGeneric(TVHDLParser* AParser);
  WideString GetState_StringDescriptor() override { return L"Generic " + ElementText(); }
};

// A signal or port: also the association elements that connect it to
// component-instance ports, keyed by upper-cased formal (not owned).
class TMappedElement : public TInterfaceElement {
public:
  TVK_CLASS(TMappedElement, TInterfaceElement)
  using TInterfaceElement::TInterfaceElement;
  std::unique_ptr<TSortedStringList> MappedPorts = std::make_unique<TSortedStringList>();
};

class TVHDLSignal : public TMappedElement {
public:
  TVK_CLASS(TVHDLSignal, TMappedElement)
  explicit TVHDLSignal(TVHDLParser* AParser);
  WideString GetState_StringDescriptor() override { return L"Signal " + ElementText(); }
};

class TVHDLPort : public TMappedElement {
public:
  TVK_CLASS(TVHDLPort, TMappedElement)
  explicit TVHDLPort(TVHDLParser* AParser);
  WideString GetState_StringDescriptor() override { return L"Port " + ElementText(); }
};

class TVHDLAttribute : public TVHDLObject {
public:
  TVK_CLASS(TVHDLAttribute, TVHDLObject)
  using TVHDLObject::TVHDLObject;
  WideString GetState_StringDescriptor() override { return L"Attribute "; }
  void ReadAttributeDeclaration();

  WideString AttributeDesignator;  // as written
  TAttributeKind AttributeKind = eAttributeKind_None;
  WideString AttributeExpression;
  TAttributeTarget AttributeTarget = eAttributeTarget_None;
  int32_t AttributeTargetKind = -1;  // keyword number of the entity class
  std::unique_ptr<TStringList> TargetList = std::make_unique<TStringList>();
  WideString AttributeTypeId;  // never filled
};

class TVHDLConstant : public TVHDLObject {
public:
  TVK_CLASS(TVHDLConstant, TVHDLObject)
  using TVHDLObject::TVHDLObject;
  WideString GetState_StringDescriptor() override { return L"Constant "; }
  void ReadConstantDeclaration();

  std::unique_ptr<TStringList> ConstantDesignators = std::make_unique<TStringList>();
  WideString ConstantExpression;
  WideString ConstantTypeId;
};

// One association of a generic or port map.
class TAssociationElement : public TVHDLObject {
public:
  TVK_CLASS(TAssociationElement, TVHDLObject)
  TAssociationElement(TVHDLParser* AParser, TComponentInstance* AComponentInstance);
  WideString GetState_StringDescriptor() override;

  TElementKind ElementKind = eElementAbstract;
  WideString FormalPart, ActualPart;
  WideString Formal_Expression1, Formal_Expression2;
  int32_t Formal_ArrayDirection = -1;
  WideString Actual_Expression1, Actual_Expression2;
  int32_t Actual_ArrayDirection = -1;
  TInterfaceElement* SignalOrPort = nullptr;  // of the owning entity, named by the actual
  TVHDLPort* VHDLPort = nullptr;              // of the declaration, named by the formal
  TComponentInstance* ComponentInstance = nullptr;
};

class TMappedPort : public TAssociationElement {
public:
  TVK_CLASS(TMappedPort, TAssociationElement)
  TMappedPort(TVHDLParser* AParser, TComponentInstance* AComponentInstance);
  TObject* LinkedPin = nullptr;  // for callers; none
};

class TMappedGeneric : public TAssociationElement {
public:
  TVK_CLASS(TMappedGeneric, TAssociationElement)
  TMappedGeneric(TVHDLParser* AParser, TComponentInstance* AComponentInstance);
};

// An entity with its seven owned lists. Keys: upper-cased names, "" for
// attributes and constants (found by walking the list).
class TEntity : public TVHDLObject {
public:
  TVK_CLASS(TEntity, TVHDLObject)
  explicit TEntity(TVHDLParser* AParser);
  // Frees each list's objects in index order, then the list, list by list.
  ~TEntity() override;

  // "entity" Name "is" ... "end" ...
  virtual void Read();
  void ReadArchitecture();
  void ReadEntityInstance(const WideString& InstanceType, const WideString& InstanceName);

  WideString Name;
  std::unique_ptr<TSortedStringList> Generics = std::make_unique<TSortedStringList>();
  std::unique_ptr<TSortedStringList> Attributes = std::make_unique<TSortedStringList>();
  std::unique_ptr<TSortedStringList> Constants = std::make_unique<TSortedStringList>();
  std::unique_ptr<TSortedStringList> Ports = std::make_unique<TSortedStringList>();
  std::unique_ptr<TSortedStringList> Signals = std::make_unique<TSortedStringList>();
  std::unique_ptr<TSortedStringList> ComponentInstances = std::make_unique<TSortedStringList>();
  std::unique_ptr<TSortedStringList> ComponentDeclarations = std::make_unique<TSortedStringList>();

protected:
  TVHDLParser& P() const;
  void ReadGenericDeclaration();
  void ReadPortDeclaration();
  void ReadSignalDeclaration();
  void ReadAttribute();
  void ReadConstant();
  // ";"-separated elements of one kind.
  void ReadInterfaceList(TElementKind Kind);
  void ReadInterfaceElement(TElementKind Kind);
  void ReadComponentDeclaration();
  void ReadArchitectureStatementPart();
  void ReadProcessStatement(const WideString& Label);
  void ReadBlockStatement(const WideString& Label);
  void ReadComponentInstance(const WideString& InstanceType, const WideString& InstanceName);
  void ReadSignalAssignment(TVHDLSignal& S);
  void ReadPortAssignment(TVHDLPort& Port);
  // "end" [Word] [name] ";"
  void ReadEnd(int Word, bool WordRequired);
};

// A component declaration: an entity-like object of which only the generics
// and ports are used.
class TComponentDeclaration : public TEntity {
public:
  TVK_CLASS(TComponentDeclaration, TEntity)
  using TEntity::TEntity;
  void Read() override;
};

class TComponentInstance : public TVHDLObject {
public:
  TVK_CLASS(TComponentInstance, TVHDLObject)
  TComponentInstance(TVHDLParser* AParser, TEntity* AEntity);
  ~TComponentInstance() override;
  void Read();

  WideString Name;           // the instance label
  WideString ComponentType;  // the component name as written
  TComponentDeclaration* ComponentDeclaration = nullptr;
  // Keyed by upper-cased formal, "" for positional associations; owned.
  std::unique_ptr<TSortedStringList> GenericMap = std::make_unique<TSortedStringList>();
  std::unique_ptr<TSortedStringList> PortMap = std::make_unique<TSortedStringList>();
  TEntity* Entity = nullptr;  // the owner

private:
  void ReadAssociationList(TElementKind Kind);
  void ReadAssociationElement(TElementKind Kind, int32_t Index);
};

// Nothing creates one: an entity instantiation is refused by the reading.
class TEntityInstance : public TComponentInstance {
public:
  TVK_CLASS(TEntityInstance, TComponentInstance)
  using TComponentInstance::TComponentInstance;
  TEntity* EntityDeclaration = nullptr;
};

// ---- The parser

class EVHDLParserError : public Exception {
public:
  // Takes the error position from the parser and, outside an architecture,
  // posts the message to the host's messages panel.
  EVHDLParserError(TVHDLParser* AParser, const WideString& Msg);
  TVHDLParser* Parser;
};

class TVHDLParser : public TStringsParser {
public:
  TVK_CLASS(TVHDLParser, TStringsParser)
  // AEntities (not owned, must be sorted) receives the entities read.
  TVHDLParser(TStringList* AEntities, const WideString& ADocumentPath);
  ~TVHDLParser() override;

  virtual WideString LogFileName() { return L"VHDL Parser.log"; }
  // Reads the whole text; a parse error stops it (posted, not raised). Only
  // an error creating the log leaves it.
  virtual void Run(TStrings* Lines);
  virtual void LogLine(const WideString& S);
  virtual TEntity* CreateEntity();

  // ---- Token operations (a mismatch raises EVHDLParserError)
  void ExpectReservedWord(int W);
  WideString ExpectIdentifier();
  // A string, identifier, number, or a character literal such as '0'.
  WideString ExpectIdentifierOrConstant();
  WideString PeekIdentifier();
  // The name after the keyword Word, the position kept.
  WideString LookAheadName(int Word);
  int NextReservedWord();
  int PeekReservedWord();
  int PeekValidToken();
  WideString PeekValidTokenStr();
  using TCustomDCParser::PeekToken;
  // Reads on until the next valid token is W1 or W2; false at the end.
  bool SkipToReservedWords(int W1, int W2);
  // Token texts up to a limit keyword (not consumed): joined directly, or
  // each after a blank (the result starts with one).
  WideString ExpectExpression(int L1, int L2);
  WideString ExpectExpression(int L1, int L2, int L3);
  void ReadIdentifierList(TStrings& List);
  void ReadInterfaceElementIdentifierList(TStrings& List, TElementKind Kind);
  bool AtEnd() { return PeekValidToken() == tokEOF; }
  [[noreturn]] void Fail(const WideString& Msg);

  void OpenLogFile(const WideString& ALogFileName);
  void CloseLogFile();
  void ShowCurrentParserState() {}
  void DumpReservedWordsToFile() {}

  WideString TempFN;
  WideString FinalFN;
  WideString DocumentPath;
  int32_t Error_LineNumber = -1;
  int32_t Error_ColumnNumber = -1;
  TStringList* Entities;
  int32_t ProcessingPragma = -1;
  std::unique_ptr<TFileStream> LogFile;
  bool LogFileOpened = false;
  bool InArchitecture = false;

  // The host's text-editor process that shows a position in a document.
  static constexpr std::wstring_view kCrossProbeProcess = L"TextEditor:CrossProbe";

protected:
  void InitializeVHDLSyntax();
  int ParseSpecialSymbol();
  int ParseVHDLString() { return ParseQuotedString(L'"'); }
  int ParseVHDLComment();
  void ReadEntity();
  void ReadArchitecture();
  void SendCrossProbe();

private:
  // Runs Read with the position saved and restores it, also on an error.
  template <class F>
  auto LookAhead(F read);
  WideString CollectExpression(std::initializer_list<int> limits, bool blankJoined);
};

// A quoted value without its quotes; '"&"' joins become one blank; trimmed.
WideString StripStringLiteral(const WideString& S);

}  // namespace tvk
