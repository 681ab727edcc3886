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
#include "Collections.h"
#include "Streams.h"
#include "Variants.h"
#include "XPEdits.h"
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
  // A row still shown goes with its node.
  ~TdxInspectorRowNode() override;
  TdxInspectorRow* Row() const { return FRow; }
  void SetRow(TdxInspectorRow* row) { FRow = row; }
  // A child (or one before BeforeNode) whose row is of RowClass (a row-based inspector's).
  TdxInspectorNode* AddChildEx(TComponentClass rowClass) { return InsertChildEx(nullptr, rowClass); }
  TdxInspectorNode* InsertChildEx(TdxInspectorNode* beforeNode, TComponentClass rowClass);

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

  // --- customizing: the window that lists the hidden rows (a row-based inspector's)
  void ShowCustomizeForm();
  void HideCustomizeForm();
  bool PtInCustomizeForm(POINT p);
  bool Customization() const { return FCustomizeForm != nullptr; }
  void SetCustomization(bool value);
  TForm* CustomizeForm() const { return FCustomizeForm; }
  // The window goes: the inspector forgets it.
  void ForgetCustomizeForm(TForm* form) {
    if (form == FCustomizeForm) FCustomizeForm = nullptr;
  }
  POINT CustomizeFormPos() const { return FCustomizeFormPos; }
  POINT CustomizeFormSize() const { return FCustomizeFormSize; }
  // The drag of a row while customizing, and a drop handed over at a client point.
  TObject* CurrentDragObject() const { return FDragObject.get(); }
  void DropAtClientPoint(POINT p) { DropNode(p); }

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
  std::unique_ptr<TdxEditStyle> CreateEditStyle(TdxInplaceEdit* edit) override;

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
  virtual void DoHideCustomizeForm();
  virtual void DoShowCustomizeForm();
  virtual void DrawCellValue(TCanvas& canvas, const RECT& rect, TdxInspectorCellViewData& viewData) {
    (void)canvas; (void)rect; (void)viewData;
  }
  virtual void CalcCellViewBounds(const RECT& rect, RECT& bounds);
  virtual void RefreshCustomizeForm();
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
  virtual bool IsCustomizing() { return FCustomizeForm != nullptr; }
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
  virtual void DoRowValidate(TdxInspectorRow* row, WideString& errorText, bool& accept) {
    (void)row; (void)errorText; (void)accept;
  }
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

  // The focused item of a complex row; the setter validates and moves the editor.
  int ComplexRowIndex() const { return FComplexRowIndex; }
  void SetComplexRowIndex(int index);
  int ComplexRowSeparatorWidth() const { return FComplexRowSeparatorWidth; }
  void SetComplexRowSeparator(const WideString& value);
  bool IsEditorShown() { return FInplaceEdit && FInplaceEdit->IsVisible(); }

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
  TdxInspectorCellViewData& CellViewData() { return FCellViewData; }
  void SetModified(bool value) { FModified = value; }
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
  TForm* FCustomizeForm = nullptr;
  bool FScrollTimerRunning = false;
  bool FDestroyingNodes = false;
  POINT FLastMousePos{};
  std::vector<TdxInplaceEdit*> FOwnEditors;  // default editors made here
};

// ---- the row-based inspector: rows that are components

class TCustomdxInspectorControl;
class TdxInspectorComplexRow;

// Raised inside the node-order restore by a record that names no row; the restore catches it.
class EFailureLoadOrderRows : public Exception {
public:
  EFailureLoadOrderRows() : Exception(L"") {}
};

enum TdxRowValue { rvCaption, rvReadOnly, rvMaxLength, rvRowHeight };
using TdxRowValues = unsigned;  // bit n: value n
constexpr TdxRowValues RowValueBit(TdxRowValue value) { return 1u << value; }

using TdxInspectorRowDrawValue = std::function<void(TdxInspectorRow* Sender, TCanvas& ACanvas, RECT ARect,
                                                    WideString& AText, TFont& AFont, TColor& AColor, bool& ADone)>;
// A class of rows: the class and its maker.
using TdxInspectorRowClass = TComponentClass;

