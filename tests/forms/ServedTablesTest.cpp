// The dispatch tables of the external form, the server views, the handlers,
// the served string list and the panel's window-holder protocol, driven by
// identifier as the host drives them.
#include "FormsFixture.h"
#include "Tovik.InstrumentView.h"

using namespace tvk;
using namespace testsupport;
using forms_test::Serve;

namespace {

std::unique_ptr<TForm> NewForm() { return std::unique_ptr<TForm>(CreateComponent<TForm>(nullptr, kCreateNew)); }

// A view whose GetIsPanel answers a chosen 32-bit value.
class TValueView : public TAbstractSDKServerView {
public:
  TValueView(int32_t value, TCustomForm* form) : TAbstractSDKServerView(L"Values", form), FValue(value) {}
  HRESULT GetIsPanel(int32_t& value) override {
    value = FValue;
    return S_OK;
  }
  HRESULT DragDropAccept(const IDragDropObject&, int32_t value, uint16_t shift, bool& accept) override {
    SeenValue = value;
    SeenShift = shift;
    accept = true;
    return S_OK;
  }
  int32_t SeenValue = 0;
  uint16_t SeenShift = 0;

private:
  int32_t FValue;
};

TEST(ExternalFormTable, GetBoundsWritesItsFourReferencesInOrderAndRefusesValues) {
  auto form = NewForm();
  form->SetBounds(10, 20, 300, 200);
  auto view = Serve(New<TExternalForm>(form.release(), true));
  long left = 0, top = 0, width = 0, height = 0;
  ASSERT_EQ(S_OK, Call(view.Get(), 52, {RefI4(&left), RefI4(&top), RefI4(&width), RefI4(&height)}).Hr);
  EXPECT_EQ((std::vector<long>{10, 20, 300, 200}), (std::vector<long>{left, top, width, height}));
  // The same variable twice: the later write (top after left) is what stays.
  long shared = 0, other = 0;
  Call(view.Get(), 52, {RefI4(&shared), RefI4(&shared), RefI4(&other), RefI4(&other)});
  EXPECT_EQ(20, shared);
  EXPECT_EQ(200, other);
  // A value, or a referent of another width, where a reference belongs: nothing is written.
  left = top = width = -1;
  short narrow = 0;
  VARIANT narrowRef = Typed(VT_BYREF | VT_I2);
  narrowRef.piVal = &narrow;
  EXPECT_EQ(kE_UNEXPECTED, Call(view.Get(), 52, {RefI4(&left), RefI4(&top), RefI4(&width), I4(5)}).Hr);
  EXPECT_EQ(kE_UNEXPECTED, Call(view.Get(), 52, {RefI4(&left), RefI4(&top), RefI4(&width), narrowRef}).Hr);
  EXPECT_EQ((std::vector<long>{-1, -1, -1}), (std::vector<long>{left, top, width}));
}

TEST(ExternalFormTable, SetBoundsAndAHandleNeverMadeForTheAsking) {
  auto form = NewForm();
  TForm* f = form.get();
  auto view = Serve(New<TExternalForm>(form.release(), true));
  EXPECT_EQ(S_OK, Call(view.Get(), 56, {I4(1), I4(2), I4(3), I4(4)}).Hr);
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), (std::vector<int>{f->Left(), f->Top(), f->Width(), f->Height()}));
  EXPECT_EQ(TFormBorderStyle::bsNone, f->BorderStyle());
  TCall handle = Call(view.Get(), 54);
  EXPECT_EQ(S_OK, handle.Hr);
  EXPECT_EQ(0, handle.Int());
  EXPECT_FALSE(f->HandleAllocated());
  HWND made = f->Handle();
  EXPECT_EQ(long(WindowToWire(made)), Call(view.Get(), 54).Int());
}

TEST(ExternalFormTable, OperationsThatNeedAFormFailWithoutOne) {
  auto view = Serve(New<TExternalForm>(nullptr, false));
  long l = 0, t = 0, w = 0, h = 0;
  for (DISPID id : {54, 55, 58, 59}) EXPECT_EQ(kE_UNEXPECTED, Call(view.Get(), id).Hr) << id;
  EXPECT_EQ(kE_UNEXPECTED, Call(view.Get(), 52, {RefI4(&l), RefI4(&t), RefI4(&w), RefI4(&h)}).Hr);
  EXPECT_EQ(kE_UNEXPECTED, Call(view.Get(), 56, {I4(1), I4(2), I4(3), I4(4)}).Hr);
  TCall caption = Call(view.Get(), 53);
  EXPECT_EQ(S_OK, caption.Hr);
  EXPECT_EQ(L"", caption.Text());
  for (DISPID id : {50, 51, 57}) EXPECT_EQ(S_OK, Call(view.Get(), id).Hr) << id;
  EXPECT_EQ(kE_NOTIMPL, Call(view.Get(), 60).Hr);  // not a server view
}

