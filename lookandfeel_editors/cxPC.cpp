#include "cxPC.h"

#include "cxControls.h"
#include "cxPCConsts.h"
#include "cxPCViewInfo.h"
#include "dxCore.h"

namespace tvk {

// ---- TcxTab

TcxTab::TcxTab(TcxTabs* ATabs) : FDestroyHandlers(std::make_unique<TcxEventHandlerCollection>()), FTabs(ATabs) {}

TcxTab::~TcxTab() {
  FDestroyHandlers->CallEvents(this);
  FDestroyHandlers.reset();
  if (!FNeverDetach) Detach();
}

void TcxTab::Detach() {
  if (!FTabs->IsTabsCleaning()) FTabs->ExtractTab(this);
}

void TcxTab::TabChanged(int AKind) { FTabs->NotifyTabChanged(this, AKind); }

void TcxTab::SetCaption(const WideString& AValue) {
  if (FCaption == AValue) return;
  FCaption = AValue;
  TabChanged(tpcLayout);
}

void TcxTab::SetColor(TColor AValue) {
  if (FColor == AValue) return;
  FColor = AValue;
  TabChanged(tpcColor);
}

void TcxTab::SetEnabled(bool AValue) {
  if (FEnabled == AValue) return;
  FEnabled = AValue;
  TabChanged(tpcEnabled);
}

void TcxTab::SetHighlighted(bool AValue) {
  if (FHighlighted == AValue) return;
  FHighlighted = AValue;
  TabChanged(tpcHighlighted);
}

void TcxTab::SetImageIndex(int AValue) {
  if (AValue < 0) AValue = -1;
  if (FImageIndex == AValue) return;
  FImageIndex = AValue;
  TabChanged(tpcLayout);
}

void TcxTab::SetVisible(bool AValue) {
  if (FVisible == AValue) return;
  FVisible = AValue;
  TabChanged(tpcVisible);
}

void TcxTab::SetSelected(bool AValue) {
  if (FSelected == AValue) return;
  TcxTabViewInfo* viewInfo = GetViewInfo();
  if (!viewInfo) {
    FSelected = AValue;
    return;
  }
  if (AValue && !viewInfo->IsMultiSelectable() && GetProperties()->TabIndex() != Index()) return;
  FSelected = AValue;
  TabChanged(tpcSelected);
}

int TcxTab::Index() const { return FTabs->IndexOfTab(this); }

TcxCustomTabControlProperties* TcxTab::GetProperties() const { return FTabs->Properties(); }
TcxCustomTabControlViewInfo* TcxTab::GetControlViewInfo() const { return FTabs->GetControlViewInfo(); }

TcxTabViewInfo* TcxTab::GetViewInfo() const {
  TcxTabsViewInfo* tabsViewInfo = FTabs->GetTabsViewInfo();
  return tabsViewInfo ? tabsViewInfo->FindViewInfo(this) : nullptr;
}

int TcxTab::VisibleIndex() const {
  TcxTabViewInfo* viewInfo = GetViewInfo();
  return viewInfo ? viewInfo->VisibleIndex() : -1;
}
int TcxTab::VisibleRow() const {
  TcxTabViewInfo* viewInfo = GetViewInfo();
  return viewInfo ? viewInfo->VisibleRow() : -1;
}
RECT TcxTab::FullRect() const {
  TcxTabViewInfo* viewInfo = GetViewInfo();
  return viewInfo ? viewInfo->FullRect() : RECT{};
}
RECT TcxTab::VisibleRect() const {
  TcxTabViewInfo* viewInfo = GetViewInfo();
  return viewInfo ? viewInfo->VisibleRect() : RECT{};
}
bool TcxTab::HotTrack() const {
  TcxTabViewInfo* viewInfo = GetViewInfo();
  return viewInfo && viewInfo->IsHotTrack();
}
bool TcxTab::IsMainTab() const {
  TcxTabViewInfo* viewInfo = GetViewInfo();
  return viewInfo && viewInfo->IsMainTab();
}
bool TcxTab::Pressed() const {
  TcxTabViewInfo* viewInfo = GetViewInfo();
  return viewInfo && viewInfo->IsPressed();
}
bool TcxTab::Tracking() const {
  TcxTabViewInfo* viewInfo = GetViewInfo();
  return viewInfo && viewInfo->IsTracking();
}
bool TcxTab::RealVisible() const {
  const RECT r = VisibleRect();
  return r.right > r.left && r.bottom > r.top;
}

std::unique_ptr<TcxTabViewInfo> TcxTab::CreateViewInfo(TcxTabsViewInfo* ATabsViewInfo) {
  return std::make_unique<TcxTabViewInfo>(this, ATabsViewInfo);
}

void TcxTab::AssignTo(TPersistent& Dest) const {
  auto* dest = Dest.Is<TcxTab>() ? static_cast<TcxTab*>(&Dest) : nullptr;
  if (!dest) return TPersistent::AssignTo(Dest);
  dest->FCaption = FCaption;
  dest->FEnabled = FEnabled;
  dest->FHighlighted = FHighlighted;
  dest->SetImageIndex(GetProperties()->GetTabImageIndex(this));
  dest->FObject = FObject;
  dest->SetVisible(FVisible);
  dest->SetSelected(FSelected);
}

// ---- TcxPCNewButton

TcxPCNewButton::TcxPCNewButton(TcxTabs* ATabs) : TcxTab(ATabs) {
  FNeverDetach = true;  // never among the items
  SetVisible(false);
}

void TcxPCNewButton::SetWidth(int AValue) {
  if (FWidth == AValue) return;
  FWidth = AValue;
  TabChanged(tpcLayout);
}

std::unique_ptr<TcxTabViewInfo> TcxPCNewButton::CreateViewInfo(TcxTabsViewInfo* ATabsViewInfo) {
  return std::make_unique<TcxPCNewButtonViewInfo>(this, ATabsViewInfo);
}

// ---- TcxTabs

TcxTabs::TcxTabs(TcxCustomTabControlProperties* AProperties)
    : FChangedHandlers(std::make_unique<TcxEventHandlerCollection>()),
      FDestroyHandlers(std::make_unique<TcxEventHandlerCollection>()),
      FProperties(AProperties) {
  CreateNewButton();
}

TcxTabs::~TcxTabs() {
  FDestroyHandlers->CallEvents(this);
  FDestroyHandlers.reset();
  DestroyNewButton();
  FIsTabsCleaning = true;
  for (TcxTab* tab : FTabItems) delete tab;
  FTabItems.clear();
  FChangedHandlers.reset();
}

void TcxTabs::CreateNewButton() { FNewButton = std::make_unique<TcxPCNewButton>(this); }
void TcxTabs::DestroyNewButton() { FNewButton.reset(); }

TcxTab* TcxTabs::Tabs(int AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) Error(L"List index out of bounds (%d)", AIndex);
  return FTabItems[std::size_t(AIndex)];
}

