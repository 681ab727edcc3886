#pragma once
// The common part of every host-interface record: one counted reference to a
// host automation object. An empty record means the object is absent.
#include "ComRef.h"
#include "Exception.h"

#include <type_traits>

namespace tvk {

class TRecordBase {
public:
  TRecordBase() = default;
  // Holds p as the record's reference (one reference added); null gives an empty record.
  explicit TRecordBase(IDispatch* p) : FIntf(p) {}

  IDispatch* ToPointer() const { return FIntf.Get(); }
  bool IsEmpty() const { return !FIntf; }
  explicit operator bool() const { return bool(FIntf); }
  const ComRef<IDispatch>& Intf() const { return FIntf; }
  void Clear() { FIntf.Reset(); }

  // Asks the object for IDispatch; null for an empty record.
  ComRef<IDispatch> ToDispatch() const;
  // Asks the object for IUnknown; null for an empty record.
  ComRef<IUnknown> ToInterface() const;

protected:
  ComRef<IDispatch> FIntf;
};

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

}  // namespace tvk
