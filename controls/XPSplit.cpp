#include "XPSplit.h"

#include "Application.h"
#include "Forms.h"
#include "InstrumentTypes.h"
#include "Maths.h"
#include "Registry.h"

#include <algorithm>
#include <cmath>

namespace tvk {

void (*SectionsRegistryBase)(WideString& basePath) = nullptr;

namespace {

constexpr double kEpsilon = 0.000001;

template <class F>
struct TScopeExit {
  F Run;
  ~TScopeExit() { Run(); }
};
template <class F>
TScopeExit(F) -> TScopeExit<F>;

}  // namespace

// ---- TXPSectionSplitter

TXPSectionSplitter::TXPSectionSplitter(TXPCustomSection* section) : TGraphicControl(section), FSection(section) {
  FHeight = 5;
  SetCursor(crVSplit);
}

TXPSectionSplitter::~TXPSectionSplitter() { StopSizing(); }

void TXPSectionSplitter::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Invalidate();
}

void TXPSectionSplitter::SetVertical(bool value) {
  FVertical = value;
  SetCursor(value ? crHSplit : crVSplit);
}

void TXPSectionSplitter::Paint() {
  if (OnPaint) OnPaint(this);
  else if (!FTransparent) {
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(ClientRect());
  }
}

int TXPSectionSplitter::ParentOffset(int x, int y) const {
  return FVertical ? x - FDownPos.x : y - FDownPos.y;
}

void TXPSectionSplitter::DrawLine() {
  if (!FDrag.Active()) return;
  FLineVisible = !FLineVisible;
  auto invert = [this](TXPSectionSplitter* s) {
    if (FVertical) FDrag.Invert(RECT{s->FNewSize, s->Top(), s->FNewSize + s->Width(), s->Top() + s->Height()});
    else FDrag.Invert(RECT{s->Left(), s->FNewSize, s->Left() + s->Width(), s->FNewSize + s->Height()});
  };
  TXPCustomSectionsPanel* panel = FSection->Panel();
  if (!panel || !panel->FExtendedResize) {
    invert(this);
    return;
  }
  for (TXPCustomSection* s : panel->VisibleSections())
    if (s->FSplitter->Visible()) invert(s->FSplitter);
}

void TXPSectionSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != TMouseButton::mbLeft || !Parent()) return;
  FInSizing = true;
  FDownPos = POINT{x, y};
  FOrigTop = Position();
  if (TXPCustomSectionsPanel* panel = FSection->Panel())
    for (TXPCustomSection* s : panel->SectionList()) s->FOrigHeight = s->Extent();
  FNewSize = FOrigTop;
  // Escape applies the position the line shows; other keys go to the focused control.
  // Only a call: ending the drag frees this handler while it runs.
  FDrag.Begin(*this, FResizeStyle == TResizeStyle::rsPattern,
              [this](TObject* sender, WORD& key, TShiftState sh) { KeyDuringDrag(sender, key, sh); });
  if (TXPCustomSectionsPanel* panel = FSection->Panel(); panel && panel->FExtendedResize) panel->Preview(FSection);
  if (FResizeStyle == TResizeStyle::rsLine || FResizeStyle == TResizeStyle::rsPattern) DrawLine();
}

void TXPSectionSplitter::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!FInSizing) return;
  // The bar may have moved under the mouse (rsUpdate): measure from its start.
  int proposed = FOrigTop + ParentOffset(x, y) + (Position() - FOrigTop);
  bool accept = true;
  if (OnCanResize) OnCanResize(this, proposed, accept);
  if (!accept) return;
  const bool line = FResizeStyle == TResizeStyle::rsLine || FResizeStyle == TResizeStyle::rsPattern;
  if (line && FLineVisible) DrawLine();
  FNewSize = proposed;
  if (TXPCustomSectionsPanel* panel = FSection->Panel(); panel && panel->FExtendedResize) panel->Preview(FSection);
  if (FResizeStyle == TResizeStyle::rsUpdate) ApplyMove();
  if (line) DrawLine();
}

void TXPSectionSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!FInSizing) return;
  if (FLineVisible) DrawLine();
  StopSizing();
  ApplyMove();
}

void TXPSectionSplitter::ApplyMove() {
  if (FNewSize == FOldSize) return;
  if (Parent() && Parent()->HandleAllocated()) UpdateWindow(Parent()->Handle());
  if (OnMoved) OnMoved(this);
  FOldSize = FNewSize;
}

void TXPSectionSplitter::KeyDuringDrag(TObject* sender, WORD& key, TShiftState shift) {
  if (key != VK_ESCAPE) return FDrag.PassKey(sender, key, shift);
  StopSizing();
  if (OnMoved) OnMoved(this);
  FOldSize = FNewSize;
}

void TXPSectionSplitter::StopSizing() {
  if (!FInSizing) return;
  FInSizing = false;
  if (FLineVisible) DrawLine();
  FDrag.End();
}

// ---- TXPCustomSection

TXPCustomSection::TXPCustomSection(TComponent* owner) : TXPNonFlickingControl(owner) {
  FSplitter = new TXPSectionSplitter(this);
  SetControlStyle(ControlStyle() | csAcceptsControls);
  FSplitter->SetHeight(5);
  FSplitter->SetMinSize(50);
  FSplitter->SetTransparent(true);
  FSplitter->OnCanResize = [this](TObject* s, int& n, bool& a) { SplitterCanResize(s, n, a); };
  FSplitter->OnMoved = [this](TObject* s) { SplitterMoved(s); };
  SetTabStop(false);
  FWidth = 185;
  FHeight = 41;
}

