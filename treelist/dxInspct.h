#pragma once
// The property inspector's base: a tree of rows, each a caption left of a
// movable divider and a value right of it, laid out over one band or wrapped
// into side-by-side bands, painted in five styles, edited in place through
// the container protocol, sized and rearranged with the mouse. What a row
// shows is asked of the descendant through virtual operations.
#include <cstdint>
#include <memory>
#include <vector>

#include "ImageLists.h"
#include "Variants.h"
#include "dxCntner.h"
#include "dxUtils.h"

namespace tvk {

class TCustomdxInspector;
class TdxInspectorNode;
class TdxInspectorRow;  // the row a row node shows (the row classes' unit)

enum TdxInspectorState { isNormal, isColumnSizing, isNodeDown, isNodeDragging, isBandSizing, isRowSizing };
enum TdxInspectorHitTest {
  ihtNowhere, ihtColumnEdge, ihtIndent, ihtButton, ihtImage, ihtDisplayLabel, ihtLabel, ihtOutside,
  ihtBandSeparator, ihtComplexRowSeparator, ihtRowEdge
};
enum TdxInspectorNodeAttachMode { inaAdd, inaAddChild, inaInsert };
enum class TdxInspectorBorderStyle { bsNone, bsSingle };
enum TdxInspectorPaintStyle { ipsStandard, ipsSimple, ipsExtended, ipsNET, ipsCategorized };
enum TdxInspectorOption {
  ioAutoBandCount, ioAutoWidth, ioBandSizing, ioColumnSizing, ioDrawEndEllipsis, ioDynamicColumnSizing, ioEditing,
  ioEnterThrough, ioRowAutoHeight, ioRowSizing, ioStoreToRegistry, ioTabThrough, ioTabs
};
// A set of options, bit n for option n.
using TdxInspectorOptions = uint32_t;
constexpr TdxInspectorOptions InspectorOptionBit(TdxInspectorOption option) { return uint32_t(1) << option; }
constexpr TdxInspectorOptions kDefaultInspectorOptions =
    InspectorOptionBit(ioAutoWidth) | InspectorOptionBit(ioBandSizing) | InspectorOptionBit(ioColumnSizing) |
    InspectorOptionBit(ioDynamicColumnSizing) | InspectorOptionBit(ioEditing);

// Cursor numbers put into the screen's cursor table at start-up.
constexpr TCursor crdxInspectorInsert = -1128;
constexpr TCursor crdxInspectorAddChild = -1129;
constexpr TCursor crdxInspectorAdd = -1130;
constexpr TCursor crdxInspectorHide = -1141;
constexpr TCursor crdxInspectorNoDrag = -1142;

// Frees the default editors the inspector forgot, once their messages have run.
constexpr UINT kFreeEditorsMessage = WM_APP + 0x1C0;

// Window timers.
constexpr UINT_PTR kInspectorScrollTimer = 1;
constexpr UINT_PTR kInspectorShowHintTimer = 2;
constexpr UINT_PTR kInspectorHideHintTimer = 3;

struct TdxInspectorHitInfo {
  TdxInspectorNode* Node = nullptr;
  int Row = -1;
  TdxInspectorHitTest hitType = ihtOutside;
  int BandIndex = -1;
  int ComplexRowIndex = -1;
  RECT ComplexRowRect{};
  RECT NodeRect{};
};

struct TdxInspectorRowInfo {
  TdxInspectorNode* Node = nullptr;
  int RowHeight = 0;
};

struct TdxInspectorBandInfo {
  int BandIndex = 0;
  RECT BandRect{}, BandContentRect{}, BandSeparatorRect{}, EmptyRect{};
  bool PartRowVisible = false;
  int RowCount = 0;
  std::vector<TdxInspectorRowInfo> RowsInfo;
};

struct TdxInspectorContentDrawInfo {
  RECT CRect{};
  int BandCount = 0;
  std::vector<TdxInspectorBandInfo> BandsInfo;
  RECT EmptyRect{};
};

// Where the parts of one row lie (client coordinates).
struct TdxInspectorRowParts {
  RECT Indent{}, Button{}, Image{}, Caption{}, Value{};
  int ButtonKind = 0;  // 0 none, 1 collapsed (plus), 2 expanded (minus)
};

// The value cell handed to the cell painter.
class TdxInspectorCellViewData : public TObject {
public:
  TVK_CLASS(TdxInspectorCellViewData, TObject)
  HBRUSH Cell_Brush = nullptr;
  HFONT Cell_Font = nullptr;
  COLORREF Cell_BkColor = 0, Cell_TextColor = 0;
  TAlignment Cell_Alignment = TAlignment::taLeftJustify;
  WideString Cell_Text;
  int Cell_TextLength = 0;
  bool Cell_Selected = false, Cell_DrawEndEllipsis = false;
  TdxInspectorNode* Cell_Node = nullptr;
  bool Cell_HotTrackNode = false;
  RECT Cell_Rect{};
};

using TdxInspectorNodeList = std::vector<TdxInspectorNode*>;

// One row of the tree; the inspector owns it through its list or its parent's.
class TdxInspectorNode : public TObject {
public:
  TVK_CLASS(TdxInspectorNode, TObject)
  explicit TdxInspectorNode(TCustomdxInspector* owner) : FOwner(owner) {}
  ~TdxInspectorNode() override;