// Opens a row class body: its class reference and the class its copies are made of.
#define TVK_INSPECTOR_ROW(Name, Parent) \
  TVK_CLASS(Name, Parent)               \
  ::tvk::TdxInspectorRowClass RowClass() const override { return ::tvk::ComponentClassOf<Name>(); }

class TdxInspectorRow : public TComponent {
public:
  TVK_CLASS(TdxInspectorRow, TComponent)
  explicit TdxInspectorRow(TComponent* owner);
  ~TdxInspectorRow() override;
  // The view data comes from the editor class of the whole object.
  void AfterConstruction() override;
  void Assign(const TPersistent& source) override;
  virtual TdxInspectorRowClass RowClass() const { return ComponentClassOf<TdxInspectorRow>(); }
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* value) override;
  void RestoreDefaultRowHeight() { SetRowHeight(DefaultRowHeight()); }

  // --- virtual operations, in slot order
  virtual void EditChange(TObject* sender);
  virtual void DoDrawCaption(TCanvas& canvas, const RECT& rect, WideString& text, bool& done);
  virtual void DoDrawValue(TCanvas& canvas, const RECT& rect, WideString& text, bool& done);
  virtual void DoEdited();
  virtual void EditValidate(TObject* sender, WideString& errorText, bool& accept);
  virtual WideString GetDisplayText();
  virtual int GetDisplayKey() { return 0; }
  virtual WideString GetDisplayKeyText() { return {}; }
  virtual WideString GetEditText();
  virtual int CalcMinHeight(TCanvas& canvas);
  virtual void SetEditText(const WideString& value);
  virtual void ReadEditorValue(TdxInplaceEdit* editor, Variant& value);
  virtual TdxInplaceEditClassType GetEditorClass() const;
  virtual void AssignEditorProperties(TdxInplaceEdit* editor);
  virtual void WriteEditorValue(TdxInplaceEdit* editor, Variant& value);
  virtual Variant GetInspectorValue(int key);
  virtual bool IsTextCut(bool forValue, const RECT& rect, WideString& text);
  virtual void PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell);
  virtual TObject* GetLinkObject() const { return nullptr; }
  virtual void SetLinkObject(TObject* value) { (void)value; }
  virtual WideString GetLinkObjectName() const { return {}; }
  virtual void SetLinkObjectName(const WideString& value) { (void)value; }
  virtual WideString DefaultCaption() const { return {}; }
  virtual int DefaultMaxLength() const { return 0; }
  virtual bool DefaultReadOnly() const { return false; }
  virtual int DefaultRowHeight() const;
  virtual bool IsCanModify() { return true; }
  virtual bool IsValidChar(wchar_t ch) { (void)ch; return true; }
  virtual void RestoreDefaults();
  // The user's locale settings changed (the inspector passes the notice on).
  virtual void SettingsChanged() {}

  // --- published properties
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  WideString Caption() const;
  void SetCaption(const WideString& value);
  bool CaptionStored() const { return (FAssignedValues & RowValueBit(rvCaption)) && FCaption != DefaultCaption(); }
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase value);
  const WideString& Hint() const { return FHint; }
  void SetHint(const WideString& value) { FHint = value; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);
  bool IsCategory() const { return FIsCategory; }
  void SetIsCategory(bool value);
  int MaxLength() const;
  void SetMaxLength(int value);
  wchar_t PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(wchar_t value);
  bool ReadOnly() const;
  void SetReadOnly(bool value);
  bool ReadOnlyStored() const {
    return (FAssignedValues & RowValueBit(rvReadOnly)) && FReadonly != DefaultReadOnly();
  }
  int RowHeight() const;
  void SetRowHeight(int value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value) { FShowHint = value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  TNotifyEvent OnChange, OnChangeName;
  TdxInspectorRowDrawValue OnDrawCaption, OnDrawValue;
  TdxEditValidateEvent OnValidate;

  // --- public properties
  TdxRowValues AssignedValues() const { return FAssignedValues; }
  WideString DisplayText() { return GetDisplayText(); }
  WideString EditText() { return GetEditText(); }
  TCustomdxInspectorControl* Inspector() const { return FInspector; }
  void SetInspector(TCustomdxInspectorControl* value);
  TdxInspectorRowNode* Node() const { return FNode; }
  TdxEditViewData& ViewData() { return *FViewData; }

protected:
  friend class TCustomdxInspectorControl;
  friend class TdxInspectorRowNode;
  void ChangeName(const WideString& name) override;
  // Ends every setting: the inspector lays out again.
  void Changed();
  bool IsInitializingEditor() const;

  TCustomdxInspectorControl* FInspector = nullptr;
  TdxInspectorRowNode* FNode = nullptr;
  TAlignment FAlignment = TAlignment::taLeftJustify;
  WideString FCaption;
  TEditCharCase FCharCase = TEditCharCase::ecNormal;
  WideString FHint;
  int32_t FImageIndex = -1;
  bool FIsCategory = false;
  int32_t FMaxLength = 0;
  bool FReadonly = false;
  int32_t FRowHeight = 0;
  bool FShowHint = false;
  TdxRowValues FAssignedValues = 0;
  wchar_t FPasswordChar = 0;
  std::unique_ptr<TdxEditViewData> FViewData;
  bool FVisible = true;
};