TEST(ServerViewTable, ServiceNamesAndGetIsPanelAsABoolean) {
  auto panel = std::unique_ptr<TServerPanelForm>(CreateComponent<TServerPanelForm>(nullptr, kCreateNew));
  TServerPanelForm* p = panel.get();
  auto view = Serve(New<TServerPanelView>(L"Pin States", panel.release()));
  for (const wchar_t* name : {L"externalform", L"ServerView", L"dragdroptarget"}) EXPECT_TRUE(Supports(view.Get(), name)) << name;
  EXPECT_FALSE(Supports(view.Get(), L"ExternalFormHolder"));
  TCall isPanel = Call(view.Get(), 60);
  EXPECT_EQ(VT_BOOL, isPanel.Type());
  EXPECT_TRUE(isPanel.Bool());
  EXPECT_EQ(L"Pin States", Call(view.Get(), 61).Text());
  EXPECT_EQ(L"Pin States", p->PanelName());
  EXPECT_EQ(S_OK, Call(view.Get(), 65, {I4(123)}).Hr);  // the argument is not used
  for (int32_t value : {0, 5, -1}) {
    auto form = NewForm();
    auto other = Serve(New<TValueView>(value, form.release()));
    EXPECT_EQ(value != 0, Call(other.Get(), 60).Bool()) << value;
  }
}

TEST(ServerViewTable, DragAndDropTakesTheShiftStateFromATransportSet) {
  auto form = NewForm();
  auto* raw = New<TValueView>(0, form.release());
  auto view = Serve(raw);
  Fake drag = MakeFake();
  drag->Accept(6);
  uint8_t shiftBits[2] = {0x05, 0x81};  // members 0, 2, 8 and 15
  ComRef<ITransportSet> set = ComRef<ITransportSet>(new TTransportSet(shiftBits, 2, true));
  VARIANT setArg = Typed(VT_UNKNOWN);
  setArg.punkVal = set.Get();
  set->AddRef();  // the variant's own reference, cleared after the call
  TCall accepted = Call(view.Get(), 13, {Obj(AsDispatch(drag)), I4(7), setArg});
  EXPECT_EQ(S_OK, accepted.Hr);
  EXPECT_TRUE(accepted.Bool());
  EXPECT_EQ(7, raw->SeenValue);
  EXPECT_EQ(0x8105, raw->SeenShift);
  // An object that is no transport set: "Interface not supported", E_UNEXPECTED.
  EXPECT_EQ(kE_UNEXPECTED, Call(view.Get(), 13, {Obj(AsDispatch(drag)), I4(7), Obj(AsDispatch(drag))}).Hr);
  // The cursor query hands the drag object the system's "no" cursor.
  EXPECT_EQ(S_OK, Call(view.Get(), 9, {Obj(AsDispatch(drag))}).Hr);
  ASSERT_EQ(1u, drag->CallCount(6));
  EXPECT_EQ(long(reinterpret_cast<intptr_t>(LoadCursorW(nullptr, IDC_NO))), drag->Calls().back().Int(0));
}

TEST(ServerViewTable, PlainServerViewDeclinesTheDrop) {
  auto panel = std::unique_ptr<TServerPanelForm>(CreateComponent<TServerPanelForm>(nullptr, kCreateNew));
  auto view = Serve(New<TServerPanelView>(L"V", panel.release()));
  Fake drag = MakeFake();
  uint8_t none = 0;
  ComRef<ITransportSet> set = ComRef<ITransportSet>(new TTransportSet(&none, 1, true));
  VARIANT setArg = Typed(VT_UNKNOWN);
  setArg.punkVal = set.Get();
  set->AddRef();
  TCall accepted = Call(view.Get(), 13, {Obj(AsDispatch(drag)), I4(0), setArg});
  EXPECT_EQ(S_OK, accepted.Hr);
  EXPECT_FALSE(accepted.Bool());
}

