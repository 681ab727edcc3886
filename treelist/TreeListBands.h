#pragma once
// The bands of a banded tree list: blocks of header rows above their
// columns, at most one fixed at each edge. Columns name their band by
// absolute index, so every move of a band renumbers them.
#include "Collections.h"
#include "Controls.h"

namespace tvk {

class TCustomdxTreeListControl;
class TdxTreeListBands;

enum TdxGridBandFixed { bfNone, bfLeft, bfRight };

constexpr int kDefaultBandWidth = 250;
constexpr int kDefaultBandMinWidth = 30;

class TdxTreeListBand : public TCollectionItem {
public:
  TVK_CLASS(TdxTreeListBand, TCollectionItem)
  explicit TdxTreeListBand(TCollection* collection);
  // Leaves its columns without a band and renumbers those of later bands.
  ~TdxTreeListBand() override;

  void Assign(const TPersistent& source) override;
  // The defaults of the layout values (not Caption, Visible, the disable flags); no notice.
  virtual void RestoreDefaults();
  // Moves the band (not while fixed); the columns' band indexes follow.
  virtual void SetIndex(int value);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  const WideString& Caption() const { return FCaption; }
  void SetCaption(const WideString& value);
  bool DisableCustomizing() const { return FDisableCustomizing; }
  void SetDisableCustomizing(bool value);
  bool DisableDragging() const { return FDisableDragging; }
  void SetDisableDragging(bool value) { FDisableDragging = value; }
  TdxGridBandFixed Fixed() const { return FFixed; }
  void SetFixed(TdxGridBandFixed value);
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int value);
  bool OnlyOwnColumns() const { return FOnlyOwnColumns; }
  void SetOnlyOwnColumns(bool value) { FOnlyOwnColumns = value; }
  bool Sizing() const { return FSizing; }
  void SetSizing(bool value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  int Width() const { return FWidth; }
  void SetWidth(int value);

  // Header rows holding a visible column (0 without a control).
  int HeaderRowCount() const;
  // Position among the visible bands, -1 when hidden.
  int VisibleIndex() const;
  TdxTreeListBands* Bands() const;
  TCustomdxTreeListControl* TreeList() const;

private:
  TAlignment FAlignment = TAlignment::taCenter;
  WideString FCaption;
  bool FDisableCustomizing = false;
  bool FDisableDragging = false;
  TdxGridBandFixed FFixed = bfNone;
  int FMinWidth = kDefaultBandMinWidth;
  bool FOnlyOwnColumns = false;
  bool FSizing = true;
  bool FVisible = true;
  int FWidth = kDefaultBandWidth;
  friend class TdxTreeListBands;
};

class TdxTreeListBands : public TCollection {
public:
  TVK_CLASS(TdxTreeListBands, TCollection)
  TdxTreeListBands(TCustomdxTreeListControl* treeList, TCollectionItemClass bandClass);

  TCustomdxTreeListControl* TreeList() const { return FTreeList; }
  TPersistent* GetOwner() const override;
  TdxTreeListBand* Add() { return static_cast<TdxTreeListBand*>(TCollection::Add()); }
  void Assign(const TPersistent& source) override;
  // Every band's RestoreDefaults inside one update.
  void RestoreDefaults();
  // By absolute index; null out of range.
  TdxTreeListBand* GetItem(int index) const;
  // By visible index; null when there is none.
  TdxTreeListBand* GetVisibleItem(int visibleIndex) const;
  int VisibleCount() const;
  int GetAbsoluteIndex(int visibleIndex) const;
  int GetVisibleIndex(int absoluteIndex) const;
  // The left fixed band first among the visible, the right one last, one of each.
  void CheckFixedBands();

protected:
  void Update(TCollectionItem* item) override;

private:
  friend class TCustomdxTreeListControl;
  TCustomdxTreeListControl* FTreeList = nullptr;  // linked after the first band is made
};

}  // namespace tvk
