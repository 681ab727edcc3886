// Forms inside host windows: a docked panel form shown through its server
// view in a host holder window, and the panel that shows a form the host
// supplies (which form it shows, transparency).
#include "FormsFixture.h"

using namespace tvk;
using namespace testsupport;
using forms_test::HostWindow;
using forms_test::Pump;

namespace {

using ExternalForms = forms_test::FormsFixture;

class TPinsPanel : public TServerPanelForm {
public:
  TVK_CLASS(TPinsPanel, TServerPanelForm)
  TPinsPanel(bool& freed) : TServerPanelForm(nullptr, kCreateNew), Freed(freed) {}
  ~TPinsPanel() override { Freed = true; }
  bool& Freed;
};

// The host's holder: its window, and the calls it answers.
Fake MakeHolder(const HostWindow& window) {
  Fake holder = MakeFake();
  holder->ReturnInt(69, window.Wire());
  holder->Accept(71);
  return holder;
}

TEST_F(ExternalForms, ADockedPanelIsShownInTheHostsWindowAndFreedWhenTheHostLetsGo) {
  HostWindow dock;
  Fake holder = MakeHolder(dock);
  bool freed = false;
  auto* panel = CreateComponent<TPinsPanel>(freed);
  auto view = forms_test::Serve(New<TServerPanelView>(L"Pin States", panel));

  // The host docks the view: holder, attach, place, show.
  ASSERT_EQ(S_OK, Call(view.Get(), 49, {Obj(AsDispatch(holder))}).Hr);
  EXPECT_EQ(AsDispatch(holder), panel->ParentWindowHolder().ToPointer());
  ASSERT_EQ(S_OK, Call(view.Get(), 50).Hr);
  ASSERT_EQ(S_OK, Call(view.Get(), 56, {I4(0), I4(0), I4(200), I4(100)}).Hr);
  ASSERT_EQ(S_OK, Call(view.Get(), 58).Hr);
  HWND window = WindowFromWire(uint32_t(Call(view.Get(), 54).Int()));
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(dock.Handle, GetParent(window));
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD);
  EXPECT_TRUE(IsWindowVisible(window));
  RECT r;
  GetClientRect(window, &r);
  EXPECT_EQ(200, r.right);  // no border: the whole form is client area

