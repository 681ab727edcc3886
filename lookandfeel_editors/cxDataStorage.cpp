#include "cxDataStorage.h"

#include "FMTBcd.h"
#include "SqlTimSt.h"
#include "cxVariants.h"
#include "dxCore.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tvk {

namespace {

template <class T>
int Sign(T A, T B) { return A < B ? -1 : (B < A ? 1 : 0); }

// 0 when equal or unordered, 1 when the first is larger, else -1.
int FloatOrder(double A, double B) { return A == B || std::isnan(A) || std::isnan(B) ? 0 : (A > B ? 1 : -1); }

// A pointer slot of a value or text buffer.
template <class T>
T*& Slot(void* ABuffer) { return *static_cast<T**>(ABuffer); }

std::wstring* TextCell(void* ATextBuffer) { return Slot<std::wstring>(ATextBuffer); }

// The wide-string kind's block: a 32-bit length, then the characters.
void* NewWideBlock(const std::wstring& AText) {
  void* block = std::malloc(sizeof(uint32_t) + AText.size() * sizeof(wchar_t));
  if (!block) throw std::bad_alloc();
  const uint32_t length = uint32_t(AText.size());
  std::memcpy(block, &length, sizeof length);
  std::memcpy(static_cast<uint8_t*>(block) + sizeof length, AText.data(), AText.size() * sizeof(wchar_t));
  return block;
}

std::wstring WideBlockText(const void* ABlock) {
  if (!ABlock) return {};
  uint32_t length;
  std::memcpy(&length, ABlock, sizeof length);
  std::wstring text(length, L'\0');
  std::memcpy(text.data(), static_cast<const uint8_t*>(ABlock) + sizeof length, std::size_t(length) * sizeof(wchar_t));
  return text;
}

std::unique_ptr<TcxValueTypeClassList> gValueTypeClassList;

}  // namespace

// ---- TcxValueType

int TcxValueType::CompareStored(void* ABuffer1, void* ABuffer2) const {
  return CompareValues(PrepareValueBuffer(ABuffer1), PrepareValueBuffer(ABuffer2));
}

void TcxValueType::ReleaseValueBuffer(void*) const {}

void TcxValueType::ReleaseTextBuffer(void* ATextBuffer) const { delete std::exchange(Slot<std::wstring>(ATextBuffer), nullptr); }

Variant TcxValueType::LoadValue(void*) const { return Null(); }

WideString TcxValueType::DefaultTextOf(void* ABuffer) const {
  try {
    return VarToStr(GetValue(ABuffer));
  } catch (const EVariantTypeCastError&) {
    return {};
  }
}

WideString TcxValueType::LoadText(void* ATextBuffer) const {
  const std::wstring* cell = TextCell(ATextBuffer);
  return cell ? *cell : WideString();
}

void TcxValueType::ReadValueFrom(void* ABuffer, TStream& AStream) const {
  Variant value;
  ReadVariantFromStream(AStream, value);
  StoreValue(ABuffer, value);
}

void TcxValueType::ReadTextFrom(void* ATextBuffer, TStream& AStream) const {
  StoreText(ATextBuffer, AStream.WideText() ? ReadWideStringFrom(AStream)
                                            : MultiByteToWideText(ReadAnsiStringFrom(AStream), CP_ACP, -1));
}

void TcxValueType::StoreValue(void*, const Variant&) const {}

void TcxValueType::StoreText(void* ATextBuffer, const WideString& AText) const {
  std::wstring*& cell = Slot<std::wstring>(ATextBuffer);
  if (cell)
    *cell = AText;
  else
    cell = new std::wstring(AText);
}

void TcxValueType::WriteValueTo(void* ABuffer, TStream& AStream) const { WriteVariantToStream(AStream, GetValue(ABuffer)); }

void TcxValueType::WriteTextTo(void* ATextBuffer, TStream& AStream) const {
  const WideString text = LoadText(ATextBuffer);
  if (AStream.WideText())
    WriteWideStringTo(AStream, text);
  else
    WriteAnsiStringTo(AStream, WideToMultiByteText(text, CP_ACP, -1));
}

WideString TcxValueType::Caption() const {
  WideString caption = ClassName();
  if (caption.starts_with(L"Tcx")) caption.erase(0, 3);
  if (const auto at = caption.find(L"ValueType"); at != WideString::npos) caption.erase(at, 9);
  return caption;
}

int TcxValueType::CompareValues(void* AValue1, void* AValue2) const {
  return CompareVariants(LoadValue(AValue1), LoadValue(AValue2));
}

Variant TcxValueType::GetValue(void* ABuffer) const { return LoadValue(PrepareValueBuffer(ABuffer)); }

