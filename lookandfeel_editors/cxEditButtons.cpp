#include "cxEditButtons.h"

#include "Application.h"
#include "cxControls.h"

namespace tvk {

namespace {

// Opens a collection's update bracket for a scope (none without a collection).
class TCollectionUpdate {
public:
  explicit TCollectionUpdate(TCollection* ACollection) : FCollection(ACollection) {
    if (FCollection) FCollection->BeginUpdate();
  }
  ~TCollectionUpdate() {
    if (FCollection) FCollection->EndUpdate();
  }
  TCollectionUpdate(const TCollectionUpdate&) = delete;
  TCollectionUpdate& operator=(const TCollectionUpdate&) = delete;

private:
  TCollection* FCollection;
};

}  // namespace

// ---- TcxCustomEditButton

TcxCustomEditButton::TcxCustomEditButton(TCollection* ACollection) : TCollectionItem(ACollection) {
  // Joining the collection told nothing: closing the bracket tells of the
  // whole button once.
  TCollectionUpdate update(ACollection);
}

TcxCustomEditButton::~TcxCustomEditButton() { SetAction(nullptr); }

// ---- The action link

TcxEditButtonActionLink::TcxEditButtonActionLink(TObject* AClient)
    : FClient(dynamic_cast<TcxCustomEditButton*>(AClient)) {
  if (!FClient) InvalidCastError();
}

void TcxEditButtonActionLink::Change() {
  if (OnChange) OnChange(Action());
}

bool TcxEditButtonActionLink::IsCaptionLinked() {
  return TActionLink::IsCaptionLinked() && FClient->Caption() == CustomAction()->Caption();
}
bool TcxEditButtonActionLink::IsEnabledLinked() {
  return TActionLink::IsEnabledLinked() && FClient->Enabled() == CustomAction()->Enabled();
}
bool TcxEditButtonActionLink::IsHintLinked() {
  return TActionLink::IsHintLinked() && FClient->Hint() == CustomAction()->Hint();
}
bool TcxEditButtonActionLink::IsImageIndexLinked() {
  return TActionLink::IsImageIndexLinked() && FClient->ImageIndex() == CustomAction()->ImageIndex();
}
bool TcxEditButtonActionLink::IsVisibleLinked() {
  return TActionLink::IsVisibleLinked() && FClient->Visible() == CustomAction()->Visible();
}

void TcxEditButtonActionLink::SetCaption(const WideString& AValue) {
  if (IsCaptionLinked()) FClient->SetCaption(AValue);
}
void TcxEditButtonActionLink::SetEnabled(bool AValue) {
  if (IsEnabledLinked()) FClient->SetEnabled(AValue);
}
void TcxEditButtonActionLink::SetHint(const WideString& AValue) {
  if (IsHintLinked()) FClient->FHint = AValue;
}
void TcxEditButtonActionLink::SetImageIndex(int AValue) {
  if (IsImageIndexLinked()) FClient->SetImageIndex(AValue);
}
void TcxEditButtonActionLink::SetVisible(bool AValue) {
  if (IsVisibleLinked()) FClient->SetVisible(AValue);
}

bool TcxEditButtonActionLink::PrepareHint(WideString& HintStr) {
  TCustomAction* action = CustomAction();
  if (action && action->DoHint(HintStr) && Application().HintShortCuts() && action->ShortCut() != 0 &&
      !HintStr.empty())
    HintStr = HintStr + L" (" + ShortCutToText(action->ShortCut()) + L")";
  return true;
}

// ---- Binding actions

TBasicAction* TcxCustomEditButton::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

TcxEditButtonActionLinkClass TcxCustomEditButton::ActionLinkClass() const {
  return EditButtonActionLinkClassOf<TcxEditButtonActionLink>();
}

void TcxCustomEditButton::SetAction(TBasicAction* AValue) { BindAction(AValue, true); }

void TcxCustomEditButton::BindAction(TBasicAction* AValue, bool AWithdraw) {
  if (AValue == Action() && AValue == FBoundAction) return;
  auto* buttons = dynamic_cast<TcxCustomEditButtons*>(Collection());
  if (FActionLink) {
    if (buttons && FBoundAction) buttons->RemoveActionSender(FBoundAction, AWithdraw);
    FActionLink.reset();
    FBoundAction = nullptr;
  }
  if (!AValue) return;
  FActionLink = ActionLinkClass()->Create(this);
  FActionLink->SetAction(AValue);
  FBoundAction = AValue;
  FActionLink->OnChange = [this](TObject* ASender) { ActionValuesChanged(ASender); };
  ApplyActionValues(AValue, AValue->Loading());
  if (buttons) buttons->AddActionSender(AValue);
}

void TcxCustomEditButton::ActionValuesChanged(TObject* Sender) {
  if (Sender && Sender == Action()) ApplyActionValues(static_cast<TBasicAction*>(Sender), false);
}

void TcxCustomEditButton::ApplyActionValues(TBasicAction* AAction, bool ACheckDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(AAction);
  if (!action) return;
  if (!ACheckDefaults || FCaption.empty()) SetCaption(action->Caption());
  if (!ACheckDefaults || FEnabled) SetEnabled(action->Enabled());
  if (!ACheckDefaults || FHint.empty()) FHint = action->Hint();
  if (!ACheckDefaults || FVisible) SetVisible(action->Visible());
  if (!ACheckDefaults || FImageIndex == -1) SetImageIndex(action->ImageIndex());
}

void TcxCustomEditButton::UpdateFromAction() {
  if (FActionLink) FActionLink->Update();
}

void TcxCustomEditButton::ComponentFreed(TComponent* AComponent) {
  // The action has already let go of its links: the button remembers it.
  if (AComponent && AComponent == FBoundAction) BindAction(nullptr, false);
}

template <class T>
void TcxCustomEditButton::SetField(T& AField, const T& AValue) {
  if (AField == AValue) return;
  AField = AValue;
  Changed(false);
}

void TcxCustomEditButton::SetCaption(const WideString& AValue) {
  if (FCaption == AValue) return;
  FCaption = AValue;
  FVisibleCaption = RemoveAcceleratorPrefixes(AValue, true);
  Changed(false);
}

void TcxCustomEditButton::SetContentAlignment(TAlignment AValue) { SetField(FContentAlignment, AValue); }
void TcxCustomEditButton::SetEnabled(bool AValue) { SetField(FEnabled, AValue); }
void TcxCustomEditButton::SetImageIndex(int AValue) { SetField(FImageIndex, AValue); }
void TcxCustomEditButton::SetKind(TcxEditButtonKind AValue) { SetField(FKind, AValue); }
void TcxCustomEditButton::SetLeftAlignment(bool AValue) { SetField(FLeftAlignment, AValue); }
void TcxCustomEditButton::SetStretchable(bool AValue) { SetField(FStretchable, AValue); }
void TcxCustomEditButton::SetTextColor(TColor AValue) { SetField(FTextColor, AValue); }
void TcxCustomEditButton::SetVisible(bool AValue) { SetField(FVisible, AValue); }

void TcxCustomEditButton::SetWidth(int AValue) {
  if (AValue < 0 || FWidth < 0) return;
  SetField(FWidth, AValue);
}

void TcxCustomEditButton::SetDefault(bool AValue) {
  if (FDefault == AValue) return;
  if (AValue && Collection())
    for (int i = 0; i < Collection()->Count(); ++i) static_cast<TcxCustomEditButton*>(Collection()->Items(i))->FDefault = false;
  FDefault = AValue;
  Changed(true);
}

TBitmap* TcxCustomEditButton::Glyph() {
  if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
  FGlyph->OnChange = [this](TObject* ASender) { GlyphChanged(ASender); };
  return FGlyph.get();
}

void TcxCustomEditButton::SetGlyph(const TBitmap* AValue) {
  if (AValue)
    Glyph()->Assign(*AValue);
  else
    FGlyph.reset();
  Changed(false);
}

void TcxCustomEditButton::Assign(const TPersistent& Source) {
  auto* source = const_cast<TcxCustomEditButton*>(dynamic_cast<const TcxCustomEditButton*>(&Source));
  if (!source) {
    TCollectionItem::Assign(Source);
    return;
  }
  TCollectionUpdate update(Collection());
  SetCaption(source->FCaption);
  SetAction(source->Action());
  SetImageIndex(source->FImageIndex);
  FVisibleCaption = source->FVisibleCaption;
  SetContentAlignment(source->FContentAlignment);
  SetDefault(source->FDefault);
  SetEnabled(source->FEnabled);
  SetGlyph(source->Glyph());
  SetKind(source->FKind);
  SetLeftAlignment(source->FLeftAlignment);
  SetStretchable(source->FStretchable);
  FTag = source->FTag;
  SetTextColor(source->FTextColor);
  SetVisible(source->FVisible);
  SetWidth(source->FWidth);
  FHint = source->FHint;
}

// ---- The collections

TcxCustomEditButtons::TcxCustomEditButtons(TPersistent* AOwner, TCollectionItemClass AButtonClass)
    : TCollection(AButtonClass), FOwner(AOwner) {
  FFreeNotificator = std::make_unique<TcxFreeNotificator>(nullptr);
  FFreeNotificator->OnFreeNotification = [this](TComponent* AComponent) { ComponentFreed(AComponent); };
}

TcxCustomEditButtons::~TcxCustomEditButtons() {
  // The buttons that go next withdraw nothing.
  FFreeNotificator.reset();
  Clear();
}

void TcxCustomEditButtons::AddActionSender(TBasicAction* AAction) {
  for (auto& entry : FActionCounts)
    if (entry.first == AAction) {
      ++entry.second;
      return;
    }
  FActionCounts.emplace_back(AAction, 1);
  if (FFreeNotificator) FFreeNotificator->AddSender(AAction);
}

void TcxCustomEditButtons::RemoveActionSender(TBasicAction* AAction, bool AWithdraw) {
  for (auto it = FActionCounts.begin(); it != FActionCounts.end(); ++it)
    if (it->first == AAction) {
      if (--it->second > 0) return;
      FActionCounts.erase(it);
      if (FFreeNotificator && AWithdraw) FFreeNotificator->RemoveSender(AAction);
      return;
    }
}

void TcxCustomEditButtons::UpdateFromActions() {
  for (int i = 0; i < Count(); ++i) Button(i)->UpdateFromAction();
}

void TcxCustomEditButtons::ComponentFreed(TComponent* Sender) {
  for (int i = 0; i < Count(); ++i) Button(i)->ComponentFreed(Sender);
}

int TcxCustomEditButtons::VisibleCount() const {
  int count = 0;
  for (int i = 0; i < Count(); ++i) count += Button(i)->Visible() ? 1 : 0;
  return count;
}

void TcxCustomEditButtons::Update(TCollectionItem*) {
  if (OnChange) OnChange(this);
}

TcxEditButton* TcxEditButtons::Add() {
  TCollectionUpdate update(this);
  return static_cast<TcxEditButton*>(TCollection::Add());
}

}  // namespace tvk
