#include "dxPopupToolBar.h"

#include "Clipbrd.h"
#include "EditorsClassicResources.h"
#include "ResStrings.h"
#include "WindowClasses.h"
#include "dxExEdtr.h"
#include "dxGraphicEdit.h"
#include "dxUtils.h"

#include <algorithm>

namespace tvk {

namespace {

// One row per command button: its glyph.
struct TToolBarButtonRow {
  const wchar_t* Glyph;
};
constexpr std::array<TToolBarButtonRow, kPopupToolBarButtonCount - 1> kToolBarButtonRows{{
    {L"DXTOOL_CUT"}, {L"DXTOOL_COPY"}, {L"DXTOOL_PASTE"}, {L"DXTOOL_DELETE"}, {L"DXTOOL_LOAD"}, {L"DXTOOL_SAVE"},
}};

std::unique_ptr<TImageList> gToolbarImages;

constexpr int kToolBarButtonHeight = 22;
constexpr int kToolBarCaptionPadding = 9;  // around the text in a captioned button
// The edit menu's item positions of Cut, Copy, Paste, Delete, Load and Save (4 is a separator).
constexpr std::array<int, 6> kEditMenuPositions{0, 1, 2, 3, 5, 6};

TResStringRec gToolboxCaption(IDS_sdxToolboxCaption);

SIZE MeasureText(TFont& font, const WideString& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size;
}

}  // namespace

const WideString& PopupToolBarCaption(TdxPopupToolBarButton button) { return ToolbarButtonCaption(int(button)); }
const WideString& PopupToolBarHint(TdxPopupToolBarButton button) { return ToolbarButtonHint(int(button)); }

TImageList& GetToolbarImages() {
  if (!gToolbarImages) {
    auto list = std::make_unique<TImageList>(nullptr);
    bool sized = false;
    for (const TToolBarButtonRow& row : kToolBarButtonRows) {
      TBitmap glyph;
      glyph.LoadFromResourceName(ClassLibraryInstance(), row.Glyph);
      if (!sized) {
        list->SetSize(glyph.Width(), glyph.Height());
        sized = true;
      }
      list->AddMasked(glyph, glyph.TransparentColor());
    }
    gToolbarImages = std::move(list);
  }
  return *gToolbarImages;
}

bool ToolbarImagesCreated() { return gToolbarImages != nullptr; }
void FreeToolbarImages() { gToolbarImages.reset(); }

// --- the toolbar

TdxPopupToolBar::TdxPopupToolBar(TComponent* owner) : TForm(owner, kCreateNew) {
  TBitmap previous;
  for (int i = 0; i < kPopupToolBarButtonCount; ++i) {
    TBitmap glyph;
    if (i < int(kToolBarButtonRows.size())) {
      glyph.LoadFromResourceName(ClassLibraryInstance(), kToolBarButtonRows[std::size_t(i)].Glyph);
    } else {
      // The custom button's blank glyph, of the previous glyph's size.
      glyph.SetSize(previous.Width(), previous.Height());
      RECT r{0, 0, previous.Width(), previous.Height()};
      FillRect(glyph.Canvas().Handle(), &r, GetSysColorBrush(COLOR_BTNFACE));
    }
    const auto button = TdxPopupToolBarButton(i);
    FButtons[std::size_t(i)] = CreateButton(PopupToolBarCaption(button), PopupToolBarHint(button), glyph);
    previous.Assign(glyph);
  }
  FToolBarButtons = kDefaultPopupToolBarButtons;
  FShowCaptions = true;
  FToolBarAlignment = ptaRight;
  SetBorderIcons(biSystemMenu);
  SetBorderStyle(TFormBorderStyle::bsToolWindow);
  SetCaption(LoadResString(&gToolboxCaption));
  SetShowHint(true);
  FClipboardFormat = PictureClipFormat();
}

TdxPopupToolBar::~TdxPopupToolBar() {
  FEditPopupMenu.reset();
  LeaveClipboardChain();
}

TSpeedButton* TdxPopupToolBar::CreateButton(const WideString& caption, const WideString& hint, const TBitmap& glyph) {
  auto* button = new TSpeedButton(this);
  button->SetParent(this);
  button->SetCaption(caption);
  button->SetHint(hint);
  button->SetGlyph(glyph);
  button->SetFlat(true);
  button->SetMargin(4);
  button->OnClick = [this](TObject* sender) { ButtonClick(sender); };
  return button;
}

void TdxPopupToolBar::ButtonClick(TObject* sender) {
  if (!OnButtonClick) return;
  for (int i = 0; i < kPopupToolBarButtonCount; ++i)
    if (FButtons[std::size_t(i)] == sender) {
      OnButtonClick(this, TdxPopupToolBarButton(i));
      return;
    }
}

void TdxPopupToolBar::SetToolBarAlignment(TdxPopupToolBarAlignment value) {
  if (FToolBarAlignment == value) return;
  FToolBarAlignment = value;
  RefreshButtons();
}

void TdxPopupToolBar::SetToolBarButtons(TdxPopupToolBarButtons value) {
  if (FToolBarButtons == value) return;
  FToolBarButtons = value;
  RefreshButtons();
}

void TdxPopupToolBar::SetCustomButtonCaption(const WideString& value) {
  FCustomButtonCaption = value;
  RefreshButtons();
}

void TdxPopupToolBar::SetCustomButtonGlyph(const TBitmap& glyph) { FButtons[ptbCustom]->SetGlyph(glyph); }

void TdxPopupToolBar::SetClientSize(int width, int height) {
  RECT window, client;
  GetWindowRect(Handle(), &window);
  GetClientRect(Handle(), &client);
  SetBounds(Left(), Top(), width + (window.right - window.left) - client.right,
            height + (window.bottom - window.top) - client.bottom);
}

void TdxPopupToolBar::RefreshButtons() {
  const bool column = FToolBarAlignment == ptaLeft || FToolBarAlignment == ptaRight;
  int h = kToolBarButtonHeight;
  if (FShowCaptions && column) h = std::max(h, int(MeasureText(Font(), L"Wg").cy) + kToolBarCaptionPadding);
  int w = h + 1;
  int count = 0, widest = 0;
  for (int i = 0; i < kPopupToolBarButtonCount; ++i) {
    if (!(FToolBarButtons & PopupToolBarButtonBit(TdxPopupToolBarButton(i)))) continue;
    TSpeedButton& button = *FButtons[std::size_t(i)];
    if (!FShowCaptions || !column)
      button.SetCaption(L"");
    else
      button.SetCaption(i == ptbCustom ? FCustomButtonCaption : PopupToolBarCaption(TdxPopupToolBarButton(i)));
    ++count;
    if (!button.Caption().empty()) widest = std::max(widest, int(MeasureText(Font(), button.Caption()).cx));
  }
  if (column) {
    if (widest > 0) w += widest;
    SetClientSize(w, count * h);
  } else {
    SetClientSize(w * count, h);
  }
  int x = 0, y = 0;
  for (int i = 0; i < kPopupToolBarButtonCount; ++i) {
    TSpeedButton& button = *FButtons[std::size_t(i)];
    if (!(FToolBarButtons & PopupToolBarButtonBit(TdxPopupToolBarButton(i)))) {
      button.TControl::Hide();
      continue;
    }
    button.SetBounds(x, y, w, h);
    button.TControl::Show();
    if (column)
      y += h;
    else
      x += w;
  }
  UpdateButtonStates();
}

void TdxPopupToolBar::CalcPosition(POINT p) {
  RECT wa;
  GetMonitorWorkArea(p, wa);
  auto* editor = dynamic_cast<TControl*>(Owner());
  const int ew = editor ? editor->Width() : 0, eh = editor ? editor->Height() : 0;
  const int width = Width(), height = Height();
  int x = p.x, y = p.y;
  switch (FToolBarAlignment) {
    case ptaLeft:
      x = p.x - width;
      if (x < wa.left) x = p.x + ew;
      break;
    case ptaRight:
      x = p.x + ew;
      if (x + width > wa.right) x = p.x - width;
      break;
    case ptaTop:
      y = p.y - height;
      if (y < wa.top) y = p.y + eh;
      break;
    case ptaBottom:
      y = p.y + eh;
      if (y + height > wa.bottom) y = p.y - height;
      break;
  }
  if (x + width > wa.right) x = wa.right - width;
  if (x < wa.left) x = wa.left;
  if (y + height > wa.bottom) y = wa.bottom - height;
  if (y < wa.top) y = wa.top;
  SetBounds(x, y, width, height);
}

void TdxPopupToolBar::UpdateButtonStates() {
  const bool hasFormat = Clipboard().HasFormat(FClipboardFormat);
  const std::array<bool, kPopupToolBarButtonCount - 1> enabled{
      !FIsEmpty && !FIsReadOnly,      // Cut
      !FIsEmpty,                      // Copy
      !FIsReadOnly && hasFormat,      // Paste
      !FIsEmpty && !FIsReadOnly,      // Delete
      !FIsReadOnly,                   // Load
      !FIsEmpty,                      // Save
  };
  for (std::size_t i = 0; i < enabled.size(); ++i) FButtons[i]->SetEnabled(enabled[i]);
  if (FIsPopupMenu && FEditPopupMenu) {
    TMenuItem& items = FEditPopupMenu->Items();
    for (std::size_t i = 0; i < enabled.size(); ++i)
      if (kEditMenuPositions[i] < items.Count()) items.Items(kEditMenuPositions[i])->SetEnabled(enabled[i]);
  }
}

void TdxPopupToolBar::Show() {
  if (!FCanShow || FFlagHide) return;
  HWND wnd = Handle();
  SendMessageW(wnd, WM_NCACTIVATE, TRUE, 0);
  ShowWindow(wnd, SW_SHOWNOACTIVATE);
  SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
}

void TdxPopupToolBar::Hide() {
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

bool TdxPopupToolBar::Visible() const {
  return HandleAllocated() && IsWindowVisible(const_cast<TdxPopupToolBar*>(this)->Handle());
}

// --- window

void TdxPopupToolBar::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  params.ExStyle |= WS_EX_TOPMOST;  // stays on top
  params.WindowClassStyle |= CS_SAVEBITS;
}

void TdxPopupToolBar::CreateWnd() {
  TForm::CreateWnd();
  FNextWindow = SetClipboardViewer(Handle());
  FChained = true;
  if (HMENU menu = GetSystemMenu(Handle(), FALSE))
    for (UINT item : {SC_MAXIMIZE, SC_MINIMIZE, SC_SIZE, SC_RESTORE}) DeleteMenu(menu, item, MF_BYCOMMAND);
}

void TdxPopupToolBar::LeaveClipboardChain() {
  if (!FChained) return;
  FChained = false;
  if (HandleAllocated()) ChangeClipboardChain(Handle(), FNextWindow);
  FNextWindow = nullptr;
}

void TdxPopupToolBar::DestroyWindowHandle() {
  LeaveClipboardChain();
  TForm::DestroyWindowHandle();
}

void TdxPopupToolBar::PassToNextViewer(TMessage& message) {
  if (FNextWindow) SendMessageW(FNextWindow, message.Msg, message.WParam, message.LParam);
}

TVK_MESSAGE_MAP(TdxPopupToolBar, {WM_DRAWCLIPBOARD, &TdxPopupToolBar::WMDrawClipboard},
                {WM_CHANGECBCHAIN, &TdxPopupToolBar::WMChangeCBChain}, {WM_NCDESTROY, &TdxPopupToolBar::WMNCDestroy},
                {WM_ACTIVATE, &TdxPopupToolBar::WMActivate}, {WM_MOUSEACTIVATE, &TdxPopupToolBar::WMMouseActivate},
                {WM_KILLFOCUS, &TdxPopupToolBar::WMKillFocus}, {WM_CLOSE, &TdxPopupToolBar::WMClose},
                {WM_GETMINMAXINFO, &TdxPopupToolBar::WMGetMinMaxInfo},
                {CM_SHOWINGCHANGED, &TdxPopupToolBar::CMShowingChanged})

void TdxPopupToolBar::WMDrawClipboard(TMessage& message) {
  UpdateButtonStates();
  PassToNextViewer(message);
  TVK_INHERITED(message);
}

void TdxPopupToolBar::WMChangeCBChain(TMessage& message) {
  if (reinterpret_cast<HWND>(message.WParam) == FNextWindow)
    FNextWindow = reinterpret_cast<HWND>(message.LParam);
  else
    PassToNextViewer(message);
  TVK_INHERITED(message);
}

void TdxPopupToolBar::WMNCDestroy(TMessage& message) {
  LeaveClipboardChain();
  TVK_INHERITED(message);
}

void TdxPopupToolBar::WMActivate(TMessage& message) {
  if (auto* editor = dynamic_cast<TControl*>(Owner()))
    if (TCustomForm* form = GetParentForm(editor); form && form->HandleAllocated())
      SendMessageW(form->Handle(), WM_NCACTIVATE, TRUE, 0);
  TVK_INHERITED(message);
  UpdateButtonStates();
}

void TdxPopupToolBar::WMMouseActivate(TMessage& message) {
  TVK_INHERITED(message);
  message.Result = MA_NOACTIVATE;
}

void TdxPopupToolBar::WMKillFocus(TMessage& message) {
  TVK_INHERITED(message);
  auto* editor = dynamic_cast<TWinControl*>(Owner());
  if (editor && !(editor->HandleAllocated() && reinterpret_cast<HWND>(message.WParam) == editor->Handle())) Hide();
}

void TdxPopupToolBar::WMClose(TMessage& message) {
  TVK_INHERITED(message);
  FFlagHide = true;
  Hide();
}

// The buttons decide the size: a single small button may be narrower than a captioned window's usual minimum.
void TdxPopupToolBar::WMGetMinMaxInfo(TMessage& message) {
  TVK_INHERITED(message);
  reinterpret_cast<MINMAXINFO*>(message.LParam)->ptMinTrackSize = POINT{1, 1};
}

void TdxPopupToolBar::CMShowingChanged(TMessage&) {}

// --- settings

TdxPopupToolBarWindow::TdxPopupToolBarWindow(TdxInplaceGraphicEdit* graphicEdit) : FGraphicEdit(graphicEdit) {}
TdxPopupToolBarWindow::~TdxPopupToolBarWindow() = default;

TBitmap* TdxPopupToolBarWindow::CustomButtonGlyph() {
  if (!FCustomButtonGlyph) FCustomButtonGlyph = std::make_unique<TBitmap>();
  return FCustomButtonGlyph.get();
}

void TdxPopupToolBarWindow::SetCustomButtonGlyph(const TBitmap* value) {
  if (!value) {
    FCustomButtonGlyph.reset();
    return;
  }
  CustomButtonGlyph()->Assign(*value);
}

void TdxPopupToolBarWindow::SetIsPopupMenu(bool value) {
  FIsPopupMenu = value;
  if (FGraphicEdit) FGraphicEdit->PopupToolBar().SetIsPopupMenu(value);
}

void TdxPopupToolBarWindow::Assign(const TPersistent& source) {
  auto* other = dynamic_cast<const TdxPopupToolBarWindow*>(&source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  FAlignment = other->FAlignment;
  FButtons = other->FButtons;
  FCustomButtonCaption = other->FCustomButtonCaption;
  SetCustomButtonGlyph(const_cast<TdxPopupToolBarWindow*>(other)->CustomButtonGlyph());
  SetIsPopupMenu(other->FIsPopupMenu);
  FShowCaptions = other->FShowCaptions;
  FVisible = other->FVisible;
}

}  // namespace tvk