// A row that keeps its value as a text of its own.
class TdxInspectorTextRow : public TdxInspectorRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorTextRow, TdxInspectorRow)
  using TdxInspectorRow::TdxInspectorRow;
  WideString GetDisplayText() override { return FText; }
  WideString GetEditText() override { return FText; }
  void SetEditText(const WideString& value) override;
  const WideString& Text() const { return FText; }
  void SetText(const WideString& value);

private:
  WideString FText;
};

// The edit style that an inspector gives the editors it hosts.
class TdxInspectorEditStyle : public TdxEditStyle {
public:
  TVK_CLASS(TdxInspectorEditStyle, TdxEditStyle)
  TdxInspectorEditStyle(TdxInplaceEdit* edit, TCustomdxInspector* inspector) : TdxEditStyle(edit), FInspector(inspector) {}
  TColor DefaultBorderColor() const override { return TdxEditStyleController::clWindowFrameColor(); }
  TdxEditBorderStyle DefaultBorderStyle() const override;
  TdxEditButtonViewStyle DefaultButtonStyle() const override;
  TdxEditButtonTransparence DefaultButtonTransparence() const override { return ebtNone; }
  TdxEditEdges DefaultEdges() const override { return kAllEdges; }
  bool DefaultHotTrack() const override { return false; }
  bool DefaultShadow() const override { return false; }

private:
  TCustomdxInspector* FInspector;
};

// The hook through which a form designer hears of layout changes.
class TdxInspectorDesigner : public TObject {
public:
  TVK_CLASS(TdxInspectorDesigner, TObject)
  explicit TdxInspectorDesigner(TCustomdxInspectorControl* inspector);
  ~TdxInspectorDesigner() override;
  TCustomdxInspectorControl* Inspector() const { return FInspector; }
  virtual void LayoutChanged() {}

private:
  TCustomdxInspectorControl* FInspector;
};

using TdxInspectorEditingEvent =
    std::function<void(TObject* Sender, TdxInspectorNode* Node, TdxInspectorRow* Row, bool& Allow)>;
using TdxInspectorEditedEvent = std::function<void(TObject* Sender, TdxInspectorNode* Node, TdxInspectorRow* Row)>;
using TdxInspectorGetEditColor = std::function<void(TdxInspectorRow* Sender, TColor& AColor)>;
using TdxInspectorGetEditFont = std::function<void(TdxInspectorRow* Sender, TFont*& AFont)>;

// The deepest nesting a node-order stream may describe.
constexpr int kMaxNodeOrderDepth = 1024;

class TCustomdxInspectorControl : public TCustomdxInspector {
public:
  TVK_CLASS(TCustomdxInspectorControl, TCustomdxInspector)
  explicit TCustomdxInspectorControl(TComponent* owner);
  ~TCustomdxInspectorControl() override;

