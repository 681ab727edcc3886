#include "Tovik.Classes.VHDL.h"

#include "Convert.h"
#include "Extension.Images.h"
#include "Files.h"
#include "ZUL.HostModules.h"
#include "ZUL.Param.h"
#include "ZUL.Util.h"

#include <algorithm>

namespace tvk {

using namespace vhdl;

namespace {

constexpr TCharSet kLetters = TCharSet::Range(L'A', L'Z') | TCharSet::Range(L'a', L'z') | TCharSet::Of(L"_");
// The characters that start a special symbol (and may continue one).
constexpr TCharSet kSpecialChars = TCharSet::Of(L"\"&'()*+,-./:;<=>|");

// Keyword numbers that may name the entity class of an attribute specification.
constexpr int kEntityClasses[] = {kArchitecture, kComponent, kConfiguration, kConstant, kEntity,
                                  kFunction,     kLabel,     kLiteral,       kPackage,  kProcedure,
                                  kSignal,       kSubtype,   kType,          kUnits,    kVariable};

bool IsOneOf(int word, std::initializer_list<int> words) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

// "(E1)" or "(E1 to E2)", or nothing without a direction.
WideString RangeText(int32_t direction, const WideString& e1, const WideString& e2) {
  if (direction == -1) return {};
  if (e1 == e2) return L"(" + e1 + L")";
  return L"(" + e1 + L" " + WideString(VHDLKeyword(direction)) + L" " + e2 + L")";
}

// Frees the objects of List in index order, then the list.
void FreeObjectList(std::unique_ptr<TSortedStringList>& list) {
  if (!list) return;
  for (int i = 0; i < list->Count(); ++i) delete list->Objects(i);
  list.reset();
}

// The object under Key in List, as T, or null.
template <class T>
T* FindIn(const TStringList& list, std::wstring_view key) {
  int index = 0;
  return list.Find(key, index) ? static_cast<T*>(list.Objects(index)) : nullptr;
}

// The parts of a slice text "N(R)": N and R trimmed; false without "(" and ")".
bool SplitSlice(const WideString& x, WideString& name, WideString& range) {
  std::size_t open = x.find(L'('), close = x.find(L')');
  if (open == WideString::npos || close == WideString::npos) return false;
  name = TrimText(std::wstring_view(x).substr(0, open));
  range = close > open ? TrimText(std::wstring_view(x).substr(open + 1, close - open - 1)) : WideString();
  return true;
}

// "[left..right]": R split at its first "DOWNTO", else its first "TO"
// (searched upper-cased, so also inside names); both R without either.
WideString SliceBounds(const WideString& range) {
  const WideString upper = UpperCaseText(range);
  WideString left = range, right = range;
  std::size_t at = upper.find(L"DOWNTO"), length = 6;
  if (at == WideString::npos) at = upper.find(L"TO"), length = 2;
  if (at != WideString::npos) {
    left = range.substr(0, at);
    right = range.substr(at + length);
  }
  right = TrimText(right).substr(0, 255);
  return L"[" + TrimText(left) + L".." + right + L"]";
}

}  // namespace

std::wstring_view VHDLKeyword(int number) {
  return number >= 0 && number < int(kVHDLKeywords.size()) ? kVHDLKeywords[std::size_t(number)] : L"";
}

WideString TrimText(std::wstring_view text) {
  std::size_t first = 0, last = text.size();
  while (first < last && text[first] <= L' ') ++first;
  while (last > first && text[last - 1] <= L' ') --last;
  return WideString(text.substr(first, last - first));
}

bool TryDecimalToInt(std::wstring_view text, int32_t& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
  if (i == text.size()) return false;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < L'0' || text[i] > L'9') return false;
    v = v * 10 + (text[i] - L'0');
    if (v > int64_t(INT32_MAX) + 1) return false;
  }
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return false;
  value = int32_t(v);
  return true;
}

WideString StripStringLiteral(const WideString& S) {
  if (S.size() <= 2 || S.front() != L'"' || S.back() != L'"') return S;
  WideString inner = S.substr(1, S.size() - 2), out;
  for (std::size_t i = 0; i < inner.size();) {
    if (inner.compare(i, 3, L"\"&\"") == 0) {
      out += L' ';
      i += 3;
    } else {
      out += inner[i++];
    }
  }
  return TrimText(out);
}

// ---- TVHDLObject

TVHDLObject::TVHDLObject(TVHDLParser* AParser) : Parser(AParser) { TakePosition(); }

void TVHDLObject::TakePosition() {
  if (!Parser) return;
  LineNumber = Parser->LinePos() + 1;
  ColumnNumber = Parser->TokenCharPos() + 1;
}

void TVHDLObject::LogLine(const WideString& S) const {
  if (Parser) Parser->LogLine(S);
}

// ---- Interface elements

WideString TInterfaceElement::ElementText() const {
  WideString text = FName + L" " + WideString(kPinElectricalNames[std::size_t(FMode)]) + L" : " + SubTypeIndication +
                    RangeText(FArrayDirection, Expression1, Expression2);
  if (!DefaultValue.empty()) text += L" := " + DefaultValue;
  return text;
}

WideString TInterfaceElement::GetState_StringDescriptor() { return ElementText(); }