using InstrumentView = forms_test::FormsFixture;

TEST_F(InstrumentView, CreateWrapsTheFormAsAnExternalFormThatDisposesOfIt) {
  bool freed = false;
  struct TRackForm : TForm {
    TRackForm(bool& f) : TForm(nullptr, kCreateNew), Freed(f) {}
    ~TRackForm() override { Freed = true; }
    bool& Freed;
  };
  auto* form = CreateComponent<TRackForm>(freed);
  form->SetCaption(L"ARM Controller");
  auto view = Serve(TTovikInstrumentView::Create(form));
  EXPECT_TRUE(Supports(view.Get(), L"ExternalForm"));
  EXPECT_EQ(L"ARM Controller", Call(view.Get(), 53).Text());
  EXPECT_EQ(TFormBorderStyle::bsNone, form->BorderStyle());
  view.Reset();  // not forced: without a window the form goes from the message loop
  EXPECT_FALSE(freed);
  EXPECT_TRUE(forms_test::Pump([&] { return freed; }));
}

TEST(StringsTable, IndexOfIgnoresCaseAndAddAnswersTheNewIndex) {
  auto strings = Serve(New<TADStrings>());
  EXPECT_TRUE(Supports(strings.Get(), L"Strings"));
  EXPECT_EQ(0, Call(strings.Get(), 663, {Str(L"Flash")}).Int());
  EXPECT_EQ(1, Call(strings.Get(), 663, {Str(L"RAM")}).Int());
  EXPECT_EQ(2, Call(strings.Get(), 660).Int());
  EXPECT_EQ(1, Call(strings.Get(), 662, {Str(L"ram")}).Int());
  EXPECT_EQ(-1, Call(strings.Get(), 662, {Str(L"rom")}).Int());
  EXPECT_EQ(L"RAM", Call(strings.Get(), 661, {I4(1)}).Text());
  EXPECT_EQ(kE_UNEXPECTED, Call(strings.Get(), 661, {I4(2)}).Hr);
}

class TListener : public TAbstractModelEditorSelectionListener {
public:
  HRESULT SelectionChanged(const WideString& pins) override {
    Seen = pins;
    return S_OK;
  }
  WideString Seen;
};

TEST(ListenerTable, SelectionListenersAnswerTheirIdentifierAndName) {
  auto* raw = New<TListener>();
  auto listener = Serve(raw);
  EXPECT_EQ(S_OK, Call(listener.Get(), 503256, {Str(L"A1,B2")}).Hr);
  EXPECT_EQ(L"A1,B2", raw->Seen);
  EXPECT_TRUE(Supports(listener.Get(), L"ModelEditorSelectionListener"));
  EXPECT_EQ(kE_NOTIMPL, Call(listener.Get(), 502787, {Str(L"x")}).Hr);
}

using HolderProtocol = forms_test::FormsFixture;

TEST_F(HolderProtocol, AnswersItsFourIdentifiersOnlyAndCountsNoReferences) {
  auto form = NewForm();
  auto* panel = new TExternalFormComponent(form.get());
  panel->SetParent(form.get());
  IDispatch* holder = panel->Holder().ToPointer();
  EXPECT_EQ(0, Call(holder, 69).Int());  // no window yet, and none made for the asking
  EXPECT_FALSE(panel->HandleAllocated());
  HWND window = panel->Handle();
  EXPECT_EQ(long(WindowToWire(window)), Call(holder, 69).Int());
  EXPECT_EQ(S_OK, Call(holder, 70, {I4(long(WindowToWire(window)))}).Hr);
  EXPECT_EQ(window, Application().DialogHandle());
  Application().SetDialogHandle(nullptr);
  EXPECT_EQ(S_OK, Call(holder, 71).Hr);
  EXPECT_TRUE(Supports(holder, L"externalformholder"));
  EXPECT_FALSE(Supports(holder, L"ExternalForm"));
  EXPECT_EQ(kE_NOTIMPL, Call(holder, 60).Hr);
  UINT count = 7;
  EXPECT_EQ(kE_NOTIMPL, holder->GetTypeInfoCount(&count));
  for (int i = 0; i < 5; ++i) holder->Release();  // would free a counted object
  holder->AddRef();
  EXPECT_EQ(long(WindowToWire(window)), Call(holder, 69).Int());
}

}  // namespace
