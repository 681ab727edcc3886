#include "RecordBase.h"

namespace tvk {

ComRef<IDispatch> TRecordBase::ToDispatch() const {
  if (!FIntf) return {};
  ComRef<IDispatch> disp;
  if (FAILED(FIntf->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(disp.Receive()))) || !disp)
    throw Exception(L"Interface not supported");
  return disp;
}

ComRef<IUnknown> TRecordBase::ToInterface() const {
  if (!FIntf) return {};
  ComRef<IUnknown> unk;
  if (FAILED(FIntf->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unk.Receive()))) || !unk)
    throw Exception(L"Interface not supported");
  return unk;
}

}  // namespace tvk