WideString TInterfaceElement::GetState_AsSchematicId() {
  Expression1 = TrimText(Expression1);
  Expression2 = TrimText(Expression2);
  if (FArrayDirection == -1) return FName;
  if (Expression1 != Expression2) return FName + L"[" + Expression1 + L".." + Expression2 + L"]";
  int32_t index = 0;
  if (!TryDecimalToInt(Expression1, index)) return FName + L"(" + Expression1 + L")";
  return FName + Expression1;
}

TVHDLGeneric::TVHDLGeneric(TVHDLParser* AParser) : TInterfaceElement(AParser) {
  ElementKind = eElementGenericDeclaration;
}

TVHDLSignal::TVHDLSignal(TVHDLParser* AParser) : TMappedElement(AParser) { ElementKind = eElementSignalDeclaration; }

TVHDLPort::TVHDLPort(TVHDLParser* AParser) : TMappedElement(AParser) { ElementKind = eElementPortDeclaration; }

// ---- Association elements

TAssociationElement::TAssociationElement(TVHDLParser* AParser, TComponentInstance* AComponentInstance)
    : TVHDLObject(AParser), ComponentInstance(AComponentInstance) {}

WideString TAssociationElement::GetState_StringDescriptor() {
  WideString actual, formal;
  if (SignalOrPort) {
    actual = SignalOrPort->FName + L"(" + WideString(kElementKindNames[std::size_t(SignalOrPort->ElementKind)]) + L")" +
             RangeText(Actual_ArrayDirection, Actual_Expression1, Actual_Expression2);
  }
  if (VHDLPort) formal = (ComponentInstance ? ComponentInstance->Name : WideString()) + L"-" + VHDLPort->FName;
  return WideString(kElementKindNames[std::size_t(ElementKind)]) + L" " + formal + L" " +
         WideString(VHDLKeyword(kArrow)) + L" " + actual;
}

TMappedPort::TMappedPort(TVHDLParser* AParser, TComponentInstance* AComponentInstance)
    : TAssociationElement(AParser, AComponentInstance) {
  ElementKind = eElementPortMap;
}

TMappedGeneric::TMappedGeneric(TVHDLParser* AParser, TComponentInstance* AComponentInstance)
    : TAssociationElement(AParser, AComponentInstance) {
  ElementKind = eElementGenericMap;
}

// ---- TEntity

TEntity::TEntity(TVHDLParser* AParser) : TVHDLObject(AParser) {}

TEntity::~TEntity() {
  for (auto* list : {&Generics, &Attributes, &Constants, &Ports, &Signals, &ComponentInstances,
                     &ComponentDeclarations})
    FreeObjectList(*list);
}

TVHDLParser& TEntity::P() const {
  if (!Parser) throw Exception(L"The entity has no parser to read from");
  return *Parser;
}

void TEntity::ReadEnd(int Word, bool WordRequired) {
  TVHDLParser& p = P();
  p.ExpectReservedWord(kEnd);
  if (WordRequired) p.ExpectReservedWord(Word);
  else if (p.PeekReservedWord() == Word) p.NextReservedWord();
  if (p.PeekValidToken() == tokIdentifier) p.ExpectIdentifier();
  p.ExpectReservedWord(kSemicolon);
}

void TEntity::Read() {
  TVHDLParser& p = P();
  p.ExpectReservedWord(kEntity);
  Name = p.ExpectIdentifier();
  TakePosition();
  p.ExpectReservedWord(kIs);
  while (!p.AtEnd()) {
    switch (p.PeekReservedWord()) {
      case kAttribute: ReadAttribute(); break;
      case kBegin: p.NextReservedWord(); break;
      case kConstant: ReadConstant(); break;
      case kGeneric: ReadGenericDeclaration(); break;
      case kPort: ReadPortDeclaration(); break;
      case kSignal: ReadSignalDeclaration(); break;
      case kEnd: ReadEnd(kEntity, false); return;
      default: p.NextValidToken();
    }
  }
}

void TEntity::ReadArchitecture() {
  TVHDLParser& p = P();
  p.ExpectReservedWord(kArchitecture);
  p.ExpectIdentifier();
  p.ExpectReservedWord(kOf);
  p.ExpectIdentifier();
  p.ExpectReservedWord(kIs);
  while (!p.AtEnd()) {
    switch (p.PeekReservedWord()) {
      case kAttribute: ReadAttribute(); break;
      case kBegin:
        p.NextReservedWord();
        ReadArchitectureStatementPart();
        break;
      case kComponent: ReadComponentDeclaration(); break;
      case kSignal: ReadSignalDeclaration(); break;
      case kEnd: ReadEnd(kArchitecture, false); return;
      default: p.NextValidToken();
    }
  }
}

void TEntity::ReadAttribute() {
  // Owned by the list before it reads, so an error loses nothing.
  auto* attribute = New<TVHDLAttribute>(Parser);
  Attributes->AddObject(L"", attribute);
  attribute->ReadAttributeDeclaration();
}

void TEntity::ReadConstant() {
  auto* constant = New<TVHDLConstant>(Parser);
  Constants->AddObject(L"", constant);
  constant->ReadConstantDeclaration();
}