  TdxInspectorRow* CreateRow(TdxInspectorRowClass rowClass);
  TdxInspectorRow* CreateDefaultRow(TdxInspectorRowClass rowClass);
  TdxInspectorNode* AddEx(TdxInspectorRowClass rowClass) { return InsertEx(nullptr, rowClass); }
  TdxInspectorNode* InsertEx(TdxInspectorNode* beforeNode, TdxInspectorRowClass rowClass);
  void AddRow(TdxInspectorRow* row);
  void RemoveRow(TdxInspectorRow* row);
  void RestoreRowsDefaults();
  TdxInspectorRow* RowByName(std::wstring_view name) const;
  int IndexOfRow(const TdxInspectorRow* row) const;
  TdxInspectorComplexRow* ComplexRowByRow(const TdxInspectorRow* row) const;
  bool RowInComplexRow(const TdxInspectorRow* row) const { return ComplexRowByRow(row) != nullptr; }
  void ReleaseComplexRowItems(const TdxInspectorRow* row);
  void LoadNodesFromStream(TStream& stream);
  void SaveNodesToStream(TStream& stream);
  // The row a node edits: a complex row's focused item, else its own.
  TdxInspectorRow* EditRowOf(TdxInspectorNode* node) const;
  // The caption shown for a row (a complex row without one joins its items').
  WideString RowDisplayCaption(TdxInspectorRow* row) const;

  TdxInspectorRowClass DefaultRowClass() const { return FDefaultRowClass; }
  void SetDefaultRowClass(TdxInspectorRowClass value) { FDefaultRowClass = value; }
  TdxInspectorDesigner* Designer() const { return FDesigner; }
  int TotalRowCount() const { return int(FRows.size()); }
  int VisibleTotalRowCount() const;
  // Raises EListError outside the list.
  TdxInspectorRow* Rows(int index) const;
  bool AddFlag() const { return FAddFlag; }
  TdxInspectorRow* DragRow() const { return FDragRow; }
  void SetDragRow(TdxInspectorRow* row) { FDragRow = row; }
  const Variant& EditValue() const { return FEditValue; }
  const WideString& RegistryPath() const { return FRegistryPath; }
  void SetRegistryPath(const WideString& value) { FRegistryPath = value; }

  TdxInspectorRowDrawValue OnDrawCaption, OnDrawValue;
  TNotifyEvent OnEditChange;
  TdxInspectorEditingEvent OnEditing;
  TdxInspectorEditedEvent OnEdited;
  TdxEditValidateEvent OnEditValidate;
  TdxInspectorGetEditColor OnGetEditColor;
  TdxInspectorGetEditFont OnGetEditFont;

  // --- virtual operations, in slot order
  virtual void LoadStoredLayout();
  virtual void SaveStoredLayout();
  virtual TdxInspectorRowClass GetDefaultRowClass() const { return ComponentClassOf<TdxInspectorRow>(); }
  virtual bool IsNodeDataStored() { return true; }
  virtual void UpdateRow(TdxInspectorRow* row);
  virtual Variant GetRowValue(int key, TdxInspectorRow* row) { (void)key; (void)row; return Variant(0); }
  virtual void AssignRows(TCustomdxInspectorControl* source);
  virtual void ClearRows();