TXPCustomSection::~TXPCustomSection() {
  if (TXPCustomSectionsPanel* panel = Panel(); panel && panel->FLastResized == this) panel->FLastResized = nullptr;
}

TXPCustomSectionsPanel* TXPCustomSection::Panel() const { return dynamic_cast<TXPCustomSectionsPanel*>(Parent()); }

int TXPCustomSection::Extent() const {
  TXPCustomSectionsPanel* panel = Panel();
  return panel && panel->FHorizontal ? Width() : Height();
}

int TXPCustomSection::Position() const {
  TXPCustomSectionsPanel* panel = Panel();
  return panel && panel->FHorizontal ? Left() : Top();
}

void TXPCustomSection::SetShowBorder(bool value) {
  FShowBorder = value;
  Realign();
  Invalidate();
}

void TXPCustomSection::AdjustClientRect(RECT& rect) {
  TXPNonFlickingControl::AdjustClientRect(rect);
  if (FShowBorder) InflateRect(&rect, -1, -1);
}

void TXPCustomSection::SetBorderColor(TColor value) {
  FBorderColor = value;
  if (FShowBorder) Invalidate();
}

void TXPCustomSection::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  TXPCustomSectionsPanel* old = Panel();
  TXPNonFlickingControl::SetParent(parent);
  if (old) {
    old->NormalizeCoefs();
    old->Rearrange();
  }
  FSplitter->SetParent(parent);
  if (TXPCustomSectionsPanel* panel = Panel()) {
    FSplitter->SetResizeStyle(panel->FResizeStyle);
    FSplitter->SetHeight(panel->FSplitterWidth);
    panel->NormalizeCoefs();
    panel->Rearrange();
  }
}

void TXPCustomSection::ValidateContainer(TWinControl* container) {
  TXPNonFlickingControl::ValidateContainer(container);
  if (Owner() && !dynamic_cast<TXPCustomSectionsPanel*>(container))
    throw Exception(ClassName() + L" can be inserted only in TXPCustomSectionsPanel.");
}

void TXPCustomSection::SetBounds(int left, int top, int width, int height) {
  TXPNonFlickingControl::SetBounds(left, top, width, height);
  TXPCustomSectionsPanel* panel = Panel();
  if (!panel || (ComponentState() & (csLoading | csReading)) || panel->FInRearranging) return;
  const int a = panel->AvailableLength();
  if (a <= 0) return;
  FSizeCoef = double(Extent()) / a;
  double fixed = FSizeCoef, others = 0;
  auto visible = panel->VisibleSections();
  for (TXPCustomSection* s : visible)
    if (s != this) (s->FResizeable ? others : fixed) += s->FSizeCoef;
  if (others > 0)
    for (TXPCustomSection* s : visible)
      if (s != this && s->FResizeable) s->FSizeCoef *= (1 - fixed) / others;
  panel->Rearrange();
}

void TXPCustomSection::VisibleChanged() {
  FSplitter->SetVisible(Visible());
  if (TXPCustomSectionsPanel* panel = Panel()) panel->Rearrange();
}

void TXPCustomSection::CMVisibleChanged(TMessage& message) {
  TVK_INHERITED(message);
  VisibleChanged();
}

void TXPCustomSection::Resize() {
  TXPNonFlickingControl::Resize();
  Invalidate();
}

void TXPCustomSection::WMEraseBkgnd(TMessage& message) {
  TVK_INHERITED(message);
  if (FShowBorder && message.WParam) {
    RECT r = ClientRect();
    HBRUSH b = CreateSolidBrush(ColorToRGB(FBorderColor));
    FrameRect(reinterpret_cast<HDC>(message.WParam), &r, b);
    DeleteObject(b);
  }
}

void TXPCustomSection::SplitterCanResize(TObject*, int& newSize, bool& accept) {
  TXPCustomSectionsPanel* panel = Panel();
  accept = FResizeable && panel;
  if (!accept) return;
  const int pos = FSplitter->Position();
  if (newSize < pos) {
    newSize = std::max(newSize, Position() + (FResizeable ? FMinSize : Extent()));
  } else {
    const int clientExtent = panel->FHorizontal ? panel->ClientWidth() : panel->ClientHeight();
    const int farMargin = panel->FHorizontal ? panel->GetRightMargin() : panel->GetBottomMargin();
    newSize = std::min(newSize, clientExtent - farMargin - panel->FSplitterWidth - panel->SectionsLimit(this));
  }
}

void TXPCustomSection::SplitterMoved(TObject*) {
  TXPCustomSectionsPanel* panel = Panel();
  if (!panel) return;
  panel->FLastResized = this;
  panel->RecomputeCoefs(this);
  panel->NormalizeCoefs();
  panel->Rearrange();
}

TVK_MESSAGE_MAP(TXPCustomSection, {CM_VISIBLECHANGED, &TXPCustomSection::CMVisibleChanged},
                {WM_ERASEBKGND, &TXPCustomSection::WMEraseBkgnd})

// ---- TXPCustomSectionsPanel

TXPCustomSectionsPanel::TXPCustomSectionsPanel(TComponent* owner) : TXPNonFlickingControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
  FWidth = 185;
  FHeight = 185;
  SetTabStop(false);
}

TXPCustomSectionsPanel::~TXPCustomSectionsPanel() {
  if (FSaveInRegistry) {
    try {
      SaveLayout();
    } catch (...) {
      // A layout that cannot be kept is not worth failing the destruction for.
    }
  }
  FLastResized = nullptr;
  BeginUpdate();  // no layout while the sections go
}

