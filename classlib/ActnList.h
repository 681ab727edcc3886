#pragma once
// Actions: a command with a caption, state and handler that controls and
// menu items follow through links; action lists that group them and lend
// them an image list.
#include "Controls.h"
#include "ImageLists.h"

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

  TActionList* ActionList() const { return FActionList; }
  void SetActionList(TActionList* list);

private:
  WideString FCaption, FHint;
  bool FChecked = false, FEnabled = true, FVisible = true;
  int FGroupIndex = 0, FImageIndex = -1;
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

// A control's link: the control's caption, state and click follow the action.
class TControlActionLink : public TBasicActionLink {
public:
  TVK_CLASS(TControlActionLink, TBasicActionLink)
  explicit TControlActionLink(TControl* client) { AssignClient(client); }
  TControl* Client() const { return FClient; }
  void Change() override;
  // What of the client follows the action: each setter below acts only when linked.
  virtual bool IsCaptionLinked();
  virtual bool IsCheckedLinked();
  virtual bool IsEnabledLinked();
  virtual bool IsGroupIndexLinked();
  virtual bool IsHintLinked();
  virtual bool IsImageIndexLinked();
  virtual bool IsVisibleLinked();
  virtual void SetCaption(const WideString& value);
  virtual void SetChecked(bool value);
  virtual void SetEnabled(bool value);
  virtual void SetGroupIndex(int value);
  virtual void SetHint(const WideString& value);
  virtual void SetImageIndex(int value);
  virtual void SetVisible(bool value);

protected:
  virtual void AssignClient(TControl* client) { FClient = client; }
  TCustomAction* CustomAction() const;

private:
  TControl* FClient = nullptr;
};

}  // namespace tvk