  // --- the base's operations answered from the rows
  void NodeAdded(TdxInspectorNode* node) override;
  int CalcMinRowContentHeight(TCanvas& canvas) override;
  TdxInspectorNode* CreateNode() override { return new TdxInspectorRowNode(this); }
  void DoDragNode(TdxInspectorNode*& dragNode, TdxInspectorNode* destination,
                  TdxInspectorNodeAttachMode mode) override;
  void DrawCaption(TCanvas& canvas, TdxInspectorNode* node, const WideString& caption, const RECT& captionRect,
                   int buttonKind, const RECT& imageRect, const RECT& buttonRect, const RECT& indentRect) override;
  void DrawValue(TCanvas& canvas, const RECT& valueRect, TAlignment alignment, const WideString& text,
                 TdxInspectorNode* node) override;
  void DrawCellValue(TCanvas& canvas, const RECT& rect, TdxInspectorCellViewData& viewData) override;
  void RefreshCustomizeForm() override;
  void GetNodeCaption(TdxInspectorNode* node, WideString& caption) override;
  int GetNodeImageIndex(TdxInspectorNode* node) override;
  int GetNodeRowHeight(TdxInspectorNode* node) override;
  void GetNodeTexts(TdxInspectorNode* node, WideString& caption, WideString& value) override;
  bool IsCategoryNode(TdxInspectorNode* node) override;
  bool IsComplexRowNode(TdxInspectorNode* node) override;
  void ValidateComplexRowIndex(int& index) override;
  bool TabInComplexRow(bool forward) override;
  bool CanTabInComplexRow(bool forward) override;
  RECT GetNodeEditRect(TdxInspectorNode* node) override;
  void GetComplexRowHitInfo(TdxInspectorNode* node, POINT p, const RECT& cellRect, bool isValue, int& index,
                            RECT& itemRect) override;
  bool GetHintText(TdxInspectorNode* node, int complexRowIndex, bool& delay, POINT& origin, WideString& text,
                   const RECT& cellRect, bool isValue, const RECT& complexRowRect) override;
  void DoRowsChanged() override;
  void SetNodeRowHeight(TdxInspectorNode* node, int height) override;
  void LoadFromRegIni(TdxRegIniWrapper& wrapper, const WideString& section) override;
  void SaveToRegIni(TdxRegIniWrapper& wrapper, const WideString& section) override;
  bool CanShowEditor() override;
  TVK_MESSAGES();
  void CMWinIniChange(TMessage& message);
  TdxInplaceEdit* CreateDefaultEditor() override;
  void DoRowChange(TdxInspectorRow* row) override;
  void DoRowValidate(TdxInspectorRow* row, WideString& errorText, bool& accept) override;
  TdxInplaceEdit* GetNodeEditor(TdxInspectorNode* node) override;
  void SaveEditValue(TdxInspectorNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void AssignEditProperties(TdxInplaceEdit* editor) override;
  void InitEditValue(TdxInspectorNode* node, TdxInplaceEdit* editor, Variant& value) override;
  void InvalidateEditor() override;
  TColor GetInplaceEditColor() override;
  TFont& GetInplaceEditFont() override;

  // Form streaming: the rows are written as children; "Data" holds the node order.
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
  void DefineProperties(TFiler& filer) override;

protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void ChangeName(const WideString& name) override;
  void DoEndDrag(TObject* target, int x, int y) override;
  void HideDroppedRow(TdxInspectorRowNode* node) override;
  // The height of one row measured through its editor class in a cell rectangle.
  int MeasureRow(TdxInspectorRow* row, TdxInspectorNode* node, const RECT& cellRect);
  void PaintSingleRow(TdxInspectorRow* row, TCanvas& canvas, const RECT& rect, TdxInspectorCellViewData& cell);

private:
  friend class TdxInspectorRow;
  friend class TdxInspectorDesigner;
  void LinkNewNode(TdxInspectorRow* row);
  void RestoreNodeOrder();
  void ReadNodeData(TStream& stream);
  void WriteNodeData(TStream& stream);
  void ReadCategories(TdxRegIniWrapper& wrapper, const WideString& section);

  TdxInspectorRowClass FDefaultRowClass = nullptr;
  TdxInspectorDesigner* FDesigner = nullptr;
  std::unique_ptr<TFont> FEditFont;
  std::vector<TdxInplaceEdit*> FEditors;  // owned by the control as components
  Variant FEditValue;
  std::vector<TdxInspectorRow*> FRows;
  std::unique_ptr<TMemoryStream> FStreamData;
  bool FAddFlag = false;
  TdxInspectorRow* FDragRow = nullptr;
  WideString FRegistryPath;
  bool FRowsLoading = false;
};

// ---- complex rows: several rows side by side in one line

class TdxInspectorComplexRowItems;

class TdxInspectorComplexRowItem : public TCollectionItem {
public:
  TVK_CLASS(TdxInspectorComplexRowItem, TCollectionItem)
  explicit TdxInspectorComplexRowItem(TCollection* collection);
  void Assign(const TPersistent& source) override;
  void RestoreDefaults();
  WideString GetDisplayName() const;
  bool Fixed() const { return FFixed; }
  void SetFixed(bool value);
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int value);
  TdxInspectorRow* Row() const { return FRow; }
  void SetRow(TdxInspectorRow* value);
  int Width() const { return FWidth; }
  void SetWidth(int value);
  TdxInspectorComplexRowItems* Items() const;

private:
  friend class TCustomdxInspectorControl;
  bool FFixed = false;
  int32_t FMinWidth = 20;
  TdxInspectorRow* FRow = nullptr;
  int32_t FWidth = 50;
};