void TXPCustomSectionsPanel::CreateParams(TCreateParams& params) {
  TXPNonFlickingControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
  params.WindowClassStyle &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TXPCustomSectionsPanel::ValidateInsert(TControl* control) {
  TXPNonFlickingControl::ValidateInsert(control);
  if (!dynamic_cast<TXPCustomSection*>(control) && !dynamic_cast<TXPSectionSplitter*>(control))
    throw Exception(control->ClassName() + L" can't be inserted into " + ClassName() + L".");
}

std::vector<TXPCustomSection*> TXPCustomSectionsPanel::SectionList() const {
  std::vector<TXPCustomSection*> list;
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* s = dynamic_cast<TXPCustomSection*>(Controls(i))) list.push_back(s);
  return list;
}

bool TXPCustomSectionsPanel::IsSectionVisible(TXPCustomSection* section) {
  return section->Visible() || (ComponentState() & csDesigning);
}

std::vector<TXPCustomSection*> TXPCustomSectionsPanel::VisibleSections() {
  std::vector<TXPCustomSection*> list;
  for (TXPCustomSection* s : SectionList())
    if (IsSectionVisible(s)) list.push_back(s);
  return list;
}

int TXPCustomSectionsPanel::SectionCount() const { return int(SectionList().size()); }

TXPCustomSection* TXPCustomSectionsPanel::Sections(int index) const { return SectionList().at(std::size_t(index)); }

int TXPCustomSectionsPanel::AvailableLength() {
  const int n = int(VisibleSections().size());
  const int length = FHorizontal ? ClientWidth() - GetLeftMargin() - GetRightMargin()
                                 : ClientHeight() - GetTopMargin() - GetBottomMargin();
  return length - std::max(n - 1, 0) * FSplitterWidth;
}

void TXPCustomSectionsPanel::SetMargin(int value) {
  if (value == FMargin) return;
  FMargin = value;
  Rearrange();
}

void TXPCustomSectionsPanel::SetSplitterWidth(int value) {
  if (value == FSplitterWidth) return;
  FSplitterWidth = value;
  Rearrange();
}

void TXPCustomSectionsPanel::SetHorizontal(bool value) {
  FHorizontal = value;
  Rearrange();
}

void TXPCustomSectionsPanel::SetResizeMode(TXPResizeMode value) {
  if (value == FResizeMode) return;
  FResizeMode = value;
  if (value == TXPResizeMode::xrmProportional) InitCoefsFromExtents();
}

void TXPCustomSectionsPanel::SetResizeStyle(TResizeStyle value) {
  if (value == FResizeStyle) return;
  FResizeStyle = value;
  for (TXPCustomSection* s : SectionList()) s->FSplitter->SetResizeStyle(value);
}

TXPCustomSection* TXPCustomSectionsPanel::CreateSection(TComponent* owner) { return new TXPSection(owner); }

TXPCustomSection* TXPCustomSectionsPanel::AddNewSection() {
  auto* section = CreateSection(Owner());
  AddSection(section);
  return section;
}

void TXPCustomSectionsPanel::AddSection(TXPCustomSection* section, bool keepSizeCoef) {
  if (section->Parent() == this) return;
  BeginUpdate();
  TScopeExit end{[this] { EndUpdate(); }};
  if (!keepSizeCoef) {
    auto list = SectionList();
    section->FSizeCoef = list.empty() ? 1.0 : list.back()->FSizeCoef;
  }
  section->SetParent(this);
}

void TXPCustomSectionsPanel::RemoveSection(TXPCustomSection* section) {
  if (section->Parent() != this) return;
  BeginUpdate();
  TScopeExit end{[this] { EndUpdate(); }};
  section->SetParent(nullptr);
}

void TXPCustomSectionsPanel::ClearSections() {
  BeginUpdate();
  TScopeExit end{[this] { EndUpdate(); }};
  auto list = SectionList();
  for (auto it = list.rbegin(); it != list.rend(); ++it) delete *it;
}

void TXPCustomSectionsPanel::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0 && !(ComponentState() & (csLoading | csReading))) {
    NormalizeCoefs();
    Rearrange();
  }
}

void TXPCustomSectionsPanel::NormalizeCoefs() {
  if (FResizeMode != TXPResizeMode::xrmProportional || FUpdateCount > 0 || FInRearranging) return;
  auto list = SectionList();
  double sum = 0;
  for (TXPCustomSection* s : list) sum += s->FSizeCoef;
  // Coefficients that sum to nothing cannot be scaled to 1: they stay.
  if (sum == 1.0 || std::fabs(sum) <= kEpsilon) return;
  for (TXPCustomSection* s : list) s->FSizeCoef /= sum;
}

void TXPCustomSectionsPanel::InitCoefsFromExtents() {
  const int a = AvailableLength();
  if (a <= 0) return;
  for (TXPCustomSection* s : SectionList()) s->FSizeCoef = double(s->Extent()) / a;
  NormalizeCoefs();
}

void TXPCustomSectionsPanel::Loaded() {
  TXPNonFlickingControl::Loaded();
  InitCoefsFromExtents();
  if (!(FSaveInRegistry && LoadLayout())) Rearrange();
}

void TXPCustomSectionsPanel::Resize() {
  TXPNonFlickingControl::Resize();
  Rearrange();
  Invalidate();
}