  TdxInspectorNode* AddChild() { return InsertChild(nullptr); }
  TdxInspectorNode* InsertChild(TdxInspectorNode* beforeNode);
  void Expand(bool recurse);
  void Collapse(bool recurse);
  void DeleteChildren();
  TdxInspectorNode* GetLastNode();
  TdxInspectorNode* GetNextNode() const;
  TdxInspectorNode* GetPriorNode() const;
  TdxInspectorNode* GetPriorParentNode() const;
  bool HasAsParent(const TdxInspectorNode* value) const;
  int IndexOf(const TdxInspectorNode* value) const;
  void MakeVisible();
  void MoveTo(TdxInspectorNode* destination, TdxInspectorNodeAttachMode mode);

  int AbsoluteIndex() const;
  int Count() const { return FList ? int(FList->size()) : 0; }
  bool Deleting() const { return FDeleting; }
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool value);
  bool Focused() const;
  void SetFocused(bool value);
  bool HasChildren() const { return Count() > 0; }
  int Index() const;
  bool IsLast() const;
  bool IsVisible() const;
  int Level() const;
  TCustomdxInspector* Owner() const { return FOwner; }
  TdxInspectorNode* Parent() const { return FParent; }
  TdxInspectorNode* Items(int index) const;

private:
  friend class TCustomdxInspector;
  TdxInspectorNodeList& SiblingList() const;
  void Detach();  // leaves its list; an emptied parent loses its list and its expanded flag

  bool FDeleting = false;
  bool FExpanded = false;
  std::unique_ptr<TdxInspectorNodeList> FList;
  TCustomdxInspector* FOwner;
  TdxInspectorNode* FParent = nullptr;
};

// The node of a row-based inspector: it shows one row.
class TdxInspectorRowNode : public TdxInspectorNode {
public:
  TVK_CLASS(TdxInspectorRowNode, TdxInspectorNode)
  using TdxInspectorNode::TdxInspectorNode;
  TdxInspectorRow* Row() const { return FRow; }
  void SetRow(TdxInspectorRow* row) { FRow = row; }

private:
  TdxInspectorRow* FRow = nullptr;
};

// The drag of a row while the customizing window is open.
class TdxInspectorDragControlObject : public TDragControlObject {
public:
  TVK_CLASS(TdxInspectorDragControlObject, TDragControlObject)
  using TDragControlObject::TDragControlObject;

protected:
  TCursor DragCursorFor(bool accepted, int x, int y) override;
};

using TdxInspectorChangeNodeEvent =
    std::function<void(TObject* Sender, TdxInspectorNode* OldNode, TdxInspectorNode* Node)>;

// Deterministic counts of the inspector's work.
struct TdxInspectorStats {
  int64_t RowsPainted = 0;   // rows painted
  int64_t RowsVisited = 0;   // rows walked by the band distribution
};

class TCustomdxInspector : public TCustomdxContainer {
public:
  TVK_CLASS(TCustomdxInspector, TCustomdxContainer)
  explicit TCustomdxInspector(TComponent* owner);
  ~TCustomdxInspector() override;