bool TcxValueType::IsValueValid(Variant& AValue) const {
  if (VarIsNull(AValue) || GetVarType() == varVariant) return true;
  try {
    AValue = VarAsType(AValue, GetVarType());
    return true;
  } catch (const EVariantTypeCastError&) {
    return false;
  }
}

// ---- Pointer kinds

int TcxPointerValueType::CompareValues(void* AValue1, void* AValue2) const {
  if (!AValue1 || !AValue2) return Sign(AValue1 != nullptr, AValue2 != nullptr);  // a missing value first
  return CompareCells(AValue1, AValue2);
}

int TcxPointerValueType::CompareCells(void* ACell1, void* ACell2) const {
  return TcxValueType::CompareValues(ACell1, ACell2);
}

void TcxStringValueType::ReleaseValueBuffer(void* ABuffer) const { ReleaseTextBuffer(ABuffer); }

Variant TcxStringValueType::LoadValue(void* AValue) const {
  if (!AValue) return Null();
  return VarAsType(Variant::FromUString(*static_cast<std::wstring*>(AValue)), GetVarType());
}

void TcxStringValueType::StoreValue(void* ABuffer, const Variant& AValue) const { StoreText(ABuffer, VarToStr(AValue)); }

void TcxStringValueType::ReadValueFrom(void* ABuffer, TStream& AStream) const { ReadTextFrom(ABuffer, AStream); }
void TcxStringValueType::WriteValueTo(void* ABuffer, TStream& AStream) const { WriteTextTo(ABuffer, AStream); }

int TcxStringValueType::CompareCells(void* ACell1, void* ACell2) const {
  return Sign(static_cast<std::wstring*>(ACell1)->compare(*static_cast<std::wstring*>(ACell2)), 0);
}

void TcxWideStringValueType::ReleaseValueBuffer(void* ABuffer) const { std::free(std::exchange(Slot<void>(ABuffer), nullptr)); }

Variant TcxWideStringValueType::LoadValue(void* AValue) const {
  return AValue ? Variant(WideBlockText(AValue)) : Null();
}

void TcxWideStringValueType::StoreValue(void* ABuffer, const Variant& AValue) const {
  void* block = VarIsNull(AValue) ? nullptr : NewWideBlock(VarToStr(AValue));
  std::free(std::exchange(Slot<void>(ABuffer), block));
}

void TcxWideStringValueType::ReadValueFrom(void* ABuffer, TStream& AStream) const {
  StoreValue(ABuffer, Variant(ReadWideStringFrom(AStream)));
}

void TcxWideStringValueType::WriteValueTo(void* ABuffer, TStream& AStream) const {
  WriteWideStringTo(AStream, WideBlockText(Slot<void>(ABuffer)));
}

int TcxWideStringValueType::CompareCells(void* ACell1, void* ACell2) const {
  return Sign(WideBlockText(ACell1).compare(WideBlockText(ACell2)), 0);
}

void TcxVariantValueType::ReleaseValueBuffer(void* ABuffer) const { delete std::exchange(Slot<Variant>(ABuffer), nullptr); }

Variant TcxVariantValueType::LoadValue(void* AValue) const { return AValue ? *static_cast<Variant*>(AValue) : Null(); }

void TcxVariantValueType::StoreValue(void* ABuffer, const Variant& AValue) const {
  Variant*& cell = Slot<Variant>(ABuffer);
  if (cell)
    *cell = AValue;
  else
    cell = new Variant(AValue);
}

int TcxVariantValueType::CompareCells(void* ACell1, void* ACell2) const {
  return CompareVariants(*static_cast<Variant*>(ACell1), *static_cast<Variant*>(ACell2));
}

void TcxBLOBValueType::ReleaseValueBuffer(void* ABuffer) const { delete std::exchange(Slot<std::string>(ABuffer), nullptr); }

Variant TcxBLOBValueType::LoadValue(void* AValue) const {
  return AValue ? Variant::FromAnsi(*static_cast<std::string*>(AValue)) : Null();
}

void TcxBLOBValueType::StoreValue(void* ABuffer, const Variant& AValue) const {
  std::string text = VariantToAnsiText(AValue);
  std::string*& cell = Slot<std::string>(ABuffer);
  if (cell)
    *cell = std::move(text);
  else
    cell = new std::string(std::move(text));
}

void TcxBLOBValueType::ReadValueFrom(void* ABuffer, TStream& AStream) const {
  StoreValue(ABuffer, Variant::FromAnsi(ReadAnsiStringFrom(AStream)));
}

void TcxBLOBValueType::WriteValueTo(void* ABuffer, TStream& AStream) const {
  const std::string* cell = Slot<std::string>(ABuffer);
  WriteAnsiStringTo(AStream, cell ? *cell : std::string());
}