class TdxInspectorComplexRowItems : public TCollection {
public:
  TVK_CLASS(TdxInspectorComplexRowItems, TCollection)
  explicit TdxInspectorComplexRowItems(TdxInspectorComplexRow* row);
  TdxInspectorComplexRowItem* Add() { return static_cast<TdxInspectorComplexRowItem*>(TCollection::Add()); }
  TdxInspectorComplexRowItem* Item(int index) const {
    return static_cast<TdxInspectorComplexRowItem*>(TCollection::Items(index));
  }
  int IndexOfRow(const TdxInspectorRow* row) const;
  void RestoreDefaults();
  // Copies Source's items (in one change).
  void AssignItems(const TdxInspectorComplexRowItems& source);
  TdxInspectorComplexRow* Row() const { return FRow; }
  TPersistent* GetOwner() const override;

protected:
  void Update(TCollectionItem* item) override;

private:
  TdxInspectorComplexRow* FRow;
};

class TdxInspectorComplexRow : public TdxInspectorTextRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorComplexRow, TdxInspectorTextRow)
  explicit TdxInspectorComplexRow(TComponent* owner);
  ~TdxInspectorComplexRow() override;
  void Assign(const TPersistent& source) override;
  TdxInspectorComplexRowItems& Items() { return *FItems; }
  void SetItems(const TdxInspectorComplexRowItems& value) { FItems->AssignItems(value); }

private:
  std::unique_ptr<TdxInspectorComplexRowItems> FItems;
};

class TdxInspectorComplexRowViewInfoItem : public TObject {
public:
  TVK_CLASS(TdxInspectorComplexRowViewInfoItem, TObject)
  explicit TdxInspectorComplexRowViewInfoItem(TdxInspectorRow* row) : FRow(row) {}
  const RECT& Bounds() const { return FBounds; }
  TdxInspectorRow* Row() const { return FRow; }
  bool Separator() const { return FSeparator; }

private:
  friend class TdxInspectorComplexRowViewInfo;
  RECT FBounds{};
  bool FFixed = false;
  int FMinWidth = 0;
  TdxInspectorRow* FRow;
  bool FSeparator = false;
  int FWidth = 0;
};

// The widths of a complex row's items in one cell: fixed items keep their
// width, proportional ones share the rest by weight, none below its minimum.
class TdxInspectorComplexRowViewInfo : public TObject {
public:
  TVK_CLASS(TdxInspectorComplexRowViewInfo, TObject)
  TdxInspectorComplexRowViewInfo(TdxInspectorComplexRow* row, int separatorWidth)
      : FRow(row), FSeparatorWidth(separatorWidth) {}
  void Calculate(const RECT& rect);
  void Clear() { FItems.clear(); }
  int Count() const { return int(FItems.size()); }
  bool Empty() const { return FItems.empty(); }
  const TdxInspectorComplexRowViewInfoItem& Items(int index) const { return *FItems[std::size_t(index)]; }

private:
  std::vector<std::unique_ptr<TdxInspectorComplexRowViewInfoItem>> FItems;
  TdxInspectorComplexRow* FRow;
  int FSeparatorWidth;
};

// The unit's start-up (drag bitmap, cursors) and shut-down; each runs once.
bool InspectorUnitStartup();
void InspectorUnitShutdown();

}  // namespace tvk