std::vector<int> TXPCustomSectionsPanel::ComputeSizes(const std::vector<TXPCustomSection*>& visible, int a) {
  const std::size_t n = visible.size();
  std::vector<int> sizes(n, 0);
  double w = 0;
  for (TXPCustomSection* s : visible) w += s->FSizeCoef;
  int remaining = a;
  std::size_t start = 0;
  // The section just resized keeps its new size; those before it theirs.
  if (auto it = std::find(visible.begin(), visible.end(), FLastResized); it != visible.end()) {
    std::size_t k = std::size_t(it - visible.begin());
    for (std::size_t i = 0; i < k; ++i) sizes[i] = visible[i]->Extent();
    sizes[k] = FLastResized->FSplitter->NewSize() - FLastResized->Position();
    for (std::size_t i = 0; i <= k; ++i) remaining -= std::abs(sizes[i]);
    start = k + 1;
  }
  double flexible = 0;
  for (std::size_t i = start; i < n; ++i) {
    TXPCustomSection* s = visible[i];
    if (!s->FResizeable || std::fabs(w) <= kEpsilon) {
      sizes[i] = s->Extent();
    } else {
      int ideal = int(Round(a * s->FSizeCoef / w));
      if (s->FMinSize >= ideal) sizes[i] = -s->FMinSize;  // clamped
      else {
        flexible += s->FSizeCoef;
        continue;
      }
    }
    remaining -= std::abs(sizes[i]);
  }
  std::size_t last = n;
  if (flexible > kEpsilon)
    for (std::size_t i = start; i < n; ++i)
      if (sizes[i] == 0 && visible[i]->FResizeable && std::fabs(w) > kEpsilon) {
        sizes[i] = int(Round(remaining * visible[i]->FSizeCoef / flexible));
        last = i;
      }
  auto absSum = [&] {
    int sum = 0;
    for (int v : sizes) sum += std::abs(v);
    return sum;
  };
  if (last < n) sizes[last] = a - (absSum() - std::abs(sizes[last]));
  if (absSum() < a) {
    // Clamped sections share the free length with their minimums.
    int minimums = 0;
    double p = 0;
    for (std::size_t i = 0; i < n; ++i)
      if (sizes[i] < 0) {
        minimums += -sizes[i];
        p += visible[i]->FSizeCoef;
      }
    const int e = a - absSum() + minimums;
    if (p > kEpsilon)
      for (std::size_t i = 0; i < n; ++i)
        if (sizes[i] < 0) {
          sizes[i] = int(Round(e * visible[i]->FSizeCoef / p));
          visible[i]->FSizeCoef = visible[i]->FSizeCoef / p * e / a;
        }
  }
  for (int& v : sizes) v = std::abs(v);
  return sizes;
}

void TXPCustomSectionsPanel::Rearrange() {
  if (FUpdateCount > 0 || FInRearranging || !HandleAllocated()) return;
  FInRearranging = true;
  auto sections = SectionList();
  for (TXPCustomSection* s : sections) s->FSplitter->SetVertical(FHorizontal);
  TScopeExit done{[&] {
    FLastResized = nullptr;
    FInRearranging = false;
  }};
  auto visible = VisibleSections();
  const int a = AvailableLength();
  std::vector<int> sizes = ComputeSizes(visible, a);
  const int crossStart = FHorizontal ? GetTopMargin() : GetLeftMargin();
  const int crossLength = FHorizontal ? ClientHeight() - GetTopMargin() - GetBottomMargin()
                                      : ClientWidth() - GetLeftMargin() - GetRightMargin();
  int position = FHorizontal ? GetLeftMargin() : GetTopMargin();
  HDWP batch = BeginDeferWindowPos(int(visible.size()));
  for (std::size_t i = 0; i < visible.size(); ++i) {
    TXPCustomSection* s = visible[i];
    const int size = std::max(sizes[i], s->FMinSize);
    RECT r = FHorizontal ? RECT{position, crossStart, position + size, crossStart + crossLength}
                         : RECT{crossStart, position, crossStart + crossLength, position + size};
    if (batch && s->HandleAllocated())
      batch = DeferWindowPos(batch, s->Handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                             SWP_NOZORDER | SWP_NOACTIVATE);
    else
      s->TXPNonFlickingControl::SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    s->FSplitter->SetVisible(true);
    if (FHorizontal) s->FSplitter->SetBounds(position + size, crossStart, FSplitterWidth, crossLength);
    else s->FSplitter->SetBounds(crossStart, position + size, crossLength, FSplitterWidth);
    s->SetTabOrder(int(i));
    position += size + FSplitterWidth;
  }
  if (batch) EndDeferWindowPos(batch);
  if (!visible.empty()) visible.back()->FSplitter->SetVisible(false);
  for (TXPCustomSection* s : sections)
    if (!IsSectionVisible(s)) s->FSplitter->SetVisible(false);
  for (TXPCustomSection* s : visible) s->Invalidate();
}