int TcxBLOBValueType::CompareCells(void* ACell1, void* ACell2) const {
  return Sign(static_cast<std::string*>(ACell1)->compare(*static_cast<std::string*>(ACell2)), 0);
}

// ---- Fixed-size kinds

namespace {

// Per kind: its stored type and its order.
template <class Kind>
struct TFixedKind;
#define TVK_FIXED_KIND(Name, Stored, Order) \
  template <>                               \
  struct TFixedKind<Name> {                 \
    using T = Stored;                       \
    static int Compare(T A, T B) { return Order; } \
  };
TVK_FIXED_KIND(TcxSmallintValueType, int16_t, A - B)
TVK_FIXED_KIND(TcxIntegerValueType, int32_t, Sign(A, B))
TVK_FIXED_KIND(TcxWordValueType, uint16_t, int(A) - int(B))
TVK_FIXED_KIND(TcxBooleanValueType, uint8_t, int(A) - int(B))
TVK_FIXED_KIND(TcxFloatValueType, double, FloatOrder(A, B))
TVK_FIXED_KIND(TcxCurrencyValueType, int64_t, Sign(A, B))
TVK_FIXED_KIND(TcxDateTimeValueType, double, FloatOrder(A, B))
TVK_FIXED_KIND(TcxLargeIntValueType, int64_t, Sign(A, B))
#undef TVK_FIXED_KIND

template <class T>
T Stored(const void* AValue) {
  T value;
  std::memcpy(&value, AValue, sizeof value);
  return value;
}

}  // namespace

#define TVK_DEFINE_FIXED_VALUE_TYPE(Name, Kind)                                                 \
  int Name::ValueBufferSize() const { return int(sizeof(TFixedKind<Name>::T)); }                \
  Variant Name::LoadValue(void* AValue) const {                                                 \
    using T = TFixedKind<Name>::T;                                                              \
    if constexpr (Kind == varBoolean) return Variant(Stored<T>(AValue) != 0);                   \
    Variant v;                                                                                  \
    std::memcpy(&v.Ptr()->llVal, AValue, sizeof(T));                                            \
    v.Ptr()->vt = Kind;                                                                         \
    return v;                                                                                   \
  }                                                                                             \
  void Name::StoreValue(void* ABuffer, const Variant& AValue) const {                           \
    using T = TFixedKind<Name>::T;                                                              \
    const Variant value = VarAsType(AValue, Kind);                                              \
    if constexpr (Kind == varBoolean)                                                           \
      *static_cast<T*>(ABuffer) = value.Ptr()->boolVal ? 1 : 0;                                 \
    else                                                                                        \
      std::memcpy(ABuffer, &value.Ptr()->llVal, sizeof(T));                                     \
  }                                                                                             \
  void Name::ReadValueFrom(void* ABuffer, TStream& AStream) const {                             \
    using T = TFixedKind<Name>::T;                                                              \
    if constexpr (Kind == varDouble) {                                                          \
      const double value = ReadExtendedFrom(AStream);                                           \
      std::memcpy(ABuffer, &value, sizeof value);                                               \
    } else {                                                                                    \
      AStream.ReadBuffer(ABuffer, sizeof(T));                                                   \
    }                                                                                           \
  }                                                                                             \
  void Name::WriteValueTo(void* ABuffer, TStream& AStream) const {                              \
    using T = TFixedKind<Name>::T;                                                              \
    if constexpr (Kind == varDouble)                                                            \
      WriteExtendedTo(AStream, Stored<double>(ABuffer));                                        \
    else                                                                                        \
      AStream.WriteBuffer(ABuffer, sizeof(T));                                                  \
  }                                                                                             \
  int Name::CompareValues(void* AValue1, void* AValue2) const {                                 \
    using T = TFixedKind<Name>::T;                                                              \
    return TFixedKind<Name>::Compare(Stored<T>(AValue1), Stored<T>(AValue2));                   \
  }
TVK_FIXED_VALUE_TYPES(TVK_DEFINE_FIXED_VALUE_TYPE)
#undef TVK_DEFINE_FIXED_VALUE_TYPE

// ---- The object kind: one owned object pointer.

void TcxObjectValueType::ReleaseValueBuffer(void* ABuffer) const { delete std::exchange(Slot<TObject>(ABuffer), nullptr); }

Variant TcxObjectValueType::LoadValue(void* AValue) const {
  // The reference as an integer as wide as a pointer.
  return Variant(int64_t(reinterpret_cast<intptr_t>(Slot<TObject>(AValue))));
}

void TcxObjectValueType::StoreValue(void* ABuffer, const Variant& AValue) const {
  Slot<TObject>(ABuffer) = reinterpret_cast<TObject*>(intptr_t(VarAsType(AValue, varInt64).Ptr()->llVal));
}

