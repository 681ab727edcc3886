// What the control base offers around its painting and its life: frozen
// pictures painted instead of the content (by the control, its scroll bars
// and its grip), the resource-string translations it listens to, the designer
// told of changes, and the rule that picks the owner window of its popups.
#include "Forms.h"
#include "cxContainer.h"
#include "cxContainerHooks.h"
#include "cxControls.h"
#include "dxCore.h"
#include "lookandfeel/LookAndFeelTest.h"
#include "painters/PaintersTest.h"
#include "RefreshCountingContainer.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tvk;

namespace {

// The frozen pictures are cells of 10 pixels, each of its own colour.
TColor FrozenCellColor(int X, int Y) { return TColor(RGB((X / 10) * 20, (Y / 10) * 20, 100)); }

class TFreezingControl : public TcxControl, public IcxFrozenImageProvider {
public:
  using TcxControl::TcxControl;
  std::unique_ptr<TcxBitmap> Image;
  TWinControl* FrozenControl = nullptr;
  bool WithScrollBars = false;
  bool Designing = false;
  int DoPaints = 0;
  int Translations = 0;

  // A picture of AControl's client area.
  void Freeze(TWinControl* AControl) {
    Image = std::make_unique<TcxBitmap>(AControl->Width(), AControl->Height());
    for (int y = 0; y < AControl->Height(); y += 10)
      for (int x = 0; x < AControl->Width(); x += 10)
        Image->cxCanvas().FillRect(RECT{x, y, x + 10, y + 10}, FrozenCellColor(x, y));
    FrozenControl = AControl;
  }
  TcxBitmap* GetFrozenImage() override { return Image.get(); }
  TWinControl* GetFrozenControl() override { return FrozenControl; }
  bool GetInterface(const GUID& iid, void** obj) override {
    if (IsEqualGUID(iid, IID_IcxFrozenImageProvider)) {
      *obj = static_cast<IcxFrozenImageProvider*>(this);
      return true;
    }
    return TcxControl::GetInterface(iid, obj);
  }
  void STDMETHODCALLTYPE TranslationChanged() override { ++Translations; }
  bool IsDesigning() const override { return Designing; }
  void SetLoading(bool AOn) { SetComponentState(csLoading, AOn); }

protected:
  void DoPaint() override {
    ++DoPaints;
    TcxControl::DoPaint();
  }
  void InitScrollBarsParameters() override {
    if (!WithScrollBars) return;
    const RECT r = ClientBounds();
    SetScrollBarInfo(sbHorizontal, 0, 999, 1, r.right - r.left, 0, true, true);
    SetScrollBarInfo(sbVertical, 0, 999, 1, r.bottom - r.top, 0, true, true);
  }
};

// Paints AControl into a bitmap of its size and tells how many sampled
// pixels differ from the picture's cells at AOffset.
int FrozenMismatches(TWinControl& AControl, POINT AOffset) {
  painters_test::TDib dib(AControl.Width(), AControl.Height());
  AControl.Perform(WM_PAINT, WPARAM(dib.Bitmap.Canvas().Handle()), 0);
  int mismatches = 0;
  for (int y = 0; y < dib.Height(); y += 3)
    for (int x = 0; x < dib.Width(); x += 3)
      mismatches += dib.At(x, y) != FrozenCellColor(x + AOffset.x, y + AOffset.y);
  return mismatches;
}

class ControlServices : public laf_test::LookAndFeel {
protected:
  void SetUp() override {
    laf_test::LookAndFeel::SetUp();
    FHost = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr, nullptr,
                            nullptr);
    FControl = std::make_unique<TFreezingControl>(nullptr);
    FControl->SetBounds(0, 0, 200, 150);
    FControl->SetParentWindow(FHost);
    FControl->HandleNeeded();
  }
  void TearDown() override {
    FControl.reset();
    DestroyWindow(FHost);
    laf_test::LookAndFeel::TearDown();
  }

  HWND FHost = nullptr;
  std::unique_ptr<TFreezingControl> FControl;
};

// A popup that follows the hooks' contract; the rule only asks for its owner.
class TOwnerRulePopup : public TcxCustomPopupWindow {
public:
  using TcxCustomPopupWindow::TcxCustomPopupWindow;
  void ClosePopup() override { Hide(); }
};

