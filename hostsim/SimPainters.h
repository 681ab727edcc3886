#pragma once
// The host's schematic and footprint painters as the pin-state panel meets
// them: painter windows that the host hands out as external forms (real
// child windows that draw the pin lists they were given), the schematic
// server that loads components and makes component painter views, and the
// footprint model type with its editor and the editor's form.
#include "SimHost.h"

#include <map>
#include <string>
#include <vector>

namespace hostsim {

namespace disp {
// External form
constexpr DISPID ExternalForm_SetParentWindow = 49;
constexpr DISPID ExternalForm_AttachToParent = 50;
constexpr DISPID ExternalForm_DetachFromParent = 51;
constexpr DISPID ExternalForm_GetBounds = 52;
constexpr DISPID ExternalForm_GetCaption = 53;
constexpr DISPID ExternalForm_GetHandle = 54;
constexpr DISPID ExternalForm_Hide = 55;
constexpr DISPID ExternalForm_SetBounds = 56;
constexpr DISPID ExternalForm_SetFocus = 57;
constexpr DISPID ExternalForm_Show = 58;
constexpr DISPID ExternalForm_FocusFirstControl = 59;
// Component painter view
constexpr DISPID PainterView_DrawComponentPart = 502137;
constexpr DISPID PainterView_HighlightPins = 502139;
constexpr DISPID PainterView_ShowSpecifiedPinsOnly = 502140;
constexpr DISPID PainterView_ShowAllPins = 502141;
constexpr DISPID PainterView_RenameSpecifiedPins = 502142;
constexpr DISPID PainterView_ShowPinsAsSelected = 502144;
constexpr DISPID PainterView_AddPinSelectionListener = 502145;
constexpr DISPID PinSelectionListener_PinsSelected = 502787;
// Schematic server and component
constexpr DISPID SchServer_SetLiveUpdate = 502821;
constexpr DISPID SchServer_LoadComponentFromLibrary = 502826;
constexpr DISPID SchServer_CreateComponentPainterView = 502830;
constexpr DISPID SchServer_DestroySchObject = 507078;
constexpr DISPID SchComponent_GetPartCount = 502385;
// Model types, the footprint editor and its selection listener
constexpr DISPID ModelTypeManager_GetModelType = 503269;
constexpr DISPID ModelType_GetServerName = 508239;
constexpr DISPID ModelType_GetModelEditor = 503262;
constexpr DISPID ModelEditor_GetExternalForm = 503176;
constexpr DISPID ModelEditor_DrawFootprintModel = 503177;
constexpr DISPID ModelEditor_HighlightPins = 503257;
constexpr DISPID ModelEditor_ShowSpecifiedPinsOnly = 503258;
constexpr DISPID ModelEditor_ShowPinsAsSelected = 503259;
constexpr DISPID ModelEditor_RegisterSelectionChangedListener = 503261;
constexpr DISPID ModelEditorSelectionListener_SelectionChanged = 503256;
}  // namespace disp

// A painter window: an external form the host makes on a real window, which
// it places in the holder's window when attached and which draws, line by
// line, what it was last told to show.
class SimPainterWindow : public FakeHostObject {
public:
  static SimRef<SimPainterWindow> Make(const std::wstring& caption);
  ~SimPainterWindow() override;

  HWND Window() const { return FWindow; }
  bool Attached() const { return FAttached; }
  // What the window draws: a line per kind of thing it was told, in a fixed order.
  std::vector<std::wstring> Lines() const;
  // The line of one kind ("part", "highlight", "only", "renamed", "selected",
  // "footprint"); empty when never told.
  std::wstring Line(const std::wstring& kind) const;
  void SetLine(const std::wstring& kind, const std::wstring& text);

protected:
  explicit SimPainterWindow(const std::wstring& caption);

private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  void Paint();

  std::wstring FCaption;
  HWND FWindow = nullptr;
  IDispatch* FHolder = nullptr;  // counted
  bool FAttached = false;
  std::map<std::wstring, std::wstring> FLines;
};

// The schematic server's component painter view: a painter window that
// draws one part of a component, marks, hides, renames and selects pins, and
// tells its listener of a selection the user makes in it.
class SimComponentPainterView : public SimPainterWindow {
public:
  static SimRef<SimComponentPainterView> Make();
  ~SimComponentPainterView() override;
  IDispatch* Listener() const { return FListener; }
  // The user selects Pins in the picture: its listener hears them (502787).
  HRESULT UserSelects(const std::wstring& pins);

private:
  SimComponentPainterView();
  IDispatch* FListener = nullptr;  // counted
};

// The schematic server ("SCH"): components by library reference and file,
// with their part counts; every painter view it made.
class SimSchServer : public FakeHostObject {
public:
  static SimRef<SimSchServer> Make();
  ~SimSchServer() override;
  // Component Name in library file Library (both without regard to case) has Parts parts.
  void AddComponent(const std::wstring& name, const std::wstring& library, long parts);
  const std::vector<SimComponentPainterView*>& Views() const { return FViews; }
  // Loaded components not yet handed back to DestroySchObject.
  long LiveComponents() const { return FLive; }

private:
  SimSchServer();
  std::map<std::wstring, long> FParts;  // "NAME|LIBRARY" in capitals
  std::vector<SimComponentPainterView*> FViews;  // counted
  long FLive = 0;
};

// The footprint model type: its server's name, its editor and the editor's
// form (a painter window). The editor also answers as a highlighted model
// editor, always for its own form.
class SimFootprintModelType : public FakeHostObject {
public:
  // With Editor false the model type has no editor.
  static SimRef<SimFootprintModelType> Make(const std::wstring& serverName, bool editor = true);
  ~SimFootprintModelType() override;
  FakeHostObject* Editor() const { return FEditor; }
  SimPainterWindow* Form() const { return FForm.Get(); }
  IDispatch* Listener() const { return FListener; }
  // The user selects Pins in the footprint: the registered listener hears them (503256).
  HRESULT UserSelects(const std::wstring& pins);

private:
  SimFootprintModelType(const std::wstring& serverName, bool editor);
  FakeHostObject* FEditor = nullptr;
  SimRef<SimPainterWindow> FForm;
  IDispatch* FListener = nullptr;  // counted
};

// The host's model-type manager (in its library module): Type answers
// GetModelType for Name (without regard to case); null withdraws it.
void SetHostModelType(const std::wstring& name, IDispatch* type);
// The host has no model-type manager while Absent.
void SetHostModelTypeManagerAbsent(bool absent);

}  // namespace hostsim