void TEntity::ReadGenericDeclaration() {
  TVHDLParser& p = P();
  p.ExpectReservedWord(kGeneric);
  p.ExpectReservedWord(kOpenParen);
  ReadInterfaceList(eElementGenericDeclaration);
  p.ExpectReservedWord(kCloseParen);
  p.ExpectReservedWord(kSemicolon);
}

void TEntity::ReadPortDeclaration() {
  TVHDLParser& p = P();
  p.ExpectReservedWord(kPort);
  p.ExpectReservedWord(kOpenParen);
  if (p.PeekReservedWord() != kCloseParen) ReadInterfaceList(eElementPortDeclaration);
  p.ExpectReservedWord(kCloseParen);
  p.ExpectReservedWord(kSemicolon);
}

void TEntity::ReadSignalDeclaration() {
  TVHDLParser& p = P();
  p.ExpectReservedWord(kSignal);
  ReadInterfaceElement(eElementSignalDeclaration);
  p.ExpectReservedWord(kSemicolon);
}

void TEntity::ReadInterfaceList(TElementKind Kind) {
  ReadInterfaceElement(Kind);
  while (P().PeekReservedWord() == kSemicolon) {
    P().NextReservedWord();
    ReadInterfaceElement(Kind);
  }
}

void TEntity::ReadInterfaceElement(TElementKind Kind) {
  TVHDLParser& p = P();
  // The new elements belong to this list until they join the entity's.
  TStringList names;
  names.SetOwnsObjects(true);
  p.ReadInterfaceElementIdentifierList(names, Kind);
  p.ExpectReservedWord(kColon);

  // No mode reads as "inout"; "buffer" is taken for an open collector.
  TPinElectrical mode = eElectricIO;
  bool modeGiven = true;
  switch (p.PeekReservedWord()) {
    case kIn: mode = eElectricInput; break;
    case kOut: mode = eElectricOutput; break;
    case kInout:
    case kLinkage: mode = eElectricIO; break;
    case kBuffer: mode = eElectricOpenCollector; break;
    default: modeGiven = false;
  }
  if (modeGiven) p.NextReservedWord();

  const WideString typeMark = p.ExpectIdentifier();
  WideString e1, e2, defaultValue;
  int32_t direction = -1;
  const int next = p.PeekReservedWord();
  if (next == kOpenParen) {
    p.NextReservedWord();
    e1 = p.ExpectExpression(kTo, kDownto, kCloseParen);
    direction = p.PeekReservedWord();
    if (direction == kDownto || direction == kTo) {
      p.NextReservedWord();
      e2 = p.ExpectExpression(kCloseParen, kCloseParen);
    } else {
      direction = kTo;
      e2 = e1;
    }
    p.ExpectReservedWord(kCloseParen);
  } else if (next == kRange) {
    p.NextReservedWord();
    e1 = p.ExpectExpression(kTo, kDownto);
    direction = p.PeekReservedWord();
    if (direction == kDownto || direction == kTo) {
      p.NextReservedWord();
      e2 = p.ExpectExpression(kSemicolon, kCloseParen);
    } else {
      direction = -1;
      e2 = e1;
    }
  }
  if (p.PeekReservedWord() == kAssign) {
    p.NextReservedWord();
    defaultValue = p.ExpectExpression(kSemicolon, kCloseParen);
  }

  TSortedStringList* target = Kind == eElementPortDeclaration      ? Ports.get()
                              : Kind == eElementGenericDeclaration ? Generics.get()
                                                                   : Signals.get();
  names.SetOwnsObjects(false);
  for (int i = 0; i < names.Count(); ++i) {
    auto* element = static_cast<TInterfaceElement*>(names.Objects(i));
    names.PutObject(i, nullptr);
    element->ElementIndex = target->Count();
    target->AddObject(UpperCaseText(names.Get(i)), element);
    element->FName = names.Get(i);
    element->FMode = mode;
    element->SubTypeIndication = typeMark;
    element->Expression1 = e1;
    element->Expression2 = e2;
    element->FArrayDirection = direction;
    element->DefaultValue = defaultValue;
  }
}

void TEntity::ReadComponentDeclaration() {
  TVHDLParser& p = P();
  const WideString name = UpperCaseText(p.LookAheadName(kComponent));
  SetStatusBarText(3, L"Component Declaration:" + name);
  if (FindIn<TComponentDeclaration>(*ComponentDeclarations, name)) p.Fail(L"Component " + name + L" Redeclared");
  LogLine(L"Component Declaration :" + name);
  auto* declaration = New<TComponentDeclaration>(Parser);
  ComponentDeclarations->AddObject(name, declaration);
  declaration->Read();
}

void TComponentDeclaration::Read() {
  TVHDLParser& p = P();
  p.ExpectReservedWord(kComponent);
  Name = p.ExpectIdentifier();
  TakePosition();
  if (p.PeekReservedWord() == kIs) p.NextReservedWord();
  while (!p.AtEnd()) {
    switch (p.PeekReservedWord()) {
      case kGeneric: ReadGenericDeclaration(); break;
      case kPort: ReadPortDeclaration(); break;
      case kBegin: p.NextReservedWord(); break;
      case kEnd: ReadEnd(kComponent, true); return;
      default: p.NextValidToken();
    }
  }
}