int TcxObjectValueType::CompareValues(void* AValue1, void* AValue2) const {
  return Sign(reinterpret_cast<intptr_t>(Slot<TObject>(AValue1)), reinterpret_cast<intptr_t>(Slot<TObject>(AValue2)));
}

// ---- The record kinds

Variant TcxFMTBcdValueType::LoadValue(void* AValue) const { return VarFMTBcdCreate(Stored<TBcd>(AValue)); }

WideString TcxFMTBcdValueType::DefaultTextOf(void* ABuffer) const {
  return BcdToStrF(Stored<TBcd>(ABuffer), TFloatFormat::ffGeneral, 64, 0);
}

void TcxFMTBcdValueType::StoreValue(void* ABuffer, const Variant& AValue) const {
  const TBcd value = VarToBcd(AValue);
  std::memcpy(ABuffer, &value, sizeof value);
}

int TcxFMTBcdValueType::CompareValues(void* AValue1, void* AValue2) const {
  return BcdCompare(Stored<TBcd>(AValue1), Stored<TBcd>(AValue2));
}

VARTYPE TcxFMTBcdValueType::GetVarType() const { return varFMTBcd; }

Variant TcxSQLTimeStampValueType::LoadValue(void* AValue) const {
  return VarSQLTimeStampCreate(Stored<TSQLTimeStamp>(AValue));
}

void TcxSQLTimeStampValueType::StoreValue(void* ABuffer, const Variant& AValue) const {
  const TSQLTimeStamp value = VarToSQLTimeStamp(AValue);
  std::memcpy(ABuffer, &value, sizeof value);
}

int TcxSQLTimeStampValueType::CompareValues(void* AValue1, void* AValue2) const {
  // Field by field as raw words, the fractions as a 32-bit difference.
  const auto* words1 = static_cast<const uint8_t*>(AValue1);
  const auto* words2 = static_cast<const uint8_t*>(AValue2);
  for (std::size_t at = 0; at < 12; at += 2)
    if (const int difference = int(Stored<uint16_t>(words1 + at)) - int(Stored<uint16_t>(words2 + at))) return difference;
  return int32_t(Stored<uint32_t>(words1 + 12) - Stored<uint32_t>(words2 + 12));
}

VARTYPE TcxSQLTimeStampValueType::GetVarType() const { return varSQLTimeStamp; }

// ---- The class list

void TcxValueTypeClassList::RegisterItem(TcxValueTypeClass AValueTypeClass) {
  if (std::find(FItems.begin(), FItems.end(), AValueTypeClass) == FItems.end()) FItems.push_back(AValueTypeClass);
}

void TcxValueTypeClassList::UnregisterItem(TcxValueTypeClass AValueTypeClass) {
  if (auto it = std::find(FItems.begin(), FItems.end(), AValueTypeClass); it != FItems.end()) FItems.erase(it);
}

TcxValueTypeClass TcxValueTypeClassList::ItemByCaption(std::wstring_view ACaption) const {
  for (TcxValueTypeClass item : FItems)
    if (item->Caption() == ACaption) return item;
  return nullptr;
}

TcxValueTypeClassList& GetValueTypeClassList() {
  if (!gValueTypeClassList) gValueTypeClassList = std::make_unique<TcxValueTypeClassList>();
  return *gValueTypeClassList;
}

TcxValueTypeClassList* FindValueTypeClassList() { return gValueTypeClassList.get(); }

namespace {

// The registered kinds in their order.
TcxValueTypeClass RegisteredValueTypes(std::size_t AIndex) {
  const TcxValueTypeClass kinds[] = {
      TcxStringValueType::Class(),   TcxWideStringValueType::Class(), TcxSmallintValueType::Class(),
      TcxIntegerValueType::Class(),  TcxWordValueType::Class(),       TcxBooleanValueType::Class(),
      TcxFloatValueType::Class(),    TcxCurrencyValueType::Class(),   TcxDateTimeValueType::Class(),
      TcxLargeIntValueType::Class(), TcxFMTBcdValueType::Class(),     TcxSQLTimeStampValueType::Class(),
      TcxVariantValueType::Class(),  TcxObjectValueType::Class(),     TcxBLOBValueType::Class(),
  };
  return AIndex < std::size(kinds) ? kinds[AIndex] : nullptr;
}

}  // namespace

void cxDataStorageUnitStart() {
  for (std::size_t i = 0; TcxValueTypeClass kind = RegisteredValueTypes(i); ++i) GetValueTypeClassList().RegisterItem(kind);
}

void cxDataStorageUnitStop() {
  if (!gValueTypeClassList) return;
  std::size_t count = 0;
  while (RegisteredValueTypes(count)) ++count;
  while (count-- > 0) gValueTypeClassList->UnregisterItem(RegisteredValueTypes(count));
  gValueTypeClassList.reset();
}

}  // namespace tvk
