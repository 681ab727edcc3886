#include "cxEditButtons.h"

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

TcxCustomEditButton::~TcxCustomEditButton() = default;

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
    : TCollection(AButtonClass), FOwner(AOwner) {}

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