void TEntity::ReadArchitectureStatementPart() {
  TVHDLParser& p = P();
  for (;;) {
    if (p.AtEnd()) return;
    const int word = p.PeekReservedWord();
    if (word == kEnd) return;
    const bool identifier = p.PeekValidToken() == tokIdentifier;
    if (!identifier && !IsOneOf(word, {kAttribute, kBlock, kComponent, kConfiguration, kEntity, kProcess})) {
      p.NextValidToken();
      continue;
    }
    WideString label, componentType;
    bool labelled = false;
    if (identifier) {
      label = UpperCaseText(p.ExpectIdentifier());
      if (p.PeekReservedWord() == kColon) {
        p.NextReservedWord();
        componentType = p.PeekIdentifier();
        labelled = true;
      }
    }
    switch (p.PeekReservedWord()) {
      case kProcess: ReadProcessStatement(label); continue;
      case kBlock: ReadBlockStatement(label); continue;
      case kComponent: p.Fail(L"Component keyword not supported in component instances");
      case kEntity: p.Fail(L"Entity Instances Not Supported");
      case kConfiguration: p.Fail(L"Configurations Not Supported");
      default: break;
    }
    if (labelled && FindIn<TComponentDeclaration>(*ComponentDeclarations, componentType)) {
      ReadComponentInstance(p.ExpectIdentifier(), label);
      continue;
    }
    const WideString target = labelled ? p.ExpectIdentifier() : label;
    if (p.PeekReservedWord() != kLessEqual) {
      p.NextValidToken();
      continue;
    }
    const WideString key = UpperCaseText(target);
    if (auto* signal = FindIn<TVHDLSignal>(*Signals, key)) ReadSignalAssignment(*signal);
    else if (auto* port = FindIn<TVHDLPort>(*Ports, key)) ReadPortAssignment(*port);
    else p.Fail(L"Unrecognized Assignment " + target);
  }
}

void TEntity::ReadProcessStatement(const WideString&) {
  TVHDLParser& p = P();
  p.ExpectReservedWord(kProcess);
  if (p.PeekReservedWord() == kOpenParen) {
    p.NextReservedWord();
    TStringList sensitivity;  // not kept
    p.ReadIdentifierList(sensitivity);
    p.ExpectReservedWord(kCloseParen);
  }
  p.SkipToReservedWords(kProcess, kProcess);
  p.ExpectReservedWord(kProcess);
  if (p.PeekValidToken() == tokIdentifier) p.ExpectIdentifier();
  p.ExpectReservedWord(kSemicolon);
}

void TEntity::ReadBlockStatement(const WideString&) {
  TVHDLParser& p = P();
  p.ExpectReservedWord(kBlock);
  p.SkipToReservedWords(kBlock, kBlock);
  p.ExpectReservedWord(kBlock);
  if (p.PeekValidToken() == tokIdentifier) p.ExpectIdentifier();
  p.ExpectReservedWord(kSemicolon);
}

void TEntity::ReadComponentInstance(const WideString& InstanceType, const WideString& InstanceName) {
  TVHDLParser& p = P();
  SetStatusBarText(3, L"Component Instance : " + InstanceName);
  auto instance = std::unique_ptr<TComponentInstance>(New<TComponentInstance>(Parser, this));
  instance->Name = InstanceName;
  instance->ComponentType = InstanceType;
  auto* declaration = FindIn<TComponentDeclaration>(*ComponentDeclarations, UpperCaseText(InstanceType));
  if (!declaration) p.Fail(L"Component Type " + InstanceType + L" Not Found");
  instance->ComponentDeclaration = declaration;
  LogLine(L"Component Instance:" + instance->Name + L" Type:" + declaration->Name);
  // Kept even when its maps fail to read: its elements may already be linked
  // into signals and ports, which must not point at freed objects.
  TComponentInstance* read = instance.get();
  ComponentInstances->AddObject(UpperCaseText(InstanceName), instance.release());
  read->Read();
}

void TEntity::ReadEntityInstance(const WideString& InstanceType, const WideString& InstanceName) {
  TVHDLParser& p = P();
  auto instance = std::unique_ptr<TEntityInstance>(New<TEntityInstance>(Parser, this));
  instance->Name = InstanceName;
  instance->ComponentType = InstanceType;
  auto* declaration = FindIn<TEntity>(*p.Entities, UpperCaseText(InstanceType));
  if (!declaration) p.Fail(L"Entity Type " + InstanceType + L" Not Found");
  instance->EntityDeclaration = declaration;
  ComponentInstances->AddObject(UpperCaseText(InstanceName), instance.release());
}

void TEntity::ReadSignalAssignment(TVHDLSignal& S) {
  TVHDLParser& p = P();
  p.ExpectReservedWord(kLessEqual);
  const WideString x = p.ExpectExpression(kSemicolon, kSemicolon);
  WideString name, range;
  if (auto* port = FindIn<TVHDLPort>(*Ports, UpperCaseText(x))) {
    LogLine(L"SignalConnectedToPort:" + S.GetState_StringDescriptor() + L" To " + port->GetState_StringDescriptor());
  } else if (SplitSlice(x, name, range) && FindIn<TVHDLPort>(*Ports, UpperCaseText(name))) {
    auto* slicePort = FindIn<TVHDLPort>(*Ports, UpperCaseText(name));
    LogLine(L"SignalConnectedToPortSlice:" + S.GetState_StringDescriptor() + L" To " +
            slicePort->GetState_StringDescriptor() + SliceBounds(range));
  } else {
    LogLine(L"Unrecognized expression " + x + L" assigned to signal " + S.FName);
  }
}

