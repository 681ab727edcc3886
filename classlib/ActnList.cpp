#include "ActnList.h"

#include <algorithm>

namespace tvk {

// ---- TBasicActionLink

TBasicActionLink::~TBasicActionLink() { SetAction(nullptr); }

void TBasicActionLink::SetAction(TBasicAction* action) {
  if (action == FAction) return;
  if (FAction) std::erase(FAction->FClients, this);
  FAction = action;
  if (FAction) FAction->FClients.push_back(this);
}

bool TBasicActionLink::Execute(TComponent* component) {
  if (!FAction) return false;
  FAction->SetActionComponent(component);
  struct TReset {
    TBasicAction* Action;
    ~TReset() { Action->SetActionComponent(nullptr); }
  } reset{FAction};
  return FAction->Execute();
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

// ---- TBasicAction

TBasicAction::~TBasicAction() {
  // Clients forget the action before it goes.
  while (!FClients.empty()) FClients.back()->SetAction(nullptr);
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::Change() {
  // A copy: a client may leave while it is told.
  auto clients = FClients;
  for (TBasicActionLink* link : clients)
    if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
}

// ---- TCustomAction

namespace {

// Calls F on every action link of Action. Links hear a new value while the
// action still holds the old one, so that they can tell whether they follow it.
template <class F>
void ForEachControlLink(TBasicAction& action, F&& f) {
  auto clients = action.Clients();
  for (TBasicActionLink* link : clients)
    if (auto* c = dynamic_cast<TActionLink*>(link)) f(*c);
}

}  // namespace

TCustomAction::~TCustomAction() { SetActionList(nullptr); }

void TCustomAction::SetCaption(const WideString& value) {
  if (value == FCaption) return;
  ForEachControlLink(*this, [&](TActionLink& l) { l.SetCaption(value); });
  FCaption = value;
  Change();
}

void TCustomAction::SetChecked(bool value) {
  if (value == FChecked) return;
  ForEachControlLink(*this, [&](TActionLink& l) { l.SetChecked(value); });
  FChecked = value;
  // One checked action per group of a list.
  if (value && FGroupIndex > 0 && FActionList)
    for (TCustomAction* a : std::vector<TCustomAction*>(FActionList->FActions))
      if (a != this && a->FGroupIndex == FGroupIndex) a->SetChecked(false);
  Change();
}

void TCustomAction::SetEnabled(bool value) {
  if (value == FEnabled) return;
  ForEachControlLink(*this, [&](TActionLink& l) { l.SetEnabled(value); });
  FEnabled = value;
  Change();
}

void TCustomAction::SetGroupIndex(int value) {
  if (value == FGroupIndex) return;
  ForEachControlLink(*this, [&](TActionLink& l) { l.SetGroupIndex(value); });
  FGroupIndex = value;
  Change();
}

void TCustomAction::SetHint(const WideString& value) {
  if (value == FHint) return;
  ForEachControlLink(*this, [&](TActionLink& l) { l.SetHint(value); });
  FHint = value;
  Change();
}

void TCustomAction::SetImageIndex(int value) {
  if (value == FImageIndex) return;
  ForEachControlLink(*this, [&](TActionLink& l) { l.SetImageIndex(value); });
  FImageIndex = value;
  Change();
}

void TCustomAction::SetVisible(bool value) {
  if (value == FVisible) return;
  ForEachControlLink(*this, [&](TActionLink& l) { l.SetVisible(value); });
  FVisible = value;
  Change();
}

void TCustomAction::SetShortCut(TShortCut value) {
  if (value == FShortCut) return;
  ForEachControlLink(*this, [&](TActionLink& l) { l.SetShortCut(value); });
  FShortCut = value;
  Change();
}

bool TCustomAction::DoHint(WideString& hintStr) {
  bool canShow = true;
  if (OnHint) OnHint(hintStr, canShow);
  return canShow;
}

void TCustomAction::SetActionList(TActionList* list) {
  if (list == FActionList) return;
  if (FActionList) std::erase(FActionList->FActions, this);
  FActionList = list;
  if (FActionList) FActionList->FActions.push_back(this);
}

// ---- TActionList

TActionList::~TActionList() {
  while (!FActions.empty()) FActions.back()->SetActionList(nullptr);
  SetImages(nullptr);
}

void TActionList::SetImages(TCustomImageList* images) {
  if (images == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = images;
  if (FImages) FImages->FreeNotification(this);
  for (TCustomAction* a : std::vector<TCustomAction*>(FActions)) a->Change();
}

void TActionList::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FImages) FImages = nullptr;
}

// ---- TControlActionLink

TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(Action()); }

void TControlActionLink::Change() {
  if (FClient && Action()) FClient->ActionChange(Action(), false);
}

bool TControlActionLink::IsCaptionLinked() { return FClient && CustomAction() && FClient->Caption() == CustomAction()->Caption(); }
bool TControlActionLink::IsEnabledLinked() { return FClient && CustomAction() && FClient->Enabled() == CustomAction()->Enabled(); }
bool TControlActionLink::IsHintLinked() { return FClient && CustomAction() && FClient->Hint() == CustomAction()->Hint(); }
bool TControlActionLink::IsVisibleLinked() { return FClient && CustomAction() && FClient->Visible() == CustomAction()->Visible(); }

void TControlActionLink::SetCaption(const WideString& value) {
  if (FClient) FClient->SetCaption(value);
}
void TControlActionLink::SetEnabled(bool value) {
  if (FClient) FClient->SetEnabled(value);
}
void TControlActionLink::SetHint(const WideString& value) {
  if (FClient) FClient->SetHint(value);
}
void TControlActionLink::SetVisible(bool value) {
  if (FClient) FClient->SetVisible(value);
}

}  // namespace tvk