void TXPCustomSectionsPanel::RecomputeCoefs(TXPCustomSection* dragged) {
  auto visible = VisibleSections();
  auto it = std::find(visible.begin(), visible.end(), dragged);
  if (it == visible.end()) return;
  const std::size_t i = std::size_t(it - visible.begin()), n = visible.size();
  TXPSectionSplitter* bar = dragged->FSplitter;
  const int a = AvailableLength();
  switch (FResizeMode) {
    case TXPResizeMode::xrmStandard: {
      const int d = bar->NewSize() - bar->Position();
      for (TXPCustomSection* s : visible) s->FSizeCoef = s->Extent();
      dragged->FSizeCoef = dragged->Extent() + d;
      // The last resizable section takes what is left.
      for (std::size_t k = n; k-- > 0;)
        if (visible[k]->FResizeable) {
          double others = 0;
          for (std::size_t j = 0; j < n; ++j)
            if (j != k) others += visible[j]->FSizeCoef;
          visible[k]->FSizeCoef = a - others;
          break;
        }
      break;
    }
    case TXPResizeMode::xrmAdjacent: {
      const int d = bar->NewSize() - bar->OrigTop();
      for (TXPCustomSection* s : visible) s->FSizeCoef = s->FOrigHeight;
      dragged->FSizeCoef = dragged->FOrigHeight + d;
      // The next sections give what the move takes, each down to its minimum.
      int shortfall = d;
      for (std::size_t k = i + 1; k < n && shortfall != 0; ++k) {
        double value = visible[k]->FOrigHeight - shortfall;
        if (value < visible[k]->FMinSize) {
          shortfall = int(visible[k]->FMinSize - value);
          value = visible[k]->FMinSize;
        } else {
          shortfall = 0;
        }
        visible[k]->FSizeCoef = value;
      }
      break;
    }
    case TXPResizeMode::xrmProportional: {
      const int clientExtent = (FHorizontal ? ClientWidth() : ClientHeight()) -
                               (FHorizontal ? GetRightMargin() : GetBottomMargin());
      dragged->FSizeCoef = double(bar->NewSize() - dragged->Position()) / a;
      const double q = clientExtent - bar->NewSize() - FSplitterWidth * (int(n) - 1);
      const double h = i + 1 < n ? clientExtent - visible[i + 1]->Position() - FSplitterWidth * (int(n) - 2) : 0;
      if (std::fabs(h) > kEpsilon)
        for (TXPCustomSection* s : visible)
          if (s != dragged) s->FSizeCoef *= q / h;
      NormalizeCoefs();
      break;
    }
  }
}

int TXPCustomSectionsPanel::SectionsLimit(TXPCustomSection* section) {
  auto visible = VisibleSections();
  auto it = std::find(visible.begin(), visible.end(), section);
  if (it == visible.end()) return 0;
  int lastResizable = -1;
  for (int k = int(visible.size()) - 1; k >= 0; --k)
    if (visible[std::size_t(k)]->FResizeable) {
      lastResizable = k;
      break;
    }
  int room = 0, count = 0;
  for (auto k = it + 1; k != visible.end(); ++k, ++count) {
    TXPCustomSection* s = *k;
    const bool keepsExtent = !s->FResizeable || (FResizeMode == TXPResizeMode::xrmStandard &&
                                                 int(k - visible.begin()) != lastResizable);
    room += keepsExtent ? s->Extent() : s->FMinSize;
  }
  return room + std::max(count - 1, 0) * FSplitterWidth;
}

void TXPCustomSectionsPanel::Preview(TXPCustomSection* section) {
  FLastResized = section;
  if (FResizeMode != TXPResizeMode::xrmProportional) RecomputeCoefs(section);
  auto visible = VisibleSections();
  std::vector<int> sizes = ComputeSizes(visible, AvailableLength());
  int position = FHorizontal ? GetLeftMargin() : GetTopMargin();
  for (std::size_t i = 0; i < visible.size(); ++i) {
    position += std::max(sizes[i], visible[i]->FMinSize);
    visible[i]->FSplitter->FNewSize = position;
    position += FSplitterWidth;
  }
}

WideString TXPCustomSectionsPanel::LayoutKey() {
  WideString key = FRegistryKey;
  if (SectionsRegistryBase) {
    WideString base;
    SectionsRegistryBase(base);
    WideString leaf = !FRegistryKey.empty() ? FRegistryKey : Owner() ? Owner()->ClassName() : Name();
    key = base + L"\\" + leaf;
  }
  return (ComponentState() & csDesigning) ? WideString() : key;
}

bool TXPCustomSectionsPanel::LoadLayout() {
  const WideString key = LayoutKey();
  if (key.empty()) return false;
  BeginUpdate();
  TScopeExit end{[this] { EndUpdate(); }};
  TRegistryIniFile ini(key);
  auto list = SectionList();
  for (std::size_t i = 0; i < list.size(); ++i) LoadSectionLayout(list[i], ini, int(i));
  return true;
}

void TXPCustomSectionsPanel::SaveLayout() {
  const WideString key = LayoutKey();
  if (key.empty()) return;
  TRegistryIniFile ini(key);
  auto list = SectionList();
  for (std::size_t i = 0; i < list.size(); ++i) SaveSectionLayout(list[i], ini, int(i));
}

void TXPCustomSectionsPanel::LoadSectionLayout(TXPCustomSection* section, TRegistryIniFile& ini, int index) {
  const WideString i = std::to_wstring(index);
  section->FSizeCoef = ini.ReadFloat(L"", Name() + L"_SizeCoef" + i, section->FSizeCoef);
  section->SetVisible(ini.ReadBool(L"", Name() + L"_Visibility" + i, section->Visible()));
}

void TXPCustomSectionsPanel::SaveSectionLayout(TXPCustomSection* section, TRegistryIniFile& ini, int index) {
  const WideString i = std::to_wstring(index);
  ini.WriteFloat(L"", Name() + L"_SizeCoef" + i, section->FSizeCoef);
  ini.WriteBool(L"", Name() + L"_Visibility" + i, section->Visible());
}

void TXPCustomSectionsPanel::WMEraseBkgnd(TMessage& message) { TVK_INHERITED(message); }

TVK_MESSAGE_MAP(TXPCustomSectionsPanel, {WM_ERASEBKGND, &TXPCustomSectionsPanel::WMEraseBkgnd})

// ---- Collapsible sections