void TEntity::ReadPortAssignment(TVHDLPort& Port) {
  TVHDLParser& p = P();
  p.ExpectReservedWord(kLessEqual);
  const WideString x = p.ExpectExpression(kSemicolon, kSemicolon);
  LogLine(L"Found PortAssignment:" + Port.GetState_StringDescriptor() + L" <= " + x);
  WideString name, range;
  if (auto* signal = FindIn<TVHDLSignal>(*Signals, UpperCaseText(x))) {
    LogLine(L"PortConnectedToSignal:" + Port.GetState_StringDescriptor() + L" To " +
            signal->GetState_StringDescriptor());
  } else if (SplitSlice(x, name, range)) {
    if (auto* sliceSignal = FindIn<TVHDLSignal>(*Signals, UpperCaseText(name)))
      LogLine(L"PortConnectedToSignalSlice:" + Port.GetState_StringDescriptor() + L" To " +
              sliceSignal->GetState_StringDescriptor() + SliceBounds(range));
    else
      LogLine(L"Unrecognized slice " + range + L" assigned to port " + Port.FName);
  } else {
    LogLine(L"Unrecognized expression " + x + L" assigned to port " + Port.FName);
  }
}

// ---- Attributes and constants

void TVHDLAttribute::ReadAttributeDeclaration() {
  if (!Parser) throw Exception(L"The attribute has no parser to read from");
  TVHDLParser& p = *Parser;
  p.ExpectReservedWord(kAttribute);
  AttributeDesignator = p.ExpectIdentifier();
  if (p.PeekReservedWord() == kOf) {
    p.NextReservedWord();
    AttributeKind = eAttributeKind_Specification;
    const int word = p.PeekReservedWord();
    if (word == kAll || word == kOthers) {
      p.NextReservedWord();
      AttributeTarget = word == kAll ? eAttributeTarget_All : eAttributeTarget_Others;
    } else {
      AttributeTarget = eAttributeTarget_List;
      TargetList->Add(p.ExpectIdentifierOrConstant());
      while (p.PeekReservedWord() == kComma) {
        p.NextReservedWord();
        TargetList->Add(p.ExpectIdentifierOrConstant());
      }
    }
    p.ExpectReservedWord(kColon);
    const int entityClass = p.NextReservedWord();
    if (std::find(std::begin(kEntityClasses), std::end(kEntityClasses), entityClass) == std::end(kEntityClasses))
      p.Fail(L"Entity Class Expected (Entity..Units)");
    AttributeTargetKind = entityClass;
    p.ExpectReservedWord(kIs);
    AttributeExpression = StripStringLiteral(p.ExpectExpression(kSemicolon, kSemicolon));
  } else {
    AttributeKind = eAttributeKind_Declaration;
    AttributeExpression = StripStringLiteral(p.ExpectExpression(kSemicolon, kSemicolon));
    p.ExpectReservedWord(kSemicolon);
  }
}

void TVHDLConstant::ReadConstantDeclaration() {
  if (!Parser) throw Exception(L"The constant has no parser to read from");
  TVHDLParser& p = *Parser;
  p.ExpectReservedWord(kConstant);
  p.ReadIdentifierList(*ConstantDesignators);
  p.ExpectReservedWord(kColon);
  ConstantTypeId = p.ExpectExpression(kAssign, kSemicolon);
  if (p.PeekReservedWord() == kAssign) {
    p.NextReservedWord();
    ConstantExpression = StripStringLiteral(p.ExpectExpression(kSemicolon, kSemicolon));
  }
  p.ExpectReservedWord(kSemicolon);
}

// ---- Component instances

TComponentInstance::TComponentInstance(TVHDLParser* AParser, TEntity* AEntity)
    : TVHDLObject(AParser), Entity(AEntity) {}

TComponentInstance::~TComponentInstance() {
  FreeObjectList(GenericMap);
  FreeObjectList(PortMap);
}

void TComponentInstance::Read() {
  if (!Parser) throw Exception(L"The instance has no parser to read from");
  TVHDLParser& p = *Parser;
  if (p.PeekReservedWord() == kGeneric) {
    p.NextReservedWord();
    p.ExpectReservedWord(kMap);
    p.ExpectReservedWord(kOpenParen);
    ReadAssociationList(eElementGenericMap);
    p.ExpectReservedWord(kCloseParen);
  }
  if (p.PeekReservedWord() == kPort) {
    p.NextReservedWord();
    p.ExpectReservedWord(kMap);
    p.ExpectReservedWord(kOpenParen);
    ReadAssociationList(eElementPortMap);
    p.ExpectReservedWord(kCloseParen);
  }
  p.ExpectReservedWord(kSemicolon);
}