  // The caption goes to the holder's window; the holder paints the background.
  panel->SetCaption(L"Pins of U1");
  EXPECT_EQ(L"Pins of U1", dock.Text());
  EXPECT_EQ(1u, holder->CallCount(71));
  std::size_t erased = dock.Erased.size();
  HDC dc = GetDC(window);
  EXPECT_EQ(1, SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
  ReleaseDC(window, dc);
  EXPECT_EQ(erased + 1, dock.Erased.size());

  // Undocked and let go: the form goes after the messages waiting, its timer with it.
  ASSERT_EQ(S_OK, Call(view.Get(), 51).Hr);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(S_OK, Call(view.Get(), 49, {Obj(nullptr)}).Hr);
  view.Reset();
  EXPECT_FALSE(freed);
  EXPECT_TRUE(Pump([&] { return freed; }));
  EXPECT_TRUE(Host.Timers().empty());
}

TEST_F(ExternalForms, WithoutAHolderAPanelFormPaintsNoBackground) {
  bool freed = false;
  std::unique_ptr<TPinsPanel> panel(CreateComponent<TPinsPanel>(freed));
  HWND window = panel->Handle();
  HDC dc = GetDC(window);
  EXPECT_EQ(0, SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
  ReleaseDC(window, dc);
}

TEST_F(ExternalForms, WhileTheHostShutsDownTheFormGoesAtOnce) {
  Host.SetShuttingDown(true);
  bool freed = false;
  auto* panel = CreateComponent<TPinsPanel>(freed);
  panel->HandleNeeded();
  forms_test::Serve(New<TServerPanelView>(L"V", panel)).Reset();
  EXPECT_TRUE(freed);
}

struct PanelFixture : forms_test::FormsFixture {
  void SetUp() override {
    FormsFixture::SetUp();
    Form.reset(CreateComponent<TForm>(nullptr, kCreateNew));
    Panel = new TExternalFormComponent(Form.get());
    Panel->SetParent(Form.get());
    Panel->SetBounds(0, 0, 120, 80);
    Form->HandleNeeded();
  }
  Fake MakeExternalForm(const wchar_t* caption) {
    Fake f = MakeFake();
    f->ReturnString(53, caption);
    f->ReturnInt(54, 0);
    for (DISPID id : {49, 50, 51, 55, 56, 57, 58}) f->Accept(id);
    return f;
  }
  std::unique_ptr<TForm> Form;
  TExternalFormComponent* Panel = nullptr;
};

using FormPanel = PanelFixture;

TEST_F(FormPanel, SettingAFormHandsItThePanelAndAttachesItWithTheNewWindow) {
  Fake first = MakeExternalForm(L"First");
  Panel->SetExternalForm(IExternalForm(AsDispatch(first)));
  EXPECT_EQ(L"First", Panel->Caption());
  ASSERT_EQ(1u, first->CallCount(49));
  const hostsim::LoggedCall* handed = nullptr;
  for (const auto& c : first->Calls())
    if (c.Id == 49) handed = &c;
  EXPECT_EQ(Panel->Holder().ToPointer(), handed->Args[0].pdispVal);
  EXPECT_EQ(1u, first->CallCount(50));  // attached when the panel's window was made

  // The same form again: nothing at all.
  first->ClearCalls();
  Panel->SetExternalForm(IExternalForm(AsDispatch(first)));
  EXPECT_TRUE(first->Calls().empty());

  // Another form: the first is detached.
  Fake second = MakeExternalForm(L"Second");
  Panel->SetExternalForm(IExternalForm(AsDispatch(second)));
  EXPECT_GE(first->CallCount(51), 1u);
  EXPECT_EQ(L"Second", Panel->Caption());

  // None: the shown form is detached and none is shown.
  second->ClearCalls();
  Panel->SetExternalForm(IExternalForm());
  EXPECT_EQ(1u, second->CallCount(51));
  EXPECT_FALSE(Panel->ExternalForm());
}

TEST_F(FormPanel, SwitchingDoesNotDetachTheFormShownBefore) {
  Fake first = MakeExternalForm(L"First");
  Panel->SetExternalForm(IExternalForm(AsDispatch(first)));
  first->ClearCalls();
  Fake second = MakeExternalForm(L"Second");
  Panel->SwitchExternalForm(IExternalForm(AsDispatch(second)));
  EXPECT_EQ(0u, first->CallCount(51));
  std::vector<DISPID> order;
  for (const auto& c : second->Calls()) order.push_back(c.Id);
  EXPECT_EQ((std::vector<DISPID>{49, 56, 50, 58, 53}), order);
  EXPECT_EQ(L"Second", Panel->Caption());
}

TEST_F(FormPanel, ResizingThePanelResizesTheFormAndItsEndLetsTheFormGo) {
  Fake f = MakeExternalForm(L"F");
  Panel->SetExternalForm(IExternalForm(AsDispatch(f)));
  f->ClearCalls();
  Panel->SetBounds(5, 5, 90, 70);
  ASSERT_EQ(1u, f->CallCount(56));
  EXPECT_EQ((std::vector<long>{0, 0, 90, 70}),
            (std::vector<long>{f->Calls()[0].Int(0), f->Calls()[0].Int(1), f->Calls()[0].Int(2), f->Calls()[0].Int(3)}));
  f->ClearCalls();
  LONG before = f->RefCount();
  delete Panel;
  std::vector<DISPID> order;
  for (const auto& c : f->Calls()) order.push_back(c.Id);
  EXPECT_EQ((std::vector<DISPID>{55, 51, 49}), order);
  EXPECT_EQ(before - 1, f->RefCount());
}

TEST_F(FormPanel, ATransparentPanelPaintsNothingOfItsOwn) {
  Panel->SetColor(clRed);
  TBitmap target;
  target.SetSize(120, 80);
  auto paint = [&] {
    target.Canvas().Brush().SetColor(clLime);
    target.Canvas().FillRect(RECT{0, 0, 120, 80});
    SendMessageW(Panel->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(target.Canvas().Handle()), 0);
    return target.Canvas().Pixel(60, 40);
  };
  EXPECT_EQ(clRed, paint());
  EXPECT_EQ(1, SendMessageW(Panel->Handle(), WM_SETTRANSPARENT, 1, 0));
  EXPECT_TRUE(Panel->Transparent());
  EXPECT_EQ(clLime, paint());
  SendMessageW(Panel->Handle(), WM_SETTRANSPARENT, 0, 0);
  EXPECT_EQ(clRed, paint());
}

// A form that hands every dialog key on to its controls, as a toolkit form
// without tab handling would: a panel that forwarded Tab every time would
// get it back without end.
class TEchoForm : public TForm {
public:
  TVK_CLASS(TEchoForm, TForm)
  using TForm::TForm;
  int Seen = 0;

protected:
  TVK_MESSAGES();
  void CMDialogKey(TMessage& m) {
    ++Seen;
    Broadcast(m);
  }
};
TVK_MESSAGE_MAP(TEchoForm, {CM_DIALOGKEY, &TEchoForm::CMDialogKey})

TEST_F(FormPanel, TabGoesToTheParentFormsWindowOnceOtherKeysAsUsual) {
  std::unique_ptr<TEchoForm> form(CreateComponent<TEchoForm>(nullptr, kCreateNew));
  auto* panel = new TExternalFormComponent(form.get());
  panel->SetParent(form.get());
  form->HandleNeeded();
  panel->Perform(CM_DIALOGKEY, VK_TAB, 0);
  EXPECT_EQ(1, form->Seen);
  panel->Perform(CM_DIALOGKEY, VK_RETURN, 0);
  EXPECT_EQ(1, form->Seen);  // not sent on
  // The library's own forms take Tab themselves (they move the focus) and answer 1.
  EXPECT_EQ(1, Panel->Perform(CM_DIALOGKEY, VK_TAB, 0));
}

}  // namespace