void TXPCollapseProperties::Assign(const TPersistent& source) {
  if (const auto* other = dynamic_cast<const TXPCollapseProperties*>(&source)) {
    FAnimationKind = other->FAnimationKind;
    FSteps = other->FSteps;
    FInterval = other->FInterval;
    return;
  }
  TPersistent::Assign(source);
}

TXPArrowButton::TXPArrowButton(TComponent* owner, const WideString& resName) : TXPTransButton(owner, resName, false) {
  SetControlStyle(ControlStyle() | csNoDesignVisible);
  SetShowHint(true);
}

WideString TXPArrowButton::HintText() {
  THintInfo info;
  info.HintControl = this;
  info.HintStr = Hint();
  TMessage message{CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info), 0};
  Perform(message.Msg, message.WParam, message.LParam);
  return info.HintStr;
}

void TXPArrowButton::CMHintShow(TMessage& message) {
  auto* info = reinterpret_cast<THintInfo*>(message.LParam);
  if (!info) return;
  TList list;
  GetButtonSections(list);
  if (list.Count() > 0) {
    auto* first = static_cast<TXPCustomCollapseSection*>(list.Items(0));
    if (!IsExpandButton()) info->HintStr = L"Hide " + first->Caption();
    else if (list.Count() == 1) info->HintStr = L"Show " + first->Caption();
    else info->HintStr = L"Show hidden sections";
  }
  auto* section = dynamic_cast<TXPCustomCollapseSection*>(Owner());
  auto* panel = section ? dynamic_cast<TXPCustomCollapseSectionsPanel*>(section->Parent()) : nullptr;
  if (panel && panel->OnGetButtonHint) panel->OnGetButtonHint(panel, list, IsExpandButton(), info->HintStr);
}

TVK_MESSAGE_MAP(TXPArrowButton, {CM_HINTSHOW, &TXPArrowButton::CMHintShow})

void TXPCollapseButton::GetButtonSections(TList& list) {
  if (Owner()) list.Add(Owner());
}

void TXPExpandButton::SetMultiple(bool value) {
  if (value == FMultiple) return;
  FMultiple = value;
  UpdateGlyph(value ? L"XPEXPANDSECTIONS" : L"XPEXPANDSECTION");
}

void TXPExpandButton::GetButtonSections(TList& list) {
  list.Clear();
  for (int i = 0; i < FList.Count(); ++i) list.Add(FList.Items(i));
}

TXPCustomCollapseSection::TXPCustomCollapseSection(TComponent* owner) : TXPCustomSection(owner) {
  FCollapseBtn = new TXPCollapseButton(this);
  FExpandBtn = new TXPExpandButton(this);
  FCollapseBtn->FreeNotification(this);
  FExpandBtn->FreeNotification(this);
  FCollapseBtn->SetVisible(false);
  FExpandBtn->SetVisible(false);
  FCollapseBtn->OnClick = [this](TObject*) { UserSetCollapsed(true); };
  FExpandBtn->OnClick = [this](TObject*) { ExpandClick(); };
}

TXPCustomCollapseSection::~TXPCustomCollapseSection() {
  // The shared button of a run must not keep a section that is gone.
  if (auto* panel = dynamic_cast<TXPCustomCollapseSectionsPanel*>(Parent()))
    for (TXPCustomCollapseSection* s : panel->CollapseSections())
      if (s->FExpandBtn) s->FExpandBtn->RemoveSection(this);
  delete FCollapseBtn;
  delete FExpandBtn;
}

void TXPCustomCollapseSection::Notification(TComponent* component, TOperation operation) {
  TXPCustomSection::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == FCollapseBtn) FCollapseBtn = nullptr;
  if (component == FExpandBtn) FExpandBtn = nullptr;
}

void TXPCustomCollapseSection::SetParent(TWinControl* parent) {
  TXPCustomSection::SetParent(parent);
  if (FCollapseBtn) FCollapseBtn->SetParent(Parent());
  if (FExpandBtn) FExpandBtn->SetParent(Parent());
}

void TXPCustomCollapseSection::AlignButton() {
  if (!FCollapseBtn) return;
  FCollapseBtn->SetBounds(Left() + ClientWidth() + 2, Top() + 2, FCollapseBtn->Width(), FCollapseBtn->Height());
}

void TXPCustomCollapseSection::CallAlignButton() {
  if (!HandleAllocated() || FInAlignButton) return;
  FInAlignButton = true;
  TScopeExit reset{[this] { FInAlignButton = false; }};
  AlignButton();
}

void TXPCustomCollapseSection::Loaded() {
  TXPCustomSection::Loaded();
  CallAlignButton();
}

void TXPCustomCollapseSection::WMWindowPosChanged(TMessage& message) {
  TVK_INHERITED(message);
  CallAlignButton();
}

void TXPCustomCollapseSection::CreateParams(TCreateParams& params) {
  TXPCustomSection::CreateParams(params);
  if (FCollapsed) params.Style &= ~DWORD(WS_VISIBLE);
}

void TXPCustomCollapseSection::CMShowingChanged(TMessage&) {
  if (!HandleAllocated()) return;
  TWinControl* parent = Parent();
  const bool shown = Visible() && !FCollapsed && (!parent || parent->Showing() || !parent->HandleAllocated());
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, shown ? 0x57 : 0x97);
  bool last = true;
  if (auto* panel = dynamic_cast<TXPCustomSectionsPanel*>(parent)) {
    auto visible = panel->VisibleSections();
    last = visible.empty() || visible.back() == this;
  }
  Splitter()->SetVisible(shown && !last);
}