void TComponentInstance::ReadAssociationList(TElementKind Kind) {
  int32_t index = 0;
  ReadAssociationElement(Kind, index);
  while (Parser->PeekReservedWord() == kComma) {
    Parser->NextReservedWord();
    ReadAssociationElement(Kind, ++index);
  }
}

namespace {

struct TSlice {
  WideString E1, E2;
  int32_t Direction = -1;
};

// An optional "(" E1 ["to"|"downto" E2] ")"; one index reads as "to" with E2 = E1.
TSlice ReadSlice(TVHDLParser& p) {
  TSlice slice;
  if (p.PeekReservedWord() != kOpenParen) return slice;
  p.NextReservedWord();
  slice.E1 = p.ExpectExpression(kTo, kDownto, kCloseParen);
  const int word = p.PeekReservedWord();
  if (word == kDownto || word == kTo) {
    p.NextReservedWord();
    slice.Direction = word;
    slice.E2 = p.ExpectExpression(kCloseParen, kCloseParen);
  } else {
    slice.Direction = kTo;
    slice.E2 = slice.E1;
  }
  p.ExpectReservedWord(kCloseParen);
  return slice;
}

}  // namespace

void TComponentInstance::ReadAssociationElement(TElementKind Kind, int32_t Index) {
  TVHDLParser& p = *Parser;
  const WideString x = p.ExpectIdentifier();
  const TSlice first = ReadSlice(p);
  WideString formal, actual;
  TSlice formalSlice, actualSlice;
  if (p.PeekReservedWord() == kArrow) {
    formal = x;
    formalSlice = first;
    p.NextReservedWord();
    actual = p.ExpectIdentifierOrConstant();
    actualSlice = ReadSlice(p);
  } else {
    actual = x;
    actualSlice = first;
  }

  TAssociationElement* element = Kind == eElementPortMap ? static_cast<TAssociationElement*>(New<TMappedPort>(Parser, this))
                                                         : New<TMappedGeneric>(Parser, this);
  (Kind == eElementPortMap ? PortMap : GenericMap)->AddObject(UpperCaseText(formal), element);
  element->FormalPart = formal;
  element->ActualPart = actual;
  element->Formal_Expression1 = formalSlice.E1;
  element->Formal_Expression2 = formalSlice.E2;
  element->Formal_ArrayDirection = formalSlice.Direction;
  element->Actual_Expression1 = actualSlice.E1;
  element->Actual_Expression2 = actualSlice.E2;
  element->Actual_ArrayDirection = actualSlice.Direction;

  // Both map kinds count and link against the declaration's ports.
  TSortedStringList& declared = *ComponentDeclaration->Ports;
  if (!formal.empty()) {
    element->VHDLPort = FindIn<TVHDLPort>(declared, UpperCaseText(formal));
    if (!element->VHDLPort && Kind == eElementPortMap)
      p.Fail(L"Unrecognized Pin " + formal + L" in Component Instance " + Name + L"(" + ComponentType + L")");
  } else {
    if (Index >= declared.Count())
      p.Fail(L"Out of Range Port Map: " + actual + L" in Component Instance " + Name + L"(" + ComponentType + L")");
    for (int i = 0; i < declared.Count(); ++i) {
      auto* port = static_cast<TVHDLPort*>(declared.Objects(i));
      if (port->ElementIndex == Index) element->VHDLPort = port;
    }
  }

  const WideString key = UpperCaseText(actual);
  TMappedElement* linked = FindIn<TVHDLSignal>(*Entity->Signals, key);
  if (!linked) linked = FindIn<TVHDLPort>(*Entity->Ports, key);
  if (linked) {
    element->SignalOrPort = linked;
    linked->MappedPorts->AddObject(UpperCaseText(formal), element);
  }
  LogLine(L"Adding AssociationElement:" + element->GetState_StringDescriptor());
}

// ---- EVHDLParserError

namespace {

// Marks the error position in the parser; the message, or none inside an
// architecture (where nothing is posted either).
WideString MarkParseError(TVHDLParser& parser, const WideString& msg) {
  parser.Error_LineNumber = parser.LinePos() + 1;
  parser.Error_ColumnNumber = parser.TokenCharPos() + 1;
  if (parser.InArchitecture) return {};
  return msg + L" at Line: " + IntToStr(parser.Error_LineNumber) + L" Offset: " + IntToStr(parser.Error_ColumnNumber);
}

}  // namespace

EVHDLParserError::EVHDLParserError(TVHDLParser* AParser, const WideString& Msg)
    : Exception(MarkParseError(*AParser, Msg)), Parser(AParser) {
  if (AParser->InArchitecture) return;
  const WideString& text = Message();
  // A panel that cannot take the line must not replace the parse error.
  Guard([&] {
    IWorkspace workspace = GetHostWorkspace();
    if (!workspace) return;
    IZULMessagesManager messages = workspace.GetMessagesManager();
    if (!messages) return;
    messages.AddMessage(L"[Error]", text, L"Compiler", ExtractFileName(AParser->DocumentPath), L"", L"",
                        GetWindowKindImageIndex(L"VHDL"), false, L"", L"");
  });
}

// ---- TVHDLParser

