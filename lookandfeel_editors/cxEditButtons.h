#pragma once
// Editor buttons: the description of a button at either end of an editor's
// frame (a drop-down arrow, an ellipsis, a glyph or a text) and the
// collection an editor's properties own, whose changes reach the properties
// through OnChange.
#include "Collections.h"
#include "Graphics.h"
#include "cxContainer.h"

#include <memory>

namespace tvk {

enum TcxEditButtonKind { bkEllipsis, bkDown, bkGlyph, bkText };
// Sender, the button's index in the collection.
using TcxEditButtonClickEvent = std::function<void(TObject*, int)>;

class TcxCustomEditButton : public TCollectionItem {
public:
  TVK_CLASS(TcxCustomEditButton, TCollectionItem)
  // The collection must be given; the construction is one change of it.
  explicit TcxCustomEditButton(TCollection* ACollection);
  ~TcxCustomEditButton() override;

  void Assign(const TPersistent& Source) override;

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

private:
  template <class T>
  void SetField(T& AField, const T& AValue);
  void GlyphChanged(TObject*) { Changed(false); }

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
  TPersistent* GetOwner() const override { return FOwner; }
  int VisibleCount() const;
  TcxCustomEditButton* Button(int AIndex) const { return static_cast<TcxCustomEditButton*>(Items(AIndex)); }
  TNotifyEvent OnChange;

protected:
  void Update(TCollectionItem* AItem) override;

private:
  TPersistent* FOwner;
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