void TXPCustomCollapseSection::SetCollapsed(bool value) {
  if (!FCollapsible) return;
  if (value) {
    auto* panel = dynamic_cast<TXPCustomCollapseSectionsPanel*>(Parent());
    if (panel && !panel->CanCollapse()) return;
  }
  ChangeCollapsed(value);
}

void TXPCustomCollapseSection::UserSetCollapsed(bool value) {
  FUserCollapsing = true;
  TScopeExit reset{[this] { FUserCollapsing = false; }};
  SetCollapsed(value);
}

void TXPCustomCollapseSection::SetCollapsible(bool value) {
  if (value == FCollapsible) return;
  FCollapsible = value;
  if (!value) ChangeCollapsed(false);
  if (TXPCustomSectionsPanel* panel = Panel()) panel->Rearrange();
}

void TXPCustomCollapseSection::VisibleChanged() {
  // A section made visible again always shows expanded.
  if (Visible() && FCollapsible) ChangeCollapsed(false);
  TXPCustomSection::VisibleChanged();
}

void TXPCustomCollapseSection::ChangeCollapsed(bool value) {
  if (value == FCollapsed) return;
  FCollapsed = value;
  if (value) DoCollapsing();
  else DoExpanding();
  auto* panel = dynamic_cast<TXPCustomCollapseSectionsPanel*>(Parent());
  if (panel && FUserCollapsing && panel->CollapseProperties().AnimationKind() != TXPAnimationKind::xakNone)
    Animate(value);
  if (HandleAllocated()) Perform(CM_SHOWINGCHANGED);
  if (TXPCustomSectionsPanel* p = Panel()) p->Rearrange();
  if (value) DoCollapse();
  else DoExpand();
}

void TXPCustomCollapseSection::Animate(bool collapsing) {
  auto* panel = static_cast<TXPCustomCollapseSectionsPanel*>(Parent());
  if (!HandleAllocated() || !panel->HandleAllocated()) return;
  auto screenRect = [](TControl& c) {
    POINT origin = c.ClientToScreen(POINT{0, 0});
    return RECT{origin.x, origin.y, origin.x + c.Width(), origin.y + c.Height()};
  };
  const RECT sectionRect = screenRect(*this);
  RECT buttonRect{};
  if (collapsing) {
    if (FCollapseBtn) buttonRect = screenRect(*FCollapseBtn);
  } else {
    if (FExpandBtn) buttonRect = screenRect(*FExpandBtn);
    // The shared button of the run: the last visible one up to this section.
    for (TXPCustomCollapseSection* s : panel->CollapseSections()) {
      if (s->FExpandBtn && s->FExpandBtn->Visible()) buttonRect = screenRect(*s->FExpandBtn);
      if (s == this) break;
    }
  }
  const TXPCollapseProperties& props = panel->CollapseProperties();
  const RECT from = collapsing ? sectionRect : buttonRect, to = collapsing ? buttonRect : sectionRect;
  switch (props.AnimationKind()) {
    case TXPAnimationKind::xakFocusRects:
      AnimateFocusRects(from, to, props.Steps(), props.Interval());
      break;
    case TXPAnimationKind::xakFading:
      AnimateSlide(*this, collapsing, from, to, props.Steps(), props.Interval());
      break;
    case TXPAnimationKind::xakSliding:
      SlideWindow(Handle(), DWORD(props.Interval()), collapsing ? 0x50009 : 0x40006);
      break;
    default:
      break;
  }
}

void TXPCustomCollapseSection::ExpandClick() {
  if (!FExpandBtn) return;
  if (!FExpandBtn->Multiple()) {
    TList list;
    FExpandBtn->GetButtonSections(list);
    if (list.Count() > 0) static_cast<TXPCustomCollapseSection*>(list.Items(0))->UserSetCollapsed(false);
    return;
  }
  if (auto* panel = dynamic_cast<TXPCustomCollapseSectionsPanel*>(Parent())) panel->PopupHiddenMenu(FExpandBtn);
}

void TXPCustomCollapseSection::DoCollapse() {
  if (OnCollapse) OnCollapse(this);
}
void TXPCustomCollapseSection::DoExpand() {
  if (OnExpand) OnExpand(this);
}
void TXPCustomCollapseSection::DoCollapsing() {
  if (OnCollapsing) OnCollapsing(this);
}
void TXPCustomCollapseSection::DoExpanding() {
  if (OnExpanding) OnExpanding(this);
}

TVK_MESSAGE_MAP(TXPCustomCollapseSection, {CM_SHOWINGCHANGED, &TXPCustomCollapseSection::CMShowingChanged},
                {WM_WINDOWPOSCHANGED, &TXPCustomCollapseSection::WMWindowPosChanged})

TXPCustomCollapseSectionsPanel::TXPCustomCollapseSectionsPanel(TComponent* owner)
    : TXPCustomSectionsPanel(owner), FCollapseProps(std::make_unique<TXPCollapseProperties>()) {
  FHiddenPopupMenu = new TXPExpandPopupMenu(this);
}

TXPCustomCollapseSectionsPanel::~TXPCustomCollapseSectionsPanel() = default;

std::vector<TXPCustomCollapseSection*> TXPCustomCollapseSectionsPanel::CollapseSections() const {
  std::vector<TXPCustomCollapseSection*> list;
  for (TXPCustomSection* s : SectionList())
    if (auto* c = dynamic_cast<TXPCustomCollapseSection*>(s)) list.push_back(c);
  return list;
}

TXPCustomSection* TXPCustomCollapseSectionsPanel::CreateSection(TComponent* owner) {
  return new TXPCollapseSection(owner);
}