TVHDLParser::TVHDLParser(TStringList* AEntities, const WideString& ADocumentPath)
    : TStringsParser(nullptr), DocumentPath(ADocumentPath), Entities(AEntities) {
  // Entities are looked up by binary search.
  if (!Entities || !Entities->Sorted()) throw Exception(L"The parser needs a sorted entity list");
  InitializeVHDLSyntax();
}

TVHDLParser::~TVHDLParser() = default;

void TVHDLParser::InitializeVHDLSyntax() {
  FillStringsFromArray(*ResWords(), kVHDLKeywords);
  RegisterProc({0}, TCharSet::Range(33, 255), Handler<&TVHDLParser::ParseSymbol>());
  RegisterLineBreakProcs(0);
  RegisterProc({1}, TCharSet::Range(33, 255), Handler<&TVHDLParser::ParseBraceComment>());
  RegisterProc({0}, kLetters, Handler<&TVHDLParser::ParseIdentifier>());
  RegisterProc({0}, kSpecialChars, Handler<&TVHDLParser::ParseSpecialSymbol>());
  RegisterProc({0}, TCharSet::Of(L"\""), Handler<&TVHDLParser::ParseVHDLString>());
  RegisterProc({0}, TCharSet::Range(L'0', L'9'), Handler<&TVHDLParser::ParseNumber>());
  RegisterProc({0}, TCharSet::Of(L"-"), Handler<&TVHDLParser::ParseVHDLComment>());
  RegisterLineBreakProcs(1);
}

int TVHDLParser::ParseSpecialSymbol() {
  const wchar_t c1 = *FSourcePtr, c2 = FSourcePtr[1];
  ++FSourcePtr;
  const wchar_t pair[] = {c1, c2};
  if (!kSpecialChars.Contains(unsigned(c2)) && LookupResWord(std::wstring_view(&c1, 1))) return tokResWord;
  if (c2 && LookupResWord(std::wstring_view(pair, 2))) {
    ++FSourcePtr;
    return tokResWord;
  }
  if (LookupResWord(std::wstring_view(&c1, 1))) return tokResWord;
  if (c2) ++FSourcePtr;
  return tokResWord;
}

int TVHDLParser::ParseVHDLComment() {
  ++FSourcePtr;
  if (*FSourcePtr != L'-') return tokSymbol;
  ++FSourcePtr;
  if (ProcessingPragma != -1) return tokSymbol;  // a comment inside a pragma look-ahead
  // Whatever happens, later comments are read as comments again.
  struct TPragmaScope {
    int32_t& Value;
    ~TPragmaScope() { Value = -1; }
  } scope{ProcessingPragma};
  ProcessingPragma = 1;
  const int word = PeekReservedWord();
  ProcessingPragma = word;
  if (word == kRtlSynthesis || word == kSynopsys) {
    const int on = word == kRtlSynthesis ? kOn : kTranslateOn;
    ExpectReservedWord(word);
    ExpectReservedWord(word == kRtlSynthesis ? kOff : kTranslateOff);
    SkipToReservedWords(word, word);
    ExpectReservedWord(word);
    ExpectReservedWord(on);
  }
  ParseLineComment();
  return tokComment;
}

template <class F>
auto TVHDLParser::LookAhead(F read) {
  PushState();
  try {
    auto result = read();
    PopState();
    return result;
  } catch (...) {
    PopState();
    throw;
  }
}

[[noreturn]] void TVHDLParser::Fail(const WideString& Msg) { throw EVHDLParserError(this, Msg); }

void TVHDLParser::ExpectReservedWord(int W) {
  if (NextValidToken() != tokResWord || ResWordID() != W) Fail(L"Expected " + WideString(VHDLKeyword(W)));
}

WideString TVHDLParser::ExpectIdentifier() {
  if (NextValidToken() != tokIdentifier) Fail(L"Identifier Expected");
  return TokenString();
}

WideString TVHDLParser::ExpectIdentifierOrConstant() {
  const int kind = NextValidToken();
  if (kind == tokString || kind == tokIdentifier || kind == tokInteger || kind == tokFloat) return TokenString();
  // A character literal: apostrophe, one token, apostrophe.
  if (kind == tokResWord && ResWordID() == kApostrophe) {
    NextValidToken();
    const WideString inner = TokenString();
    if (Token() != tokEOF && NextValidToken() == tokResWord && ResWordID() == kApostrophe)
      return L"'" + inner + L"'";
  }
  Fail(L"Identifier or Constant Expected");
}

WideString TVHDLParser::LookAheadName(int Word) {
  return LookAhead([&] {
    ExpectReservedWord(Word);
    return ExpectIdentifier();
  });
}

WideString TVHDLParser::PeekIdentifier() {
  return LookAhead([this] { return NextValidToken() == tokIdentifier ? TokenString() : WideString(); });
}

int TVHDLParser::NextReservedWord() { return NextValidToken() == tokResWord ? ResWordID() : -1; }

int TVHDLParser::PeekReservedWord() {
  return LookAhead([this] { return NextReservedWord(); });
}

int TVHDLParser::PeekValidToken() {
  return LookAhead([this] { return NextValidToken(); });
}

WideString TVHDLParser::PeekValidTokenStr() {
  return LookAhead([this] { return NextValidTokenStr(); });
}