// A class-library component whose designing state a test sets.
template <class T>
class TDesignable : public T {
public:
  using T::T;
  void SetDesigning(bool AOn) { this->SetComponentState(csDesigning, AOn); }
};

class TCountingDesigner : public IDesignerHook {
public:
  void Modified() override { ++Modifications; }
  int Modifications = 0;
};

}  // namespace

TEST_F(ControlServices, AFrozenPictureOfTheControlIsPaintedInsteadOfItsContent) {
  FControl->Freeze(FControl.get());
  EXPECT_EQ(0, FrozenMismatches(*FControl, {0, 0}));
  EXPECT_EQ(0, FControl->DoPaints);

  FControl->Image.reset();
  painters_test::TDib dib(FControl->Width(), FControl->Height());
  FControl->Perform(WM_PAINT, WPARAM(dib.Bitmap.Canvas().Handle()), 0);
  EXPECT_EQ(1, FControl->DoPaints) << "without a picture the control paints itself";
}

TEST_F(ControlServices, AControlInsideTheFrozenOneShowsThePartOfThePictureUnderIt) {
  TFreezingControl inner(nullptr);
  inner.SetBounds(30, 20, 60, 40);
  inner.SetParent(FControl.get());
  inner.Freeze(FControl.get());
  EXPECT_EQ(0, FrozenMismatches(inner, {30, 20}));
  EXPECT_EQ(0, inner.DoPaints);

  inner.FrozenControl = nullptr;
  FrozenMismatches(inner, {30, 20});
  EXPECT_EQ(1, inner.DoPaints) << "a picture of no control cannot be placed: the control paints itself";
  inner.SetParent(nullptr);
}

TEST_F(ControlServices, ScrollBarsAndGripCopyTheirPartOfTheParentsFrozenPicture) {
  FControl->WithScrollBars = true;
  FControl->CheckUpdateScrollBars();
  ASSERT_TRUE(FControl->HScrollBar()->Visible());
  ASSERT_TRUE(FControl->VScrollBar()->Visible());
  ASSERT_TRUE(FControl->SizeGrip()->Visible());
  FControl->Freeze(FControl.get());
  for (TWinControl* part : std::initializer_list<TWinControl*>{FControl->HScrollBar(), FControl->VScrollBar(),
                                                               FControl->SizeGrip()})
    EXPECT_EQ(0, FrozenMismatches(*part, {part->Left(), part->Top()})) << part->ClassName();

  FControl->Image.reset();
  for (TWinControl* part : std::initializer_list<TWinControl*>{FControl->HScrollBar(), FControl->SizeGrip()})
    EXPECT_GT(FrozenMismatches(*part, {part->Left(), part->Top()}), 0) << part->ClassName() << " paints itself again";
}

TEST_F(ControlServices, TheControlListensToTranslationsForItsWholeLife) {
  TdxResourceStringsRepository& repository = GetResourceStringsRepository();
  const int before = repository.ListenersCount();
  {
    TFreezingControl control(nullptr);
    EXPECT_EQ(before + 1, repository.ListenersCount());
    EXPECT_TRUE(Supports(&control, IID_IdxLocalizerListener));
    repository.NotifyListeners();
    EXPECT_EQ(1, control.Translations);
    EXPECT_EQ(1, FControl->Translations);
  }
  EXPECT_EQ(before, repository.ListenersCount()) << "it left the repository when it went";
  repository.NotifyListeners();
  EXPECT_EQ(2, FControl->Translations);
}

TEST_F(ControlServices, AControlFreedAfterTheCoreServicesStoppedMakesNoNewRepository) {
  laf_test::StopSteps(LookAndFeelSteps());
  FStarted = false;
  DxCoreUnitShutdown();
  ASSERT_EQ(nullptr, FindResourceStringsRepository());
  FControl.reset();
  EXPECT_EQ(nullptr, FindResourceStringsRepository());
}