bool TXPCustomCollapseSectionsPanel::IsSectionVisible(TXPCustomSection* section) {
  auto* c = dynamic_cast<TXPCustomCollapseSection*>(section);
  return (section->Visible() && !(c && c->Collapsed())) || (ComponentState() & csDesigning);
}

bool TXPCustomCollapseSectionsPanel::CanCollapse() { return FCanCloseAll || VisibleSections().size() > 1; }

void TXPCustomCollapseSectionsPanel::SetCanCloseAll(bool value) {
  if (value == FCanCloseAll) return;
  FCanCloseAll = value;
  UpdateButtons();
}

int TXPCustomCollapseSectionsPanel::GetTopMargin() {
  auto list = CollapseSections();
  const bool anyCollapsible = std::any_of(list.begin(), list.end(), [](auto* s) { return s->Collapsible(); });
  auto sections = SectionList();
  if (!sections.empty() && anyCollapsible && !IsSectionVisible(sections.front()))
    return Margin() >= 8 ? Margin() : 7;
  return Margin();
}

int TXPCustomCollapseSectionsPanel::GetRightMargin() {
  auto list = CollapseSections();
  if (std::any_of(list.begin(), list.end(), [](auto* s) { return s->Collapsible(); }))
    return Margin() < 14 ? 13 : Margin();
  return Margin();
}

int TXPCustomCollapseSectionsPanel::GetBottomMargin() {
  auto sections = SectionList();
  if (!sections.empty() && !IsSectionVisible(sections.back())) return std::max(SplitterWidth() + 2, Margin());
  return Margin();
}

void TXPCustomCollapseSectionsPanel::Rearrange() {
  TXPCustomSectionsPanel::Rearrange();
  UpdateButtons();
}

void TXPCustomCollapseSectionsPanel::PlaceExpandButton(TXPExpandButton* button, int index) {
  auto sections = SectionList();
  int y = -1;
  for (std::size_t k = std::size_t(index) + 1; k < sections.size() && y < 0; ++k)
    if (IsSectionVisible(sections[k])) y = sections[k]->Top();
  if (y < 0) {
    auto visible = VisibleSections();
    y = visible.empty() ? GetTopMargin() : visible.back()->Top() + visible.back()->Height() + SplitterWidth();
  }
  button->SetTop(y - std::max(SplitterWidth(), button->Height()));
}

void TXPCustomCollapseSectionsPanel::UpdateButtons() {
  if (FUpdateCount > 0 || FInRearranging2 || !HandleAllocated()) return;
  FInRearranging2 = true;
  DisableAlign();
  TScopeExit done{[this] {
    EnableAlign();
    FInRearranging2 = false;
  }};
  const bool canCollapse = CanCollapse();
  TXPCustomCollapseSection* leader = nullptr;
  auto sections = SectionList();
  for (std::size_t i = 0; i < sections.size(); ++i) {
    auto* s = dynamic_cast<TXPCustomCollapseSection*>(sections[i]);
    if (!s) {
      leader = nullptr;
      continue;
    }
    const bool shown = IsSectionVisible(s);
    if (s->FCollapseBtn) s->FCollapseBtn->SetVisible(canCollapse && shown && s->Collapsible());
    TXPExpandButton* expand = s->FExpandBtn;
    if (!expand) continue;
    expand->SetVisible(s->Visible() && !shown && s->Collapsible());
    if (!expand->Visible()) {
      leader = nullptr;
    } else if (leader && leader->FExpandBtn) {
      leader->FExpandBtn->SetMultiple(true);
      leader->FExpandBtn->AddSection(s);
      PlaceExpandButton(leader->FExpandBtn, int(i));
      expand->SetVisible(false);
    } else {
      leader = s;
      expand->SetMultiple(false);
      expand->ClearSections();
      expand->AddSection(s);
      expand->SetLeft(ClientWidth() - GetRightMargin() + 2);
      PlaceExpandButton(expand, int(i));
    }
  }
}

void TXPCustomCollapseSectionsPanel::PopupHiddenMenu(TXPExpandButton* button) {
  TMenuItem& items = FHiddenPopupMenu->Items();
  items.Clear();
  TList list;
  button->GetButtonSections(list);
  for (int i = 0; i < list.Count(); ++i) {
    auto* section = static_cast<TXPCustomCollapseSection*>(list.Items(i));
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(section->Caption());
    item->OnClick = [section](TObject*) { section->UserSetCollapsed(false); };
    items.Add(item);
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  FHiddenPopupMenu->Popup(cursor.x, cursor.y);
}

void TXPCustomCollapseSectionsPanel::LoadSectionLayout(TXPCustomSection* section, TRegistryIniFile& ini, int index) {
  TXPCustomSectionsPanel::LoadSectionLayout(section, ini, index);
  if (auto* c = dynamic_cast<TXPCustomCollapseSection*>(section))
    c->SetCollapsed(ini.ReadBool(L"", Name() + L"_Collapsed" + std::to_wstring(index), c->Collapsed()));
}

void TXPCustomCollapseSectionsPanel::SaveSectionLayout(TXPCustomSection* section, TRegistryIniFile& ini, int index) {
  TXPCustomSectionsPanel::SaveSectionLayout(section, ini, index);
  if (auto* c = dynamic_cast<TXPCustomCollapseSection*>(section))
    ini.WriteBool(L"", Name() + L"_Collapsed" + std::to_wstring(index), c->Collapsed());
}

void TXPCustomCollapseSectionsPanel::ValidateInsert(TControl* control) {
  if (control->Is<TXPCollapseButton>() || control->Is<TXPExpandButton>()) return;
  TXPCustomSectionsPanel::ValidateInsert(control);
}

}  // namespace tvk