WideString TcxTabs::Get(int AIndex) const { return Tabs(AIndex)->Caption(); }
void TcxTabs::Put(int AIndex, const WideString& S) { Tabs(AIndex)->SetCaption(S); }
TObject* TcxTabs::Objects(int AIndex) const { return Tabs(AIndex)->Data(); }
void TcxTabs::PutObject(int AIndex, TObject* AObject) { Tabs(AIndex)->SetData(AObject); }

int TcxTabs::IndexOfTab(const TcxTab* ATab) const {
  for (std::size_t i = 0; i < FTabItems.size(); ++i)
    if (FTabItems[i] == ATab) return int(i);
  return -1;
}

void TcxTabs::Insert(int AIndex, const WideString& S) {
  if (AIndex < 0 || AIndex > Count()) Error(L"List index out of bounds (%d)", AIndex);
  BeginUpdate();
  try {
    auto tab = std::make_unique<TcxTab>(this);
    FTabItems.insert(FTabItems.begin() + AIndex, tab.get());
    TcxTab* inserted = tab.release();
    inserted->FImageIndex = AIndex;
    inserted->FCaption = S;
    if (!FProperties->InLoading() && FProperties->FTabIndex == -1 && Count() == 1) FProperties->FTabIndex = 0;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxTabs::Delete(int AIndex) { delete Tabs(AIndex); }

void TcxTabs::Clear() {
  FIsTabsCleaning = true;
  struct TCleanupGuard {
    TcxTabs* Tabs;
    ~TCleanupGuard() {
      Tabs->FTabItems.clear();
      Tabs->FIsTabsCleaning = false;
      Tabs->NotifyTabChanged(nullptr, tpcLayout);
    }
  } guard{this};
  // Freed from a copy: a tab's destroy handlers may look at the list meanwhile.
  const std::vector<TcxTab*> items = FTabItems;
  for (TcxTab* tab : items) delete tab;
}

void TcxTabs::Move(int AFrom, int ATo) {
  if (AFrom == ATo) return;
  TcxTab* tab = Tabs(AFrom);
  Tabs(ATo);
  FTabItems.erase(FTabItems.begin() + AFrom);
  FTabItems.insert(FTabItems.begin() + ATo, tab);
  NotifyTabChanged(nullptr, tpcLayout);
}

void TcxTabs::SetUpdateState(bool AUpdating) {
  if (!AUpdating) NotifyTabChanged(nullptr, tpcLayout);
}

void TcxTabs::NotifyTabChanged(TcxTab* ATab, int AKind) {
  if (FProperties->InLoading() || FProperties->InDestruction() || !FChangedHandlers) return;
  const TcxTabChangedArgs args{ATab, AKind};
  FChangedHandlers->CallEvents(this, &args);
}

void TcxTabs::ExtractTab(TcxTab* ATab) {
  std::erase(FTabItems, ATab);
  NotifyTabChanged(nullptr, tpcLayout);
}

TcxCustomTabControlViewInfo* TcxTabs::GetControlViewInfo() const { return FProperties->GetOwnerViewInfo(); }

TcxTabsViewInfo* TcxTabs::GetTabsViewInfo() const {
  TcxCustomTabControlViewInfo* viewInfo = GetControlViewInfo();
  return viewInfo ? viewInfo->TabsViewInfo() : nullptr;
}

TcxTab* TcxTabs::GetTabByVisibleIndex(int AVisibleIndex) const {
  TcxTabsViewInfo* tabsViewInfo = GetTabsViewInfo();
  TcxTabViewInfo* viewInfo = tabsViewInfo ? tabsViewInfo->ViewInfos(AVisibleIndex) : nullptr;
  return viewInfo ? viewInfo->Tab() : nullptr;
}

int TcxTabs::VisibleTabsCount() const {
  TcxTabsViewInfo* tabsViewInfo = GetTabsViewInfo();
  return tabsViewInfo ? tabsViewInfo->ViewInfoCount() : 0;
}

// ---- TcxPCImageList

TcxPCImageList::TcxPCImageList(TcxCustomTabControlProperties* AProperties)
    : FBaseHotImageChangeLink(std::make_unique<TChangeLink>()),
      FBaseImageChangeLink(std::make_unique<TChangeLink>()),
      FFreeNotificator(std::make_unique<TcxFreeNotificator>(nullptr)),
      FProperties(AProperties) {
  FBaseHotImageChangeLink->OnChange = [this](TObject*) { ImagesChanged(); };
  FBaseImageChangeLink->OnChange = [this](TObject*) { ImagesChanged(); };
  FFreeNotificator->OnFreeNotification = [this](TComponent* AComponent) { FreeNotification(AComponent); };
}

TcxPCImageList::~TcxPCImageList() {
  // Unlinked from the lists first, so that neither calls back into a half-gone object.
  if (FBaseImages) FBaseImages->UnRegisterChanges(FBaseImageChangeLink.get());
  if (FBaseHotImages) FBaseHotImages->UnRegisterChanges(FBaseHotImageChangeLink.get());
  FFreeNotificator.reset();
  FBaseImageChangeLink.reset();
  FBaseHotImageChangeLink.reset();
}

void TcxPCImageList::FreeNotification(TComponent* AComponent) {
  // The list is already half gone (its own part destroyed): it is only
  // forgotten, never asked to drop the link.
  if (AComponent == FBaseImages)
    FBaseImages = nullptr;
  else if (AComponent == FBaseHotImages)
    FBaseHotImages = nullptr;
  else
    return;
  ImagesChanged();
}

void TcxPCImageList::SetBaseImages(TCustomImageList* AValue) {
  ReplaceImageListLink(AValue, FBaseImages, FBaseImageChangeLink.get(), FFreeNotificator.get());
}

void TcxPCImageList::SetBaseHotImages(TCustomImageList* AValue) {
  ReplaceImageListLink(AValue, FBaseHotImages, FBaseHotImageChangeLink.get(), FFreeNotificator.get());
}

void TcxPCImageList::ImagesChanged() {
  if (OnChange) OnChange(this);
}

SIZE TcxPCImageList::BaseImageSize() const {
  if (FBaseImages) return {FBaseImages->Width(), FBaseImages->Height()};
  if (FBaseHotImages) return {FBaseHotImages->Width(), FBaseHotImages->Height()};
  return {0, 0};
}

SIZE TcxPCImageList::RotatedImageSize() const {
  SIZE size = BaseImageSize();
  if (FImageRotationAngle != ra0) std::swap(size.cx, size.cy);
  return size;
}

TCustomImageList* TcxPCImageList::GetImages(bool AHot) const {
  return AHot && FBaseHotImages ? FBaseHotImages : FBaseImages;
}

void TcxPCImageList::Draw(TcxCanvas& ACanvas, int X, int Y, bool AHot, bool AEnabled, bool ANativePainting,
                          TColor ABkColor, int AIndex) {
  (void)ABkColor;
  TCustomImageList* images = GetImages(AHot);
  const WideString prefix = L"TcxPCImageList.Draw: ";
  if (!images) throw EdxException(prefix + LoadResString(&scxPCNoBaseImages));
  if (AIndex < 0 || AIndex >= images->Count())
    throw EdxException(prefix + FormatPageControlText(LoadResString(&scxPCImageListIndexError),
                                                      {IntToStr(AIndex), IntToStr(images->Count() - 1)}));
  if (FImageRotationAngle == ra0) {
    images->Draw(*ACanvas.Canvas(), X, Y, AIndex, AEnabled);
    return;
  }
  const SIZE size = BaseImageSize();
  TcxBitmap32 bitmap(size.cx, size.cy);
  if (ANativePainting) bitmap.SetTransparent(true);
  BitBlt(bitmap.Canvas().Handle(), 0, 0, size.cx, size.cy, ACanvas.Handle(), X, Y, SRCCOPY);
  images->Draw(bitmap.Canvas(), 0, 0, AIndex, AEnabled);
  bitmap.Rotate(FImageRotationAngle);
  ACanvas.Canvas()->Draw(X, Y, bitmap);
}

// ---- TcxTabSlants

void TcxTabSlants::Assign(const TPersistent& Source) {
  if (!Source.Is<TcxTabSlants>()) return TPersistent::Assign(Source);
  const auto& source = static_cast<const TcxTabSlants&>(Source);
  SetKind(source.FKind);
  SetPositions(source.FPositions);
}

void TcxTabSlants::SetKind(TcxTabSlantKind AValue) {
  if (FKind == AValue) return;
  FKind = AValue;
  Changed();
}

void TcxTabSlants::SetPositions(TcxTabSlantPositions AValue) {
  if (FPositions == AValue) return;
  FPositions = AValue;
  Changed();
}

void TcxTabSlants::Changed() {
  if (OnChange) OnChange(this);
}

// ---- TcxCustomTabControlProperties

TcxCustomTabControlProperties::TcxCustomTabControlProperties(TPersistent* AOwner) : TcxOwnedPersistent(AOwner) {
  FTabs = std::make_unique<TcxTabs>(this);
  FImages = std::make_unique<TcxPCImageList>(this);
  FImages->OnChange = [this](TObject* Sender) { ImagesChanged(Sender); };
  FTabSlants = std::make_unique<TcxTabSlants>(this);
  FTabSlants->OnChange = [this](TObject*) { TabSlantsChanged(); };
  FDragImage = std::make_unique<TBitmap>();
}

TcxCustomTabControlProperties::~TcxCustomTabControlProperties() {
  FDragImage.reset();
  FTabSlants.reset();
  FImages.reset();
  FTabs.reset();
}

IcxControlComponentState* TcxCustomTabControlProperties::ComponentState() const {
  return Supports<IcxControlComponentState>(static_cast<TObject*>(Owner()), IID_IcxControlComponentState);
}

IcxTabControl* TcxCustomTabControlProperties::GetOwnerControl() const {
  return Supports<IcxTabControl>(static_cast<TObject*>(Owner()), IID_IcxTabControl);
}

TcxCustomTabControlViewInfo* TcxCustomTabControlProperties::GetOwnerViewInfo() const {
  IcxTabControl* control = GetOwnerControl();
  return control ? control->QueryViewInfo() : nullptr;
}

bool TcxCustomTabControlProperties::InDesignMode() const {
  IcxControlComponentState* state = ComponentState();
  return state && state->QueryDesigning();
}
bool TcxCustomTabControlProperties::InDestruction() const {
  IcxControlComponentState* state = ComponentState();
  return state && state->QueryDestroying();
}
bool TcxCustomTabControlProperties::InLoading() const {
  IcxControlComponentState* state = ComponentState();
  return state && state->QueryLoading();
}

void TcxCustomTabControlProperties::EndUpdate() {
  --FUpdateLockCount;
  NotifyChanged(pctHard);
}

bool TcxCustomTabControlProperties::IsUpdateLocked() const { return FUpdateLockCount > 0 || InLoading(); }

void TcxCustomTabControlProperties::NotifyChanged(TcxCustomTabControlPropertiesChangedType AType) {
  if (!IsUpdateLocked()) RaiseTabPropertiesChanged(AType);
}

void TcxCustomTabControlProperties::RaiseTabPropertiesChanged(TcxCustomTabControlPropertiesChangedType AType) {
  if (OnChanged) OnChanged(this, AType);
}

template <class T>
void TcxCustomTabControlProperties::SetValue(T& AField, T AValue, TcxCustomTabControlPropertiesChangedType AType) {
  if (AField == AValue) return;
  AField = AValue;
  NotifyChanged(AType);
}

void TcxCustomTabControlProperties::SetActivateFocusedTab(bool AValue) {
  if (FActivateFocusedTab == AValue) return;
  FActivateFocusedTab = AValue;
  if (AValue) NotifyChanged(pctHard);
}
void TcxCustomTabControlProperties::SetAllowDisabledTabAccess(bool AValue) {
  SetValue(FAllowDisabledTabAccess, AValue, pctHard);
}
void TcxCustomTabControlProperties::SetCloseButtonMode(TcxPCCloseButtonMode AValue) {
  SetValue(FCloseButtonMode, AValue, pctHard);
}
void TcxCustomTabControlProperties::SetHideTabs(bool AValue) { SetValue(FHideTabs, AValue, pctHard); }
void TcxCustomTabControlProperties::SetHotTrack(bool AValue) { SetValue(FHotTrack, AValue, pctHard); }
void TcxCustomTabControlProperties::SetIsTabsContainer(bool AValue) { SetValue(FIsTabsContainer, AValue, pctHard); }
void TcxCustomTabControlProperties::SetImageBorder(int AValue) {
  if (AValue >= 0) SetValue(FImageBorder, AValue, pctHard);
}
void TcxCustomTabControlProperties::SetMultiLine(bool AValue) { SetValue(FMultiLine, AValue, pctHard); }
void TcxCustomTabControlProperties::SetNavigatorPosition(TcxPCNavigatorPosition AValue) {
  SetValue(FNavigatorPosition, AValue, pctHard);
}
void TcxCustomTabControlProperties::SetOwnerDraw(bool AValue) { SetValue(FOwnerDraw, AValue, pctLight); }
void TcxCustomTabControlProperties::SetRaggedRight(bool AValue) {
  if (FRaggedRight == AValue) return;
  FRaggedRight = AValue;
  if (FMultiLine) NotifyChanged(pctHard);
}
void TcxCustomTabControlProperties::SetRotate(bool AValue) { SetValue(FRotate, AValue, pctHard); }
void TcxCustomTabControlProperties::SetRotatedTabsMaxWidth(int AValue) {
  SetValue(FRotatedTabsMaxWidth, std::max(AValue, 0), pctMedium);
}
void TcxCustomTabControlProperties::SetScrollOpposite(bool AValue) { SetValue(FScrollOpposite, AValue, pctHard); }
void TcxCustomTabControlProperties::SetShowFrame(bool AValue) { SetValue(FShowFrame, AValue, pctHard); }
void TcxCustomTabControlProperties::SetTabCaptionAlignment(TAlignment AValue) {
  SetValue(FTabCaptionAlignment, AValue, pctHard);
}
void TcxCustomTabControlProperties::SetTabPosition(TcxTabPosition AValue) {
  SetValue(FTabPosition, AValue, pctHard);
}
void TcxCustomTabControlProperties::SetTabsScroll(bool AValue) { SetValue(FTabsScroll, AValue, pctHard); }
void TcxCustomTabControlProperties::SetTabHeight(int AValue) {
  SetValue(FTabSize.y, int16_t(AValue), pctHard);
}
void TcxCustomTabControlProperties::SetTabWidth(int AValue) { SetValue(FTabSize.x, int16_t(AValue), pctHard); }

int TcxCustomTabControlProperties::NewButtonMode() const { return FTabs->NewButton()->Visible() ? 1 : 0; }
void TcxCustomTabControlProperties::SetNewButtonMode(int AValue) { FTabs->NewButton()->SetVisible(AValue == 1); }

void TcxCustomTabControlProperties::SetOptions(TcxPCOptions AValue) {
  if (FOptions == AValue) return;
  constexpr TcxPCOptions kHard =
      PCOptions({pcoAlwaysShowGoDialogButton, pcoCloseButton, pcoFixedTabWidthWhenRotated, pcoGoDialog, pcoGradient,
                 pcoGradientClientArea, pcoNoArrows, pcoTopToBottomText});
  constexpr TcxPCOptions kLight = PCOptions({pcoGradient, pcoGradientClientArea, pcoUsePageColorForTab});
  const TcxPCOptions changed = TcxPCOptions(FOptions ^ AValue);
  FOptions = AValue;
  if (changed & kHard)
    NotifyChanged(pctHard);
  else if (changed & kLight)
    NotifyChanged(pctLight);
}

void TcxCustomTabControlProperties::SetStyle(TcxPCStyleID AValue) {
  TcxPCPaintersFactory* factory = PaintersFactory();
  if (!factory || !factory->GetPainterClass(AValue)) AValue = cxPCDefaultStyle;
  if (FStyle == AValue) return;
  FStyle = AValue;
  CallNotifyEventIfAssigned(OnStyleChanged, this);
}

void TcxCustomTabControlProperties::SetTabIndex(int AValue) {
  if (InLoading()) {
    FTabIndex = AValue;
    return;
  }
  if (AValue < -1 || AValue >= FTabs->Count()) return;
  if (AValue >= 0 && RejectsHiddenTabIndex() && !FTabs->Tabs(AValue)->Visible()) AValue = -1;
  if (AValue == FTabIndex || !CanChangeTab()) return;
  for (int i = 0; i < FTabs->Count(); ++i) FTabs->Tabs(i)->FSelected = false;
  FTabIndex = AValue;
  if (IcxTabControl* control = GetOwnerControl()) control->NotifyModified();
  DoChange();
  NotifyChanged(pctHard);
}

void TcxCustomTabControlProperties::Assign(const TPersistent& Source) {
  if (!Source.Is<TcxCustomTabControlProperties>()) return TPersistent::Assign(Source);
  const auto& source = static_cast<const TcxCustomTabControlProperties&>(Source);
  BeginUpdate();
  try {
    SetActivateFocusedTab(source.FActivateFocusedTab);
    SetAllowDisabledTabAccess(source.FAllowDisabledTabAccess);
    FAllowTabDragDrop = source.FAllowTabDragDrop;
    SetCloseButtonMode(source.FCloseButtonMode);
    SetHideTabs(source.FHideTabs);
    SetHotTrack(source.FHotTrack);
    SetImageBorder(source.FImageBorder);
    SetIsTabsContainer(source.FIsTabsContainer);
    SetMultiLine(source.FMultiLine);
    SetNavigatorPosition(source.FNavigatorPosition);
    SetNewButtonMode(source.NewButtonMode());
    SetOptions(source.FOptions);
    SetOwnerDraw(source.FOwnerDraw);
    SetRaggedRight(source.FRaggedRight);
    SetRotate(source.FRotate);
    SetRotatedTabsMaxWidth(source.FRotatedTabsMaxWidth);
    SetScrollOpposite(source.FScrollOpposite);
    SetShowFrame(source.FShowFrame);
    SetStyle(source.FStyle);
    SetTabCaptionAlignment(source.FTabCaptionAlignment);
    SetTabHeight(source.FTabSize.y);
    SetTabIndex(source.FTabIndex);
    SetTabPosition(source.FTabPosition);
    FTabSlants->Assign(*source.FTabSlants);
    SetTabsScroll(source.FTabsScroll);
    SetTabWidth(source.FTabSize.x);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TcxPCNavigatorButtons TcxCustomTabControlProperties::CalcNavigatorButtons(bool AAllTabsFit) const {
  if (FMultiLine) return 0;
  TcxPCNavigatorButtons result = 0;
  if (HasOption(FOptions, pcoCloseButton)) result |= NavButtons({nbClose});
  if (!AAllTabsFit && !HasOption(FOptions, pcoNoArrows)) result |= NavButtons({nbTopLeft, nbBottomRight});
  if (HasOption(FOptions, pcoGoDialog) && (!AAllTabsFit || HasOption(FOptions, pcoAlwaysShowGoDialogButton)))
    result |= NavButtons({nbGoDialog});
  return result;
}

void TcxCustomTabControlProperties::NewTabButtonClick() {
  if (DoNewTabButtonClick()) return;
  const int index = AddNewTab();
  SetTabIndex(index);
  DoNewTabCreate(index);
}

int TcxCustomTabControlProperties::GetTabImageIndex(const TcxTab* ATab) const {
  int index = ATab->FImageIndex;
  if (OnGetImageIndex) OnGetImageIndex(const_cast<TcxCustomTabControlProperties*>(this), ATab->Index(), index);
  if (IsImageIndexValid(FImages->BaseImages(), index)) return index;
  if (IsImageIndexValid(FImages->BaseHotImages(), index)) return index;
  return -1;
}

bool TcxCustomTabControlProperties::PaintDragImage(TcxDragImage& AForm) {
  TBitmap bitmap;
  bool done = false;
  if (OnPaintDragImage) OnPaintDragImage(this, bitmap, done);
  if (!done && !FDragImage->Empty()) {
    bitmap.Assign(*FDragImage);
    done = true;
  }
  if (done) {
    AForm.SetBounds(0, 0, bitmap.Width(), bitmap.Height());
    AForm.SetTransparentColor(bitmap.TransparentColor());
    AForm.SetTransparent(true);
    TcxCanvas& canvas = GetDragImageCanvas(AForm);
    const RECT client = AForm.ClientRect();
    canvas.SetCopyMode(SRCCOPY);
    canvas.Canvas()->CopyRect(client, bitmap.Canvas(), {0, 0, bitmap.Width(), bitmap.Height()});
  }
  return done;
}

void TcxCustomTabControlProperties::DoPrepareTabCanvasFont(TcxTab* ATab, TcxCanvas& ACanvas) {
  if (OnPrepareTabCanvasFont) OnPrepareTabCanvasFont(ATab, ACanvas);
}

void TcxCustomTabControlProperties::CloseActiveTab() { CloseTab(FTabIndex); }

void TcxCustomTabControlProperties::CloseTab(int AIndex) {
  if (CanCloseTab(AIndex)) DeleteTab(AIndex);
}

int TcxCustomTabControlProperties::AddNewTab() { return FTabs->Add(WideString()); }

bool TcxCustomTabControlProperties::CanCloseTab(int AIndex) {
  bool canClose = true;
  if (OnCanClose) OnCanClose(this, AIndex, canClose);
  return canClose;
}

void TcxCustomTabControlProperties::DoTabClosed(int AIndex) {
  if (OnClose) OnClose(this, AIndex);
}

void TcxCustomTabControlProperties::DeleteTab(int AIndex) {
  BeginUpdate();
  try {
    TcxTab* active = FTabIndex != -1 && FTabIndex != AIndex && FTabIndex < FTabs->Count() ? FTabs->Tabs(FTabIndex)
                                                                                           : nullptr;
    FTabs->Delete(AIndex);
    if (active) SetTabIndex(active->Index());
    DoTabClosed(AIndex);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  DoChange();
}

void TcxCustomTabControlProperties::DoCloseButtonClick(int AIndex) { CloseTab(AIndex); }

bool TcxCustomTabControlProperties::DoNewTabButtonClick() {
  bool handled = false;
  if (OnNewTabButtonClick) OnNewTabButtonClick(this, handled);
  return handled;
}

void TcxCustomTabControlProperties::DoNewTabCreate(int AIndex) {
  if (OnNewTabCreate) OnNewTabCreate(this, AIndex);
}

void TcxCustomTabControlProperties::DoTabClick(int AVisibleIndex, TShiftState AShift) {
  if (OnTabClick) OnTabClick(this, AVisibleIndex, AShift);
}

void TcxCustomTabControlProperties::MoveTab(int AFrom, int ATo) { FTabs->Move(AFrom, ATo); }

void TcxCustomTabControlProperties::DoDrawTabEx(int AVisibleIndex, TFont& AFont) {
  if (OnDrawTabEx) OnDrawTabEx(this, FTabs->GetTabByVisibleIndex(AVisibleIndex), AFont);
}

void TcxCustomTabControlProperties::ImagesChanged(TObject* Sender) {
  (void)Sender;
  NotifyChanged(pctHard);
}

void TcxCustomTabControlProperties::TabSlantsChanged() { NotifyChanged(pctHard); }

bool TcxCustomTabControlProperties::CanChangeTab() {
  bool allow = true;
  if (!IsUpdateLocked() && OnChanging) OnChanging(this, allow);
  return allow;
}

void TcxCustomTabControlProperties::DoChange() {
  if (!IsUpdateLocked()) CallNotifyEventIfAssigned(OnChange, this);
}

bool TcxCustomTabControlProperties::CustomDrawTab(int AVisibleIndex) {
  if (!FOwnerDraw || !OnDrawTab) return false;
  bool defaultDraw = true;
  OnDrawTab(this, FTabs->GetTabByVisibleIndex(AVisibleIndex), defaultDraw);
  return !defaultDraw;
}

// ---- Names and the unit

namespace {
std::vector<WideString> gPCOptionNames;
std::vector<WideString> gPCStandardStyleNames;
}  // namespace

const std::vector<WideString>& PCOptionNames() { return gPCOptionNames; }
const std::vector<WideString>& PCStandardStyleNames() { return gPCStandardStyleNames; }

void cxPCUnitStart() {
  gPCOptionNames = {L"AlwaysShowGoDialogButton", L"CloseButton", L"FixedTabWidthWhenRotated", L"GoDialog",
                    L"Gradient", L"GradientClientArea", L"NoArrows", L"RedrawOnResize", L"Sort", L"TopToBottomText",
                    L"UsePageColorForTab"};
  gPCStandardStyleNames = {L"tsTabs", L"tsButtons", L"tsFlatButtons"};
}

void cxPCUnitStop() {
  gPCOptionNames.clear();
  gPCStandardStyleNames.clear();
}

}  // namespace tvk