bool TVHDLParser::SkipToReservedWords(int W1, int W2) {
  for (;;) {
    const int word = PeekReservedWord();
    if (word == W1 || word == W2) return true;
    if (PeekValidToken() == tokEOF) return false;
    NextToken();
  }
}

WideString TVHDLParser::CollectExpression(std::initializer_list<int> limits, bool blankJoined) {
  WideString text;
  for (;;) {
    if (IsOneOf(PeekReservedWord(), limits) || Token() == tokEOF) return text;
    NextValidToken();
    if (blankJoined) text += L' ';
    text += TokenString();
  }
}

WideString TVHDLParser::ExpectExpression(int L1, int L2) { return CollectExpression({L1, L2}, false); }

WideString TVHDLParser::ExpectExpression(int L1, int L2, int L3) { return CollectExpression({L1, L2, L3}, true); }

void TVHDLParser::ReadIdentifierList(TStrings& List) {
  List.Add(ExpectIdentifier());
  while (PeekReservedWord() == kComma) {
    NextReservedWord();
    List.Add(ExpectIdentifier());
  }
}

void TVHDLParser::ReadInterfaceElementIdentifierList(TStrings& List, TElementKind Kind) {
  auto read = [&] {
    const WideString name = ExpectIdentifier();
    TInterfaceElement* element = nullptr;
    switch (Kind) {
      case eElementPortDeclaration: element = New<TVHDLPort>(this); break;
      case eElementGenericDeclaration: element = New<TVHDLGeneric>(this); break;
      case eElementSignalDeclaration: element = New<TVHDLSignal>(this); break;
      default: return;
    }
    List.AddObject(name, element);
  };
  read();
  while (PeekReservedWord() == kComma) {
    NextReservedWord();
    read();
  }
}

TEntity* TVHDLParser::CreateEntity() { return New<TEntity>(this); }

void TVHDLParser::LogLine(const WideString& S) {
  if (!LogFileOpened || !LogFile) return;
  const std::string line = UTF8Encode(S) + "\r\n";
  LogFile->WriteBuffer(line.data(), line.size());
}

void TVHDLParser::OpenLogFile(const WideString& ALogFileName) {
  TempFN = GetTempFileName();
  FinalFN = ALogFileName;
  LogFile = std::make_unique<TFileStream>(TempFN, fmCreate);
  LogFileOpened = true;
}

void TVHDLParser::CloseLogFile() {
  LogFile.reset();
  LogFileOpened = false;
  ReplaceDocumentFile(TempFN, FinalFN);
}

void TVHDLParser::ReadEntity() {
  const WideString name = UpperCaseText(LookAheadName(kEntity));
  SetStatusBarText(3, L"Entity:" + name);
  if (FindIn<TEntity>(*Entities, name)) Fail(L"Entity " + name + L" Redeclared");
  LogLine(L"New Entity:" + name);
  TEntity* entity = CreateEntity();
  Entities->AddObject(name, entity);
  entity->Read();
}

void TVHDLParser::ReadArchitecture() {
  InArchitecture = true;
  WideString architecture;
  const WideString entityName = LookAhead([&] {
    ExpectReservedWord(kArchitecture);
    architecture = ExpectIdentifier();
    ExpectReservedWord(kOf);
    return ExpectIdentifier();
  });
  // Upper-cased as registered: the creator's list may compare with case.
  auto* entity = FindIn<TEntity>(*Entities, UpperCaseText(entityName));
  if (!entity) Fail(L"Entity : " + entityName + L" not found for Architecture : " + architecture);
  LogLine(L"New Architecture: " + architecture + L" For Entity:" + entityName);
  entity->ReadArchitecture();
  InArchitecture = false;
}

void TVHDLParser::SendCrossProbe() {
  IClient client = GetHostClient();
  if (!client) return;
  IServerDocument document = client.GetDocumentByPath(DocumentPath);
  if (!document) return;
  client.ShowDocument(document);
  WideString parameters;
  SetParameterValue(parameters, L"TargetFilename", DocumentPath);
  SetParameterValue(parameters, L"FocusWindows", L"True");
  SetParameterValue(parameters, L"Kind", L"Position");
  SetParameterValue(parameters, L"LineNumber", IntToStr(Error_LineNumber - 1));
  SetParameterValue(parameters, L"ColumnNumber", IntToStr(Error_ColumnNumber - 1));
  SetParameterValue(parameters, L"SelectionLength", L"10");
  RunServerProcess(kCrossProbeProcess, parameters, GetCurrentDocumentView());
}

void TVHDLParser::Run(TStrings* Lines) {
  Error_LineNumber = -1;
  Error_ColumnNumber = -1;
  InArchitecture = false;
  SetStrings(Lines);
  OpenLogFile(GetTempFolderLong() + LogFileName());
  try {
    while (Token() != tokEOF) {
      switch (PeekReservedWord()) {
        case kArchitecture: ReadArchitecture(); break;
        case kEntity: ReadEntity(); break;
        default: NextValidToken();
      }
    }
  } catch (...) {
    // Tokenizer and log errors leave the position at -1: no cross-probe then.
    if (Error_LineNumber != -1 && !InArchitecture) Guard([this] { SendCrossProbe(); });
  }
  CloseLogFile();
}

}  // namespace tvk
