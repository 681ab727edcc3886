#pragma once
// Forms and data modules. A form is a top-level window owned by the
// application's window (the host's main window), or a child of a foreign
// window (ParentWindow), shown modelessly or modally. Both read their design
// (RegisterDesign, Classes.h) when made with CreateComponent, unless made with
// kCreateNew.
#include "Controls.h"

namespace tvk {

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;
enum class TPosition { poDesigned, poDefault, poScreenCenter, poDesktopCenter, poOwnerFormCenter };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
// A stay-on-top form is a topmost window: it stays above every window that is not.
enum class TFormStyle { fsNormal, fsStayOnTop };
enum TFormStateFlag : unsigned { fsCreating = 1, fsVisible = 2, fsShowing = 4, fsModal = 8 };
using TFormState = unsigned;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = IDNO + 1, mrClose = 11;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// Constructor tag: an empty form or data module, without a design.
struct TCreateNew {};
inline constexpr TCreateNew kCreateNew{};

// What edits a form at design time; the form does not own it.
struct IDesignerHook {
  // Something on the form changed.
  virtual void Modified() = 0;

protected:
  ~IDesignerHook() = default;
};

class TCustomForm : public TCustomControl {
public:
  TVK_CLASS(TCustomForm, TCustomControl)
  // Reads its design in AfterConstruction (make it with CreateComponent).
  explicit TCustomForm(TComponent* owner);
  TCustomForm(TComponent* owner, TCreateNew);
  ~TCustomForm() override;

  // The design (unless made new), AfterDesign, then OnCreate.
  void AfterConstruction() override;

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons icons);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition position) { FPosition = position; }
  // Sizes the form so that its client area is Width x Height inside the
  // frame its border style and caption give.
  void SetClientSize(int width, int height);
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState state);
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle style);
  TFormState FormState() const { return FFormState; }

  // Shows the form and runs messages until ModalResult is set; the windows of
  // the thread are disabled meanwhile. Raises "Cannot make a visible window
  // modal" for a visible, disabled or already modal form.
  int ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult result) { FModalResult = result; }
  // Modal: ModalResult := mrCancel. Else, when CloseQuery agrees, OnClose decides (hide by default).
  void Close();
  virtual bool CloseQuery();
  // Frees the form once the messages now waiting are processed.
  void Release();

  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* control);
  // Makes Control the active control and focuses it when the form is showing.
  void FocusControl(TWinControl* control);
  void SetFocus() override;
  // The control that has the focus, as the form last heard (null: the form itself).
  TWinControl* FocusedControl() const { return FFocusedControl; }
  // A control of this form (or the form) took the focus: CM_EXIT goes to the
  // controls it leaves, innermost first, and CM_ENTER to those it enters,
  // outermost first. An error from CM_EXIT goes to the application's handler,
  // the focus goes back and the answer is false.
  virtual bool SetFocusedControl(TWinControl* control);
  bool KeyPreview = false;
  // The form's designer (null: not being designed).
  IDesignerHook* Designer() const { return FDesigner; }
  void SetDesigner(IDesignerHook* designer) { FDesigner = designer; }

  // (No OnDestroy: a C++ destructor runs derived levels first; forms clean up in their own.)
  TNotifyEvent OnCreate, OnShow, OnHide, OnActivate, OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

protected:
  // After the design is read (or at once for a new form), before OnCreate.
  virtual void AfterDesign() {}
  void CreateParams(TCreateParams& params) override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  // The show command of the window state: 1 normal, 7 minimised, 3 maximised.
  int ShowCommand() const;
  // Places the window by Position before it is shown (poDesigned: unchanged).
  void PlaceByPosition();
  void SetFormState(TFormState flags, bool on);

  TVK_MESSAGES();
  void WMNCCreate(TMessage& message);
  void WMClose(TMessage& message);
  void WMActivate(TMessage& message);
  void CMShowingChanged(TMessage& message);
  void CMRelease(TMessage& message);
  void CMDialogKey(TMessage& message);
  void CMFocusChanged(TMessage& message);

private:
  void CloseModal();

  bool FNewForm;
  IDesignerHook* FDesigner = nullptr;
  bool FConstructed = false;
  TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
  TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
  TPosition FPosition = TPosition::poDesigned;
  TWindowState FWindowState = TWindowState::wsNormal;
  TFormStyle FFormStyle = TFormStyle::fsNormal;
  TFormState FFormState = fsCreating;
  TModalResult FModalResult = mrNone;
  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  int FFocusCount = 0;   // focus changes heard; a change made by a CM_EXIT handler supersedes the outer one
  bool FExiting = false;  // CM_EXIT is being sent
  TWinControl* FRequestedControl = nullptr;  // focused by a CM_EXIT handler
  void UnlinkFocus(TWinControl* control);
};

class TForm : public TCustomForm {
public:
  TVK_CLASS(TForm, TCustomForm)
  using TCustomForm::TCustomForm;
};

// A form without a window: a design of non-visual components (image lists...).
class TDataModule : public TComponent {
public:
  TVK_CLASS(TDataModule, TComponent)
  explicit TDataModule(TComponent* owner) : TComponent(owner), FNewModule(false) {}
  TDataModule(TComponent* owner, TCreateNew) : TComponent(owner), FNewModule(true) {}
  void AfterConstruction() override;
  TNotifyEvent OnCreate;

private:
  bool FNewModule;
};

// The screen: the cursor table (cursor handles by number) and the screen's
// resolution. The table owns the cursors put into it: replacing or clearing an
// entry destroys the old cursor, and so does the module's shut-down.
class TScreen {
public:
  TScreen() = default;
  TScreen(const TScreen&) = delete;
  TScreen& operator=(const TScreen&) = delete;

  // The cursor of Index; for a number the table lacks, the system cursor of a
  // standard number (crIBeam ...), else the arrow.
  HCURSOR Cursors(int index) const;
  // Puts Cursor at Index (taking it over); null clears the entry.
  void SetCursors(int index, HCURSOR cursor);
  bool HasCursor(int index) const;
  // The numbers of the table's entries, in the order they were put.
  std::vector<int> CursorIndexes() const;
  // Destroys every cursor of the table.
  void ClearCursors();
  int PixelsPerInch() const;
  // The cursor shown over every window while not crDefault (a drag's cursor).
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor);

private:
  TCursor FCursor = crDefault;
  std::vector<std::pair<int, HCURSOR>> FCursors;  // in the order they were put
};

TScreen& Screen();
// A cursor kept as raw data (a resource of Type, RT_RCDATA by default,
// holding a cursor resource's hot spot and image): the linker cannot merge
// the cursor directories of two resource scripts in one program, and lost
// RCDATA entries of a second script, so each script keeps its cursors under
// a type of its own. Null when the resource is missing.
HCURSOR LoadCursorFromData(HINSTANCE module, const wchar_t* name, const wchar_t* type = MAKEINTRESOURCEW(10));
// The module's shut-down: the cursors of the table are destroyed.
void ScreenUnitShutdown();

// The form a control sits in (its outermost parent, when that is a form).
TCustomForm* GetParentForm(TControl* control);

}  // namespace tvk
