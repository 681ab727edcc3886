// Reference counting of the model-object bases.
#include <gtest/gtest.h>

#include "Tovik.Classes.h"
#include "support/HostCall.h"

using namespace tvk;
using namespace testsupport;

namespace {

template <class Base>
class TProbe : public Base {
public:
  explicit TProbe(bool* destroyed) : FDestroyed(destroyed) {
    // A reference taken and dropped while constructing must not free the object.
    this->AddRef();
    this->Release();
  }
  ~TProbe() override { *FDestroyed = true; }

private:
  bool* FDestroyed;
};

TEST(ReferencedObject, TheLastReleaseDestroysIt) {
  bool destroyed = false;
  auto* obj = New<TProbe<TReferencedObject>>(&destroyed);
  ASSERT_FALSE(destroyed);
  EXPECT_EQ(0, obj->RefCount());
  EXPECT_EQ(1u, obj->AddRef());
  EXPECT_EQ(2u, obj->AddRef());
  EXPECT_EQ(1u, obj->Release());
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(0u, obj->Release());
  EXPECT_TRUE(destroyed);
}

TEST(ReferencedObject, FreeingAHeldObjectRaisesInvalidPointer) {
  bool destroyed = false;
  auto* obj = New<TProbe<TReferencedObject>>(&destroyed);
  obj->AddRef();
  try {
    obj->Free();
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(L"Invalid Pointer", e.Message());
  }
  EXPECT_FALSE(destroyed);
  obj->Release();
  EXPECT_TRUE(destroyed);

  destroyed = false;
  New<TProbe<TReferencedObject>>(&destroyed)->Free();  // no reference: freed
  EXPECT_TRUE(destroyed);
}

TEST(ReferencedObject, AnswersOnlyTheInterfacesItsClassDeclares) {
  bool destroyed = false;
  auto* obj = New<TProbe<TReferencedObject>>(&destroyed);
  IUnknown* unk = nullptr;
  ASSERT_EQ(S_OK, obj->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unk)));
  EXPECT_EQ(static_cast<IUnknown*>(obj), unk);
  EXPECT_EQ(1, obj->RefCount());
  void* disp = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(E_NOINTERFACE, obj->QueryInterface(IID_IDispatch, &disp));
  EXPECT_EQ(nullptr, disp);
  unk->Release();
  EXPECT_TRUE(destroyed);
}

TEST(DispatchObject, AnswersIDispatchButNoIdentifier) {
  bool destroyed = false;
  auto* obj = New<TProbe<TDispatchObject>>(&destroyed);
  ComRef<IDispatch> disp;
  ASSERT_EQ(S_OK, obj->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(disp.Receive())));
  EXPECT_EQ(1, obj->RefCount());
  UINT count = 77;
  EXPECT_EQ(E_NOTIMPL, disp->GetTypeInfoCount(&count));
  EXPECT_EQ(77u, count);
  TCall call = Call(disp.Get(), 1023, {Str(L"x")});
  EXPECT_EQ(E_NOTIMPL, call.Hr);
  EXPECT_EQ(VT_EMPTY, call.Type());
  ComRef<IUnknown> unk;
  ASSERT_EQ(S_OK, disp->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unk.Receive())));
  EXPECT_EQ(static_cast<IUnknown*>(static_cast<TReferencedObject*>(obj)), unk.Get());
  unk.Reset();
  disp.Reset();
  EXPECT_TRUE(destroyed);
}

TEST(DispatchObjectNoRef, CountsNothingAndLivesUntilItsOwnerFreesIt) {
  bool destroyed = false;
  auto* obj = New<TProbe<TDispatchObjectNoRef>>(&destroyed);
  EXPECT_EQ(0u, obj->AddRef());
  EXPECT_EQ(0u, obj->Release());
  EXPECT_EQ(0u, obj->Release());
  IDispatch* disp = nullptr;
  ASSERT_EQ(S_OK, obj->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp)));
  EXPECT_EQ(0u, disp->Release());
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(0, obj->RefCount());
  obj->Free();
  EXPECT_TRUE(destroyed);
}

}  // namespace