  // --- tree
  TdxInspectorNode* Add() { return Insert(nullptr); }
  TdxInspectorNode* Insert(TdxInspectorNode* beforeNode);
  virtual void ClearNodes();
  void FullExpand();
  void FullCollapse();
  TdxInspectorNode* GetNextVisible(const TdxInspectorNode* node) const;
  static TdxInspectorNode* GetTopParentNode(TdxInspectorNode* node);
  int IndexOf(const TdxInspectorNode* value) const;
  bool IsNodeVisible(const TdxInspectorNode* node) const;
  void MakeNodeVisible(TdxInspectorNode* node);
  int GetVisibleIndex(const TdxInspectorNode* node) const;
  int GetVisibleCount() const;
  TdxInspectorNode* GetNodeByVisibleIndex(int index) const;
  TdxInspectorNode* GetNode(int index) const;

  int Count() const { return int(FNodeList.size()); }
  TdxInspectorNode* FocusedNode() const { return FFocused; }
  virtual void SetFocusedNode(TdxInspectorNode* node);
  int FocusedNumber() const;
  virtual void SetFocusedNumber(int index);
  TdxInspectorNode* LastNode() const;
  int TopIndex() const;
  void SetTopIndex(int index);
  TdxInspectorNode* TopNode() const { return GetNode(0); }
  TdxInspectorNode* TopVisibleNode() const { return FTopVisibleNode; }

  // --- update lock
  void BeginUpdate() { ++FLockUpdate; }
  void EndUpdate();
  int LockUpdate() const { return FLockUpdate; }
  virtual void LayoutChanged();

  // --- layout
  bool IsBanded() const { return (FOptions & InspectorOptionBit(ioAutoBandCount)) != 0; }
  int BandCount() const { return IsBanded() ? FBandCount : 1; }
  int LeftBandIndex() const { return IsBanded() ? FLeftBandIndex : 0; }
  void SetLeftBandIndex(int band);
  int VisibleBandCount() const { return IsBanded() ? FVisibleBandCount : 1; }
  int PartVisibleBandCount() const { return IsBanded() ? FPartVisibleBandCount : 1; }
  int FocusedBandIndex();
  void CalcContentDrawInfo(TdxInspectorContentDrawInfo& drawInfo);
  static void FreeContentDrawInfo(TdxInspectorContentDrawInfo& drawInfo) { drawInfo = {}; }
  TdxInspectorRowParts CalcRowParts(TdxInspectorNode* node, RECT rowRect);
  RECT GetNodeRect(TdxInspectorNode* node, bool toBottom = false);
  int RowCount() const { return FRowCount; }
  int VisibleRowCount() const { return FVisibleRowCount; }
  int ContentWidth();  // of a row: the band's without its separator in banded mode

  // --- hit test
  TdxInspectorHitInfo GetHitInfo(POINT p);
  TdxInspectorHitTest GetHitTestInfoAt(int x, int y) { return GetHitInfo(POINT{x, y}).hitType; }
  TdxInspectorNode* GetNodeAt(int x, int y) { return GetHitInfo(POINT{x, y}).Node; }
  // The design-time hit test: whether the control takes the mouse at P in the designer.
  bool DesignHitTest(POINT p);

  // --- editing
  bool IsActive();
  void ShowEditor();
  void ShowEditorChar(wchar_t ch);
  void ShowEditorMouse(int x, int y);
  void HideEditor();
  void PostEditor(bool backFocus);
  virtual void InvalidateEditor();
  TdxInplaceEdit* InplaceEditor() const { return FInplaceEdit; }
  TdxInspectorNode* InplaceNode() const { return FInplaceNode; }
  WideString GetEditingText();
  void SetEditingText(const WideString& text);

  // --- customizing (the customizing window is the rows' unit's)
  void ShowCustomizeForm() {}
  void HideCustomizeForm() {}
  bool PtInCustomizeForm(POINT p) { (void)p; return false; }
  bool Customization() { return IsCustomizing(); }
  TForm* CustomizeForm() const { return nullptr; }

  // --- registry
  void LoadFromRegistry(const WideString& regPath);
  void SaveToRegistry(const WideString& regPath);
  static WideString NormalizeRegistryPath(const WideString& path);

