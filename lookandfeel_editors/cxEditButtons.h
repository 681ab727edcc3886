#pragma once
// Editor buttons: the description of a button at either end of an editor's
// frame (a drop-down arrow, an ellipsis, a glyph or a text) and the
// collection an editor's properties own, whose changes reach the properties
// through OnChange.
#include "ActnList.h"
#include "Collections.h"
#include "Graphics.h"
#include "cxContainer.h"

#include <memory>

namespace tvk {

enum TcxEditButtonKind { bkEllipsis, bkDown, bkGlyph, bkText };
// Sender, the button's index in the collection.
using TcxEditButtonClickEvent = std::function<void(TObject*, int)>;

class TcxCustomEditButton;

// A button's tie to an action: the action's caption, enabled state, hint,
// image index and visibility reach the button while the button still shows
// the action's value.
class TcxEditButtonActionLink : public TActionLink {
public:
  TVK_CLASS(TcxEditButtonActionLink, TActionLink)
  // AClient must be an edit button (else the invalid-cast error).
  explicit TcxEditButtonActionLink(TObject* AClient);
  TcxCustomEditButton* Client() const { return FClient; }
  void Change() override;
  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsImageIndexLinked() override;
  bool IsVisibleLinked() override;
  void SetCaption(const WideString& AValue) override;
  void SetEnabled(bool AValue) override;
  void SetHint(const WideString& AValue) override;
  void SetImageIndex(int AValue) override;
  void SetVisible(bool AValue) override;
  // Always true; with hint shortcuts on, a non-empty hint of an action with
  // a shortcut becomes "hint (shortcut)".
  virtual bool PrepareHint(WideString& HintStr);
  TNotifyEvent OnChange;

private:
  TcxCustomEditButton* FClient;
};

struct TcxEditButtonActionLinkClassRef {
  TClass Info;
  std::unique_ptr<TcxEditButtonActionLink> (*Create)(TObject* AClient);
};
using TcxEditButtonActionLinkClass = const TcxEditButtonActionLinkClassRef*;
template <class T>
TcxEditButtonActionLinkClass EditButtonActionLinkClassOf() {
  static const TcxEditButtonActionLinkClassRef ref{
      &T::StaticClassInfo(),
      [](TObject* AClient) -> std::unique_ptr<TcxEditButtonActionLink> { return std::make_unique<T>(AClient); }};
  return &ref;
}

class TcxCustomEditButton : public TCollectionItem {
public:
  TVK_CLASS(TcxCustomEditButton, TCollectionItem)
  // The collection must be given; the construction is one change of it.
  explicit TcxCustomEditButton(TCollection* ACollection);
  ~TcxCustomEditButton() override;

  void Assign(const TPersistent& Source) override;

  // The bound action (null when none); a new one passes its values on.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* AValue);
  TcxEditButtonActionLink* ActionLink() const { return FActionLink.get(); }
  virtual TcxEditButtonActionLinkClass ActionLinkClass() const;
  // Lets the bound action update itself (and so the button).
  virtual void UpdateFromAction();
  // Unbinds AComponent when it is the bound action.
  virtual void ComponentFreed(TComponent* AComponent);
  // Storage rules of the published form.
  bool IsCaptionStored() const { return !(FActionLink && FActionLink->IsCaptionLinked()); }
  bool IsEnabledStored() const { return !(FActionLink && FActionLink->IsEnabledLinked()) && !FEnabled; }
  bool IsHintStored() const { return !(FActionLink && FActionLink->IsHintLinked()); }
  bool IsImageIndexStored() const { return !(FActionLink && FActionLink->IsImageIndexLinked()) && FImageIndex != -1; }
  bool IsVisibleStored() const { return !(FActionLink && FActionLink->IsVisibleLinked()) && !FVisible; }

