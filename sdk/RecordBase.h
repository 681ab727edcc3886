#pragma once
// The common part of every host-interface record: one counted reference to a
// host automation object. An empty record means the object is absent.
//
// A record is a value: copying adds a reference, overwriting or leaving scope
// releases one, ToPointer adds none. The record types themselves are
// generated from sdk/RecordInterfaces.table (see RecordCall.h).
#include "ComRef.h"
#include "Exception.h"

#include <type_traits>

namespace tvk {

class TRecordBase {
public:
  TRecordBase() = default;
  // Holds p as the record's reference (one reference added); null gives an empty record.
  explicit TRecordBase(IDispatch* p) : FIntf(p) {}

  // The reference without adding a count (to recognise the same object again).
  IDispatch* ToPointer() const { return FIntf.Get(); }
  bool IsEmpty() const { return !FIntf; }
  explicit operator bool() const { return bool(FIntf); }
  const ComRef<IDispatch>& Intf() const { return FIntf; }
  void Clear() { FIntf.Reset(); }

  // Asks the object for IDispatch; null for an empty record; raises
  // "Interface not supported" when the object has none.
  ComRef<IDispatch> ToDispatch() const;
  // Asks the object for IUnknown; null for an empty record.
  ComRef<IUnknown> ToInterface() const;

protected:
  ComRef<IDispatch> FIntf;

  friend IDispatch** RecordSlot(TRecordBase& record);
};

// The address of a record's reference, for a by-reference argument: what the
// callee stores there is the record's reference from then on.
inline IDispatch** RecordSlot(TRecordBase& record) { return record.FIntf.AddressOf(); }

template <class R>
concept HostRecord = std::is_base_of_v<TRecordBase, R>;

// Record conversions of one record type R.
template <HostRecord R>
R RecordFromPointer(void* p) { return R(static_cast<IDispatch*>(p)); }

// Asks Intf for IDispatch and wraps the answer; a null interface gives an empty record.
template <HostRecord R>
R RecordFromInterface(IUnknown* intf) {
  if (!intf) return R();
  ComRef<IDispatch> disp;
  if (FAILED(intf->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(disp.Receive()))) || !disp)
    throw Exception(L"Interface not supported");
  return R(disp.Get());
}

// Hands the same reference to another record type without asking the object
// anything (the object answers the identifiers of both interfaces).
template <HostRecord To, HostRecord From>
To RecordAs(const From& from) { return To(from.ToPointer()); }

// The pattern of one record type R wrapping the host dispinterface IDispR.
template <class R, class IDispR>
class TRecord : public TRecordBase {
public:
  using TRecordBase::TRecordBase;
  using DispInterface = IDispR;

  static R FromPointer(void* p) { return RecordFromPointer<R>(p); }
  static R FromDispInterface(IDispR* p) { return R(p); }
  static R FromInterface(IUnknown* intf) { return RecordFromInterface<R>(intf); }
  // The reference as the dispinterface (one reference added); null for an empty record.
  ComRef<IDispR> ToDispInterface() const { return ComRef<IDispR>(static_cast<IDispR*>(FIntf.Get())); }
};

// An operation on an empty record: the host object is absent.
class EEmptyRecord : public Exception {
public:
  explicit EEmptyRecord(const wchar_t* operation)
      : Exception(WideString(operation) + L": the host object is absent") {}
};

}  // namespace tvk