  // --- settings
  int BandSeparatorWidth() const { return FBandSeparatorWidth; }
  int BandWidth() const { return FBandWidth; }
  void SetBandWidth(int value);
  TdxInspectorBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TdxInspectorBorderStyle value);
  const WideString& ComplexRowSeparator() const { return FComplexRowSeparator; }
  int DividerPos() const { return FDividerPos; }
  void SetDividerPos(int value);
  TColor GridColor() const { return FGridColor; }
  void SetGridColor(TColor value) { FGridColor = value; Invalidate(); }
  TColor GroupColor() const { return FGroupColor; }
  void SetGroupColor(TColor value) { FGroupColor = value; Invalidate(); }
  TColor GroupGridColor() const { return FGroupGridColor; }
  void SetGroupGridColor(TColor value) { FGroupGridColor = value; Invalidate(); }
  TColor ValueFontColor() const { return FValueFontColor; }
  void SetValueFontColor(TColor value) { FValueFontColor = value; Invalidate(); }
  bool Flat() const { return FFlat; }
  void SetFlat(bool value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* value);
  int Indent() const { return FIndent; }
  int GridSize() const { return FGridSize; }
  int RowFrameSize() const { return FRowFrameSize; }
  int TextHeight() const { return FTextHeight; }
  int MinBandWidth() const { return FMinBandWidth; }
  int MinColumnWidth() const { return FMinColumnWidth; }
  int MinRowHeight() const { return FMinRowHeight; }
  int MaxRowTextLineCount() const { return FMaxRowTextLineCount; }
  TdxInspectorOptions Options() const { return FOptions; }
  void SetOptions(TdxInspectorOptions value);
  bool HasOption(TdxInspectorOption option) const { return (FOptions & InspectorOptionBit(option)) != 0; }
  TdxInspectorPaintStyle PaintStyle() const { return FPaintStyle; }
  void SetPaintStyle(TdxInspectorPaintStyle value);
  int RowHeight() const { return FRowHeight; }
  void SetRowHeight(int value);
  bool RowHeightAssigned() const { return FRowHeightAssigned; }
  bool ShowRowHint() const { return FShowRowHint; }
  void SetShowRowHint(bool value);
  TdxInspectorState State() const { return FState; }
  bool Modified() const { return FModified; }
  TdxContainerHintWindow* HintWindow() const { return FHintWindow.get(); }
  UINT_PTR ShowHintTimerId() const { return FShowHintTimerId; }
  UINT_PTR HideHintTimerId() const { return FHideHintTimerId; }
  bool ScrollTimerRunning() const { return FScrollTimerRunning; }
  TdxInspectorNode* DragNode() const { return FDragNode; }
  bool IsDraggingAllowed() { return IsCustomizing() || DragMode() == TDragMode::dmAutomatic; }
  TdxInspectorStats Stats;

  bool TabCyclesInsideInspector = false;
  bool ValidateEditorOnKillFocus = false;
  bool EnableUnicodeSupport = false;
  TdxInspectorChangeNodeEvent OnChangeNode;
  TNotifyEvent OnHideCustomizeForm, OnShowCustomizeForm;

  // Container answers
  bool CanEditModify() override { return true; }
  bool CanEditAcceptKey(wchar_t key) override { (void)key; return true; }
  bool CheckEditButtonWidth() override { return false; }
  TColor GetInplaceEditColor() override { return clWindow; }
  void InplaceEditKeyDown(WORD& key, TShiftState shift) override;
  bool IsImmediateEditor(int index) override { (void)index; return true; }
  bool InplaceEditWantTabs() override;
  void InplaceEditFocusChanged() override { InvalidateNode(FFocused, false); }
  void InplaceEditKillFocus(HWND focusedWnd) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  TDragImageList* GetDragImages() override { return FDragImageNode.get(); }

  // --- virtual operations, in slot order
  virtual bool CanScroll() { return true; }
  virtual void NodeAdded(TdxInspectorNode* node);
  virtual int CalcMinRowContentHeight(TCanvas& canvas) { return CalcTextHeight(canvas); }
  virtual int CalcTextHeight(TCanvas& canvas);
  virtual void ValidateComplexRowIndex(int& index) { (void)index; }
  virtual void SetHotTrackNode(TdxInspectorNode* node);
  virtual void UpdateComplexRowIndex();
  virtual TdxInspectorNode* CreateNode() = 0;
  virtual void NodeDeleted(TdxInspectorNode* node, TdxInspectorNode* priorParentNode, TdxInspectorNode* nextNode,
                           bool wasLast, bool wasVisible);
  virtual void DoChangeNode(TdxInspectorNode* oldNode, TdxInspectorNode* node);
  virtual void DoDragNode(TdxInspectorNode*& dragNode, TdxInspectorNode* destination,
                          TdxInspectorNodeAttachMode mode) {
    (void)dragNode; (void)destination; (void)mode;
  }
  virtual void DrawCaptionText(TCanvas& canvas, TdxInspectorNode* node, const WideString& text, const RECT& rect);
  virtual void DrawCaption(TCanvas& canvas, TdxInspectorNode* node, const WideString& caption, const RECT& captionRect,
                           int buttonKind, const RECT& imageRect, const RECT& buttonRect, const RECT& indentRect);
  virtual void DrawValue(TCanvas& canvas, const RECT& valueRect, TAlignment alignment, const WideString& text,
                         TdxInspectorNode* node);
  virtual void DoHideCustomizeForm() { if (OnHideCustomizeForm) OnHideCustomizeForm(this); }
  virtual void DoShowCustomizeForm() { if (OnShowCustomizeForm) OnShowCustomizeForm(this); }
  virtual void DrawCellValue(TCanvas& canvas, const RECT& rect, TdxInspectorCellViewData& viewData) {
    (void)canvas; (void)rect; (void)viewData;
  }
  virtual void CalcCellViewBounds(const RECT& rect, RECT& bounds);
  virtual void RefreshCustomizeForm() {}
  virtual void GetComplexRowHitInfo(TdxInspectorNode* node, POINT p, const RECT& cellRect, bool isValue, int& index,
                                    RECT& itemRect) {
    (void)node; (void)p; (void)cellRect; (void)isValue;
    index = -1;
    itemRect = RECT{};
  }
  virtual void GetNodeCaption(TdxInspectorNode* node, WideString& caption);
  virtual int GetNodeImageIndex(TdxInspectorNode* node) { (void)node; return -1; }
  virtual int GetNodeRowHeight(TdxInspectorNode* node);
  virtual void GetNodeTexts(TdxInspectorNode* node, WideString& caption, WideString& value) = 0;
  TColor GetValueFontColor();
  virtual bool TabInComplexRow(bool forward) { (void)forward; return false; }
  virtual bool IsCategoryNode(TdxInspectorNode* node) { (void)node; return false; }
  virtual bool IsComplexRowNode(TdxInspectorNode* node) { (void)node; return false; }
  virtual bool IsCustomizing() { return false; }
  virtual bool CanTabInComplexRow(bool forward) { (void)forward; return false; }
  bool IsHotTrackNode(TdxInspectorNode* node) const { return node && node == FHotTrackNode && FState == isNormal; }
  bool HasNodeImage(TdxInspectorNode* node);
  // Caption or value hint text at Origin (screen-independent client point); false for none.
  virtual bool GetHintText(TdxInspectorNode* node, int complexRowIndex, bool& delay, POINT& origin, WideString& text,
                           const RECT& cellRect, bool isValue, const RECT& complexRowRect) {
    (void)node; (void)complexRowIndex; (void)delay; (void)origin; (void)text; (void)cellRect; (void)isValue;
    (void)complexRowRect;
    return false;
  }
  virtual void DoRowsChanged() {}
  virtual void NodeChanged(TdxInspectorNode* node, bool structural);
  virtual void CalcRowCount();
  virtual void UpdateScrollBars();
  virtual void SetNodeRowHeight(TdxInspectorNode* node, int height) { (void)node; (void)height; }
  virtual void LoadFromRegIni(TdxRegIniWrapper& wrapper, const WideString& section);
  virtual void SaveToRegIni(TdxRegIniWrapper& wrapper, const WideString& section);
  virtual bool CanShowEditor();
  virtual TdxInplaceEdit* CreateDefaultEditor();
  virtual void DoRowChange(TdxInspectorRow* row) { (void)row; }
  virtual void DoRowValidate(TdxInspectorRow* row, const Variant& value) { (void)row; (void)value; }
  virtual TdxInplaceEdit* GetNodeEditor(TdxInspectorNode* node) { (void)node; return FInplaceEdit; }
  virtual RECT GetNodeEditRect(TdxInspectorNode* node);
  bool IsDynamicColumnSizing() const { return HasOption(ioDynamicColumnSizing) && FState != isRowSizing; }
  virtual void SaveEditValue(TdxInspectorNode* node, TdxInplaceEdit* editor, Variant& value) {
    (void)node; (void)editor;
    value = Variant();
  }
  virtual void AssignEditProperties(TdxInplaceEdit* editor);
  virtual void InitEditValue(TdxInspectorNode* node, TdxInplaceEdit* editor, Variant& value) {
    (void)node; (void)editor;
    value = Variant(WideString());
  }

  // Painting helpers of the row classes.
  void DrawCellText(TCanvas& canvas, const RECT& rect, TAlignment alignment, const WideString& text);
  void DrawComplexRowSeparator(TCanvas& canvas, const RECT& rect, bool force);
  TdxEditBorderStyle GetEditBorderStyle() const { return FPaintStyle == ipsCategorized ? xbsFlat : xbsNone; }
  TdxEditButtonViewStyle GetEditButtonStyle() const {
    return FPaintStyle == ipsCategorized || FFlat ? btsFlat : bts3D;
  }
  void InvalidateNode(TdxInspectorNode* node, bool structural);
  // Where the drag image of the row drag is drawn (shared, made at start-up).
  static TBitmap* DragBitmap();

