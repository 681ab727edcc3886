#pragma once
// Bases of the driver's model objects, and the driver's bases of device pins
// and I/O standards.
#include "ORV.SCH.AbstractClasses.h"

namespace tvk {

// An object with its own reference count. The count is held at one while the
// object is constructed (see New()) and the Release that brings it to zero
// destroys the object.
class TReferencedObject : public IUnknown {
public:
  TReferencedObject() = default;
  TReferencedObject(const TReferencedObject&) = delete;
  TReferencedObject& operator=(const TReferencedObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  void AfterConstruction() { InterlockedDecrement(&FRefCount); }
  LONG RefCount() const { return FRefCount; }
  // Destroys an object that no reference holds; raises "Invalid Pointer" (and
  // destroys nothing) while references remain.
  void Free();

protected:
  virtual ~TReferencedObject() = default;
  // The interfaces the class declares; null for any other.
  virtual void* InterfaceFor(REFIID iid);

private:
  LONG FRefCount = 1;
};

// A model object with an IDispatch that answers no identifier.
class TDispatchObject : public TReferencedObject, public IDispatch {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return TReferencedObject::QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return TReferencedObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TReferencedObject::Release(); }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return kE_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return kE_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return kE_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return kE_NOTIMPL;
  }

protected:
  void* InterfaceFor(REFIID iid) override;
};

// A model object owned by its container: references count nothing.
class TDispatchObjectNoRef : public TDispatchObject {
public:
  ULONG STDMETHODCALLTYPE AddRef() override { return 0; }
  ULONG STDMETHODCALLTYPE Release() override { return 0; }
};

// A device pin of a driver. The driver owns its pins, so the interface it
// hands out counts no references.
class TTovikAbstractDevicePin : public TAbstractDevicePin {
public:
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(-1); }
  ULONG STDMETHODCALLTYPE Release() override { return ULONG(-1); }

  HRESULT GetIsPosPinOfDiffPair(bool& Result) override;
  HRESULT GetIsNegPinOfDiffPair(bool& Result) override;
  HRESULT GetUniqueDifferentialID(WideString& Result) override;
};

// An I/O standard, named by its position in the shared I/O-standard tables.
class TTovikAbstractDeviceIOStandard : public TAbstractDeviceIOStandard {
public:
  HRESULT GetDisplayName(WideString& Result) override;
  HRESULT GetParamName(WideString& Result) override;
  HRESULT GetSlewCount(int32_t& Result) override;
  HRESULT GetSlewValue(int32_t Index, WideString& Result) override;
  HRESULT GetDriveCount(int32_t& Result) override;
  HRESULT GetDriveStrength(int32_t Index, WideString& Result) override;

  virtual int32_t GetIOStandardIndex() const = 0;
};

}  // namespace tvk
