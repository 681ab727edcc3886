#pragma once
// Actions: a command with a caption, state and handler that controls and
// menu items follow through links; action lists that group them and lend
// them an image list.
#include "Controls.h"
#include "ImageLists.h"
#include "Menus.h"

#include <vector>

namespace tvk {

class TBasicAction;

// A client's tie to an action: told when the action changes.
class TBasicActionLink : public TObject {
public:
  TVK_CLASS(TBasicActionLink, TObject)
  TBasicActionLink() = default;
  ~TBasicActionLink() override;
  TBasicAction* Action() const { return FAction; }
  void SetAction(TBasicAction* action);
  // Runs the action for Component; false without one.
  virtual bool Execute(TComponent* component);
  // Lets the action update itself (its OnUpdate); false without one.
  virtual bool Update();
  // The action changed as a whole.
  virtual void Change() {}

private:
  TBasicAction* FAction = nullptr;
};

class TBasicAction : public TComponent {
public:
  TVK_CLASS(TBasicAction, TComponent)
  explicit TBasicAction(TComponent* owner) : TComponent(owner) {}
  ~TBasicAction() override;
  // Fires OnExecute; false when it has none.
  virtual bool Execute();
  TNotifyEvent OnExecute;
  // Fires OnUpdate (which may change the action's values); false when it has none.
  virtual bool Update();
  TNotifyEvent OnUpdate;
  // The component that executes it now (set while a client's link runs it).
  TComponent* ActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* component) { FActionComponent = component; }
  const std::vector<TBasicActionLink*>& Clients() const { return FClients; }
  // Tells every client link that the action changed.
  void Change();

private:
  friend class TBasicActionLink;
  std::vector<TBasicActionLink*> FClients;
  TComponent* FActionComponent = nullptr;
};

class TActionList;

// An action with the state its clients show: caption, checked, enabled,
// hint, visibility, a group of mutually exclusive checked actions and an
// image of its list's image list.
class TCustomAction : public TBasicAction {
public:
  TVK_CLASS(TCustomAction, TBasicAction)
  explicit TCustomAction(TComponent* owner) : TBasicAction(owner) {}
  ~TCustomAction() override;

  const WideString& Caption() const { return FCaption; }
  void SetCaption(const WideString& value);
  bool Checked() const { return FChecked; }
  // Checking one action of a group (GroupIndex > 0) unchecks the others of its list.
  void SetChecked(bool value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int value);
  const WideString& Hint() const { return FHint; }
  void SetHint(const WideString& value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut value);
  // The hint about to be shown: OnHint may change it and answers whether to show it.
  virtual bool DoHint(WideString& hintStr);
  std::function<void(WideString& hintStr, bool& canShow)> OnHint;

  TActionList* ActionList() const { return FActionList; }
  void SetActionList(TActionList* list);

private:
  WideString FCaption, FHint;
  bool FChecked = false, FEnabled = true, FVisible = true;
  int FGroupIndex = 0, FImageIndex = -1;
  TShortCut FShortCut = 0;
  TActionList* FActionList = nullptr;
};

class TAction : public TCustomAction {
public:
  TVK_CLASS(TAction, TCustomAction)
  using TCustomAction::TCustomAction;
};

class TActionList : public TComponent {
public:
  TVK_CLASS(TActionList, TComponent)
  explicit TActionList(TComponent* owner) : TComponent(owner) {}
  ~TActionList() override;
  // The image list whose pictures the actions' image indexes name (not owned).
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* images);
  int ActionCount() const { return int(FActions.size()); }
  TCustomAction* Actions(int index) const { return FActions.at(std::size_t(index)); }

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TCustomAction;
  std::vector<TCustomAction*> FActions;
  TCustomImageList* FImages = nullptr;
};

// A client's link to a custom action: the action hands each new value to
// the link's setter (while it still holds the old one, so that the link can
// tell whether its client followed it). Here every value of a custom action
// counts as linked and the setters do nothing; clients' links refine both.
class TActionLink : public TBasicActionLink {
public:
  TVK_CLASS(TActionLink, TBasicActionLink)
  virtual bool IsCaptionLinked() { return CustomAction() != nullptr; }
  virtual bool IsCheckedLinked() { return CustomAction() != nullptr; }
  virtual bool IsEnabledLinked() { return CustomAction() != nullptr; }
  virtual bool IsGroupIndexLinked() { return CustomAction() != nullptr; }
  virtual bool IsHintLinked() { return CustomAction() != nullptr; }
  virtual bool IsImageIndexLinked() { return CustomAction() != nullptr; }
  virtual bool IsShortCutLinked() { return CustomAction() != nullptr; }
  virtual bool IsVisibleLinked() { return CustomAction() != nullptr; }
  virtual void SetCaption(const WideString&) {}
  virtual void SetChecked(bool) {}
  virtual void SetEnabled(bool) {}
  virtual void SetGroupIndex(int) {}
  virtual void SetHint(const WideString&) {}
  virtual void SetImageIndex(int) {}
  virtual void SetShortCut(TShortCut) {}
  virtual void SetVisible(bool) {}

protected:
  TCustomAction* CustomAction() const;
};

// A control's link: the control's caption, state and click follow the action.
class TControlActionLink : public TActionLink {
public:
  TVK_CLASS(TControlActionLink, TActionLink)
  explicit TControlActionLink(TControl* client) { AssignClient(client); }
  TControl* Client() const { return FClient; }
  void Change() override;
  // What of the client follows the action: each setter below acts only when linked.
  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsVisibleLinked() override;
  void SetCaption(const WideString& value) override;
  void SetEnabled(bool value) override;
  void SetHint(const WideString& value) override;
  void SetVisible(bool value) override;

protected:
  virtual void AssignClient(TControl* client) { FClient = client; }

private:
  TControl* FClient = nullptr;
};

}  // namespace tvk