protected:
  friend class TdxInspectorNode;
  // The teardown that reaches the virtuals: a descendant calls it first in its destructor.
  void DestroyNodes();
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void HandleDragStart(TDragObject*& dragObject) override;
  void DragOver(TObject* source, int x, int y, TDragState state, bool& accept) override;
  void DragDrop(TObject* source, int x, int y) override;
  void DoEndDrag(TObject* target, int x, int y) override;

  TVK_MESSAGES();
  void WMEraseBkgnd(TMessage& message);
  void WMSize(TMessage& message);
  void WMScroll(TMessage& message);
  void WMSetFocus(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMGetDlgCode(TMessage& message);
  void WMTimer(TMessage& message);
  void WMCaptureChanged(TMessage& message);
  void WMCancelMode(TMessage& message);
  void WMNCHitTest(TMessage& message);
  void WMSetCursor(TMessage& message);
  void WMNCCalcSize(TMessage& message);
  void WMNCPaint(TMessage& message);
  void WMDestroy(TMessage& message);
  void WMLButtonDown(TMessage& message);
  void CMCancelMode(TMessage& message);
  void CMExit(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void CMColorChanged(TMessage& message);
  void CMFontChanged(TMessage& message);
  void CMShowHintChanged(TMessage& message);
  void CMCtl3DChanged(TMessage& message);
  void WMFreeEditors(TMessage& message);
  // A row dropped onto the customizing window is hidden (the rows' unit answers).
  virtual void HideDroppedRow(TdxInspectorRowNode* node) { (void)node; }

private:
  // layout
  void CalcLayout();
  void CalcBandCounts();
  void FillBand(TdxInspectorBandInfo* band, TdxInspectorNode*& node, RECT bandRect, bool stored);
  int BandOfNode(TdxInspectorNode* node);
  TdxInspectorNode* FirstNodeOfBand(int band);
  void CorrectTopIndex();
  int ProportionalDividerPos();
  void DoScroll(bool vertical, int code);
  // painting
  void DrawFocusFrame(HDC dc);
  void PaintBand(TCanvas& canvas, const TdxInspectorBandInfo& band);
  void PaintGridLine(TCanvas& canvas, TdxInspectorNode* node, const RECT& rowRect);
  void PaintRow(TCanvas& canvas, TdxInspectorNode* node, RECT rect, bool& dividerDrawn);
  void PaintIndentAndButton(TCanvas& canvas, TdxInspectorNode* node, const TdxInspectorRowParts& parts);
  void PaintRowFrame(TCanvas& canvas, TdxInspectorNode* node, RECT& rect, const TdxInspectorRowParts& parts);
  void PaintBoxButton(TCanvas& canvas, const RECT& rect, bool collapsed, HBRUSH fill, TColor outline);
  bool UnderTopCategory(TdxInspectorNode* node);
  bool IsTopCategory(TdxInspectorNode* node) { return node && !node->Parent() && IsCategoryNode(node); }
  // editing
  void UpdateEditor(bool force, bool reload);
  void LoadEditor();
  void CloseEditor(bool backFocus);
  void WriteBackEditor();
  void MoveForward(bool forward);
  void ExpandCollapseKeys(WORD key, TShiftState shift);
  // hints
  void ShowRowHintAt(POINT p, bool mayDelay);
  void HideRowHint();
  void ClearHintMemory();
  // mouse
  void CancelMode();
  void DrawSizingLine();
  void EndPress(bool toggle);
  void StartScrollTimer();
  void StopScrollTimer();
  void AutoScroll();
  void DragOverStep(POINT p);
  void BuildDragImage();
  void DropNode(POINT p);
  int RelativeSizingX(int x) { return x - (FSizingBandIndex - LeftBandIndex()) * FBandWidth; }
  int ClampDivider(int value);
  int MinRowHeightOf(TdxInspectorNode* node);

  int FLockUpdate = 0;
  int FLockExpanded = 0;
  TdxInspectorNodeList FNodeList;
  TdxInspectorNode* FFocused = nullptr;
  TdxInspectorNode* FTopVisibleNode = nullptr;
  int FBandCount = 1;
  int FBandSeparatorWidth = 3;
  int FBandWidth = 200;
  TdxInspectorBorderStyle FBorderStyle = TdxInspectorBorderStyle::bsSingle;
  WideString FComplexRowSeparator;
  int FComplexRowSeparatorWidth = 0, FCaptionComplexRowSeparatorWidth = 0;
  int FDividerPos = 75;
  int FSizingPos = 0, FSaveSizingPos = 0, FSizingBandIndex = 0;
  TdxInspectorNode* FHotTrackNode = nullptr;
  TdxInspectorNode* FSizingNode = nullptr;
  POINT FDividerPosSave{75, -1};
  TColor FGridColor = clBtnShadow, FGroupColor = clBtnFace, FGroupGridColor = clBtnShadow;
  int FLeftBandIndex = 0;
  TColor FValueFontColor = clNavy;
  int FRowHeight = 18, FGridSize = 1, FRowFrameSize = 0;
  int FImageHeight = 0, FImageWidth = 0;
  TCustomImageList* FImages = nullptr;
  std::unique_ptr<TChangeLink> FImageChangeLink;
  int FIndent = 6;
  int FToolboxButtonWidth = 10;
  POINT FHitTest{};
  TdxInspectorHitInfo FHitInfo;
  int FRowCount = 1, FVisibleRowCount = 1;
  int FMaxRowTextLineCount = 3;
  int FMinBandWidth = 43, FMinColumnWidth = 30, FMinRowHeight = 18;
  int FTextHeight = 0;
  bool FRowHeightAssigned = false;
  TdxInspectorState FState = isNormal;
  TdxInspectorOptions FOptions = kDefaultInspectorOptions;
  bool FSizing = false;
  POINT FPointDragging{};
  std::unique_ptr<TDragImageList> FDragImageNode;
  TdxInspectorPaintStyle FPaintStyle = ipsStandard;
  bool FFlat = false;
  int FPartVisibleBandCount = 1, FVisibleBandCount = 1;
  TCursor FPrevDragCursor = crDrag;
  bool FShowRowHint = false;
  int FPrevHintComplexRowIndex = -1;
  TdxInspectorNode* FPrevHintNode = nullptr;
  TdxInspectorHitTest FPrevHintTest = ihtOutside;
  UINT_PTR FShowHintTimerId = 0, FHideHintTimerId = 0;
  std::unique_ptr<TdxContainerHintWindow> FHintWindow;
  TdxInspectorCellViewData FCellViewData;
  bool FModified = false;
  bool FInternalLayout = false;
  HBRUSH FGridBrush = nullptr, FGroupGridBrush = nullptr, FBkBrush = nullptr, FGroupBkBrush = nullptr;
  TdxInspectorNode* FDragNode = nullptr;
  std::unique_ptr<TdxInspectorDragControlObject> FDragObject;
  int FComplexRowIndex = -1;
  int FInplaceComplexRowIndex = -1;
  TdxInplaceEdit* FInplaceEdit = nullptr;
  TdxInspectorNode* FInplaceNode = nullptr;
  int FInplaceComplexRowIndexPushed = -1;
  TdxInplaceEdit* FInplaceEditPushed = nullptr;
  TdxInspectorNode* FInplaceNodePushed = nullptr;
  POINT FCustomizeFormPos{-10000, -10000}, FCustomizeFormSize{-10000, -10000};
  bool FScrollTimerRunning = false;
  bool FDestroyingNodes = false;
  POINT FLastMousePos{};
  std::vector<TdxInplaceEdit*> FOwnEditors;  // default editors made here
};

// The unit's start-up (drag bitmap, cursors) and shut-down; each runs once.
bool InspectorUnitStartup();
void InspectorUnitShutdown();

}  // namespace tvk