TEST_F(ControlServices, NewTranslationsRefreshAContainer) {
  cxcontrols_test::TRefreshCountingContainer container(nullptr);
  container.SetBounds(0, 0, 120, 30);
  container.SetParentWindow(FHost);
  container.HandleNeeded();
  const int before = container.Refreshes;
  GetResourceStringsRepository().NotifyListeners();
  EXPECT_EQ(before + 1, container.Refreshes);
}

TEST_F(ControlServices, TheDesignerHearsOfChangesOnlyFromAControlDesignedAndReadyUpToTheForm) {
  struct Case {
    const char* Name;
    bool FormDesigning, MiddleDesigning, ControlDesigning, ControlLoading, HasDesigner;
    int Modifications;
  };
  for (const Case c : {Case{"all designed and ready", true, true, true, false, true, 1},
                       Case{"the control runs", true, true, false, false, true, 0},
                       Case{"a parent runs", true, false, true, false, true, 0},
                       Case{"the form runs", false, true, true, false, true, 0},
                       Case{"the control is loading", true, true, true, true, true, 0},
                       Case{"the form has no designer", true, true, true, false, false, 0}}) {
    TDesignable<TForm> form(nullptr, kCreateNew);
    TDesignable<TWinControl> middle(nullptr);
    TFreezingControl control(nullptr);
    middle.SetParent(&form);
    control.SetParent(&middle);
    TCountingDesigner designer;
    if (c.HasDesigner) form.SetDesigner(&designer);
    form.SetDesigning(c.FormDesigning);
    middle.SetDesigning(c.MiddleDesigning);
    control.Designing = c.ControlDesigning;
    control.SetLoading(c.ControlLoading);
    control.DesignerModified();
    EXPECT_EQ(c.Modifications, designer.Modifications) << c.Name;
    control.SetParent(nullptr);
    middle.SetParent(nullptr);
  }
}

TEST_F(ControlServices, StartUpInstallsThePopupOwnerRuleAndShutDownRemovesIt) {
  TForm form(nullptr, kCreateNew);
  form.SetBounds(0, 0, 300, 200);
  TWinControl owner(nullptr);
  owner.SetBounds(10, 10, 100, 30);
  owner.SetParent(&form);
  form.Show();
  TOwnerRulePopup popup(nullptr);
  popup.SetOwnerControl(&owner);
  popup.SetBorderStyle(TFormBorderStyle::bsNone);
  popup.SetBounds(50, 50, 220, 170);
  TFreezingControl control(nullptr);
  control.SetBounds(0, 0, 200, 150);
  control.SetParent(&popup);
  control.WithScrollBars = true;
  popup.Show();
  control.CheckUpdateScrollBars();
  ASSERT_TRUE(control.VScrollBar()->Visible());

  ASSERT_EQ(&ResolvePopupOwnerWindow, cxPopupOwnerWindowProc);
  EXPECT_EQ(owner.Handle(), cxGetPopupOwnerWindow(control.Handle()));
  EXPECT_EQ(form.Handle(), cxGetPopupOwnerWindow(form.Handle())) << "a window on no popup stays itself";

  // The middle-button scroll's anchor, a popup of the control's, belongs to
  // the owner's form rather than to the popup the control lies on.
  HWND anchorOwner = nullptr;
  control.OnMouseMove = [&](TObject*, TShiftState, int, int) {
    for (HWND wnd = GetTopWindow(nullptr); wnd; wnd = GetWindow(wnd, GW_HWNDNEXT))
      if (GetWindowThreadProcessId(wnd, nullptr) == GetCurrentThreadId() &&
          (GetWindowLongPtrW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) && IsWindowVisible(wnd) &&
          GetWindow(wnd, GW_OWNER) != nullptr)
        anchorOwner = GetWindow(wnd, GW_OWNER);
  };
  PostMessageW(control.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  PostMessageW(control.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  control.RunContentAutoScroll();
  EXPECT_EQ(form.Handle(), anchorOwner);
  control.OnMouseMove = nullptr;

  cxContainerUnitStop();
  EXPECT_EQ(nullptr, cxPopupOwnerWindowProc);
  EXPECT_EQ(control.Handle(), cxGetPopupOwnerWindow(control.Handle()));
  cxContainerUnitStart();
  control.SetParent(nullptr);
}