  const WideString& Caption() const { return FCaption; }
  void SetCaption(const WideString& AValue);
  TAlignment ContentAlignment() const { return FContentAlignment; }
  void SetContentAlignment(TAlignment AValue);
  bool Default() const { return FDefault; }
  // True clears every other button's Default, without notices.
  void SetDefault(bool AValue);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool AValue);
  // Made empty on the first read; a change in place is reported.
  TBitmap* Glyph();
  // Null frees the glyph; else it is copied. Always reported.
  void SetGlyph(const TBitmap* AValue);
  bool HasGlyph() const { return FGlyph != nullptr; }
  const WideString& Hint() const { return FHint; }
  void SetHint(const WideString& AValue) { FHint = AValue; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int AValue);
  TcxEditButtonKind Kind() const { return FKind; }
  void SetKind(TcxEditButtonKind AValue);
  bool LeftAlignment() const { return FLeftAlignment; }
  void SetLeftAlignment(bool AValue);
  bool Stretchable() const { return FStretchable; }
  void SetStretchable(bool AValue);
  int Tag() const { return FTag; }
  void SetTag(int AValue) { FTag = AValue; }
  TColor TextColor() const { return FTextColor; }
  void SetTextColor(TColor AValue);
  bool Visible() const { return FVisible; }
  void SetVisible(bool AValue);
  // The caption as drawn: without its accelerator prefixes.
  const WideString& VisibleCaption() const { return FVisibleCaption; }
  int Width() const { return FWidth; }
  // Ignored for a negative value.
  void SetWidth(int AValue);

protected:
  // With ACheckDefaults (the action is loading) only the values still at
  // their defaults are taken.
  virtual void ApplyActionValues(TBasicAction* AAction, bool ACheckDefaults);

private:
  friend class TcxEditButtonActionLink;
  template <class T>
  void SetField(T& AField, const T& AValue);
  void GlyphChanged(TObject*) { Changed(false); }
  void ActionValuesChanged(TObject* Sender);
  void BindAction(TBasicAction* AValue, bool AWithdraw);

  std::unique_ptr<TcxEditButtonActionLink> FActionLink;
  // The action the link was made for: still known while the action goes.
  TBasicAction* FBoundAction = nullptr;
  WideString FCaption;
  TAlignment FContentAlignment = TAlignment::taCenter;
  bool FDefault = false;
  bool FEnabled = true;
  std::unique_ptr<TBitmap> FGlyph;
  WideString FHint;
  int FImageIndex = -1;
  TcxEditButtonKind FKind = bkDown;
  bool FLeftAlignment = false;
  bool FStretchable = true;
  int FTag = 0;
  TColor FTextColor = clBtnText;
  bool FVisible = true;
  WideString FVisibleCaption;
  int FWidth = 0;
};

class TcxEditButton : public TcxCustomEditButton {
public:
  TVK_CLASS(TcxEditButton, TcxCustomEditButton)
  using TcxCustomEditButton::TcxCustomEditButton;
};

class TcxCustomEditButtons : public TCollection {
public:
  TVK_CLASS(TcxCustomEditButtons, TCollection)
  TcxCustomEditButtons(TPersistent* AOwner, TCollectionItemClass AButtonClass);
  ~TcxCustomEditButtons() override;
  TPersistent* GetOwner() const override { return FOwner; }
  // Every button, in index order.
  virtual void UpdateFromActions();
  virtual void ComponentFreed(TComponent* Sender);
  // The free notification of AAction is asked for with its first button and
  // withdrawn with its last.
  void AddActionSender(TBasicAction* AAction);
  // AWithdraw false: the action is going and ends the notification itself.
  void RemoveActionSender(TBasicAction* AAction, bool AWithdraw = true);
  int VisibleCount() const;
  TcxCustomEditButton* Button(int AIndex) const { return static_cast<TcxCustomEditButton*>(Items(AIndex)); }
  TNotifyEvent OnChange;

protected:
  void Update(TCollectionItem* AItem) override;

private:
  std::unique_ptr<TcxFreeNotificator> FFreeNotificator;
  TPersistent* FOwner;
  std::vector<std::pair<TBasicAction*, int>> FActionCounts;
};

class TcxEditButtons : public TcxCustomEditButtons {
public:
  TVK_CLASS(TcxEditButtons, TcxCustomEditButtons)
  explicit TcxEditButtons(TPersistent* AOwner) : TcxCustomEditButtons(AOwner, CollectionItemClassOf<TcxEditButton>()) {}
  // A new button, appended: one change.
  TcxEditButton* Add();
  TcxEditButton* Items(int AIndex) const { return static_cast<TcxEditButton*>(TCollection::Items(AIndex)); }
};

}  // namespace tvk
