#pragma once
// Value types: one class per storage kind of the editors' data layer. A value
// type is never instantiated by its users: each class has one static object
// (Class()) whose virtual operations work on raw value buffers of
// ValueBufferSize bytes and convert between a buffer, a variant, a text and a
// stream. Variable-size kinds keep one pointer to a heap cell in their buffer.
#include "Streams.h"
#include "Variants.h"

#include <vector>

namespace tvk {

class TcxValueType;
// A value type class: its class-reference object.
using TcxValueTypeClass = const TcxValueType*;

// Opens a value type's class body: its class information and its one object.
#define TVK_VALUE_TYPE(Name, Parent) \
  TVK_CLASS(Name, Parent)            \
  static const Name* Class() {       \
    static const Name instance;      \
    return &instance;                \
  }

class TcxValueType : public TObject {
public:
  TVK_VALUE_TYPE(TcxValueType, TObject)
  // ABuffer1/2 are value buffers (the cells of the variable-size kinds are
  // looked up here).
  virtual int CompareStored(void* ABuffer1, void* ABuffer2) const;
  virtual void ReleaseValueBuffer(void* ABuffer) const;
  // ATextBuffer holds one pointer to a text cell (null: no text).
  virtual void ReleaseTextBuffer(void* ATextBuffer) const;
  virtual int ValueBufferSize() const { return 0; }
  // AValue: the value itself, or the cell of a variable-size kind.
  virtual Variant LoadValue(void* AValue) const;
  virtual WideString DefaultTextOf(void* ABuffer) const;
  virtual WideString LoadText(void* ATextBuffer) const;
  virtual void ReadValueFrom(void* ABuffer, TStream& AStream) const;
  virtual void ReadTextFrom(void* ATextBuffer, TStream& AStream) const;
  virtual void StoreValue(void* ABuffer, const Variant& AValue) const;
  virtual void StoreText(void* ATextBuffer, const WideString& AText) const;
  virtual void WriteValueTo(void* ABuffer, TStream& AStream) const;
  virtual void WriteTextTo(void* ATextBuffer, TStream& AStream) const;
  // The class name without a leading "Tcx" and the first "ValueType".
  virtual WideString Caption() const;
  virtual int CompareValues(void* AValue1, void* AValue2) const;
  virtual Variant GetValue(void* ABuffer) const;
  virtual VARTYPE GetVarType() const { return varVariant; }
  // Casts AValue to the kind in place; false when it cannot be cast.
  virtual bool IsValueValid(Variant& AValue) const;
  virtual bool IsString() const { return false; }
  // The value buffer to the value (the cell for the variable-size kinds).
  virtual void* PrepareValueBuffer(void* ABuffer) const { return ABuffer; }
};

// Kinds whose buffer holds a pointer to a heap cell; null is no value.
class TcxPointerValueType : public TcxValueType {
public:
  TVK_VALUE_TYPE(TcxPointerValueType, TcxValueType)
  int ValueBufferSize() const override { return int(sizeof(void*)); }
  void* PrepareValueBuffer(void* ABuffer) const override { return *static_cast<void**>(ABuffer); }
  int CompareValues(void* AValue1, void* AValue2) const override;

protected:
  // Both cells present.
  virtual int CompareCells(void* ACell1, void* ACell2) const;
};

class TcxStringValueType : public TcxPointerValueType {
public:
  TVK_VALUE_TYPE(TcxStringValueType, TcxPointerValueType)
  void ReleaseValueBuffer(void* ABuffer) const override;
  Variant LoadValue(void* AValue) const override;
  void StoreValue(void* ABuffer, const Variant& AValue) const override;
  void ReadValueFrom(void* ABuffer, TStream& AStream) const override;
  void WriteValueTo(void* ABuffer, TStream& AStream) const override;
  VARTYPE GetVarType() const override { return varUString; }
  bool IsString() const override { return true; }

protected:
  int CompareCells(void* ACell1, void* ACell2) const override;
};

// A block: a 32-bit length in characters, then the UTF-16 characters.
class TcxWideStringValueType : public TcxStringValueType {
public:
  TVK_VALUE_TYPE(TcxWideStringValueType, TcxStringValueType)
  void ReleaseValueBuffer(void* ABuffer) const override;
  Variant LoadValue(void* AValue) const override;
  void StoreValue(void* ABuffer, const Variant& AValue) const override;
  void ReadValueFrom(void* ABuffer, TStream& AStream) const override;
  void WriteValueTo(void* ABuffer, TStream& AStream) const override;
  VARTYPE GetVarType() const override { return varOleStr; }

protected:
  int CompareCells(void* ACell1, void* ACell2) const override;
};

// Fixed-size kinds: the value in the buffer, raw in the stream.
#define TVK_FIXED_VALUE_TYPES(X)                                                    \
  X(TcxSmallintValueType, varSmallint) X(TcxIntegerValueType, varInteger)           \
  X(TcxWordValueType, varWord) X(TcxBooleanValueType, varBoolean)                   \
  X(TcxFloatValueType, varDouble) X(TcxCurrencyValueType, varCurrency)              \
  X(TcxDateTimeValueType, varDate) X(TcxLargeIntValueType, varInt64)

#define TVK_DECLARE_FIXED_VALUE_TYPE(Name, Kind)                              \
  class Name : public TcxValueType {                                          \
  public:                                                                     \
    TVK_VALUE_TYPE(Name, TcxValueType)                                        \
    int ValueBufferSize() const override;                                     \
    Variant LoadValue(void* AValue) const override;                           \
    void StoreValue(void* ABuffer, const Variant& AValue) const override;     \
    void ReadValueFrom(void* ABuffer, TStream& AStream) const override;       \
    void WriteValueTo(void* ABuffer, TStream& AStream) const override;        \
    int CompareValues(void* AValue1, void* AValue2) const override;           \
    VARTYPE GetVarType() const override { return Kind; }                      \
  };
TVK_FIXED_VALUE_TYPES(TVK_DECLARE_FIXED_VALUE_TYPE)
#undef TVK_DECLARE_FIXED_VALUE_TYPE

// An object the buffer owns (one pointer); not streamed.
class TcxObjectValueType : public TcxIntegerValueType {
public:
  TVK_VALUE_TYPE(TcxObjectValueType, TcxIntegerValueType)
  int ValueBufferSize() const override { return int(sizeof(TObject*)); }
  void ReleaseValueBuffer(void* ABuffer) const override;
  Variant LoadValue(void* AValue) const override;
  void StoreValue(void* ABuffer, const Variant& AValue) const override;
  int CompareValues(void* AValue1, void* AValue2) const override;
  void ReadValueFrom(void*, TStream&) const override {}
  void WriteValueTo(void*, TStream&) const override {}
};

// The class library's BCD record; streamed in the variant form.
class TcxFMTBcdValueType : public TcxValueType {
public:
  TVK_VALUE_TYPE(TcxFMTBcdValueType, TcxValueType)
  int ValueBufferSize() const override { return 34; }
  Variant LoadValue(void* AValue) const override;
  WideString DefaultTextOf(void* ABuffer) const override;
  void StoreValue(void* ABuffer, const Variant& AValue) const override;
  int CompareValues(void* AValue1, void* AValue2) const override;
  VARTYPE GetVarType() const override;
};

// The class library's SQL time stamp; streamed in the variant form, where it
// goes as a date-time.
class TcxSQLTimeStampValueType : public TcxValueType {
public:
  TVK_VALUE_TYPE(TcxSQLTimeStampValueType, TcxValueType)
  int ValueBufferSize() const override { return 16; }
  Variant LoadValue(void* AValue) const override;
  void StoreValue(void* ABuffer, const Variant& AValue) const override;
  int CompareValues(void* AValue1, void* AValue2) const override;
  VARTYPE GetVarType() const override;
};

class TcxVariantValueType : public TcxPointerValueType {
public:
  TVK_VALUE_TYPE(TcxVariantValueType, TcxPointerValueType)
  void ReleaseValueBuffer(void* ABuffer) const override;
  Variant LoadValue(void* AValue) const override;
  void StoreValue(void* ABuffer, const Variant& AValue) const override;

protected:
  int CompareCells(void* ACell1, void* ACell2) const override;
};

class TcxBLOBValueType : public TcxPointerValueType {
public:
  TVK_VALUE_TYPE(TcxBLOBValueType, TcxPointerValueType)
  void ReleaseValueBuffer(void* ABuffer) const override;
  Variant LoadValue(void* AValue) const override;
  void StoreValue(void* ABuffer, const Variant& AValue) const override;
  void ReadValueFrom(void* ABuffer, TStream& AStream) const override;
  void WriteValueTo(void* ABuffer, TStream& AStream) const override;
  VARTYPE GetVarType() const override { return varString; }
  bool IsString() const override { return true; }

protected:
  int CompareCells(void* ACell1, void* ACell2) const override;
};

// The registered value types, by caption.
class TcxValueTypeClassList : public TObject {
public:
  TVK_CLASS(TcxValueTypeClassList, TObject)
  void RegisterItem(TcxValueTypeClass AValueTypeClass);
  void UnregisterItem(TcxValueTypeClass AValueTypeClass);
  // Exactly (case counts); null when none.
  TcxValueTypeClass ItemByCaption(std::wstring_view ACaption) const;
  int Count() const { return int(FItems.size()); }
  TcxValueTypeClass Items(int AIndex) const { return FItems[std::size_t(AIndex)]; }

private:
  std::vector<TcxValueTypeClass> FItems;
};

// The process-wide list, made on first use (also after shut-down: empty).
TcxValueTypeClassList& GetValueTypeClassList();
// The list when it exists.
TcxValueTypeClassList* FindValueTypeClassList();

void cxDataStorageUnitStart();
void cxDataStorageUnitStop();

}  // namespace tvk
