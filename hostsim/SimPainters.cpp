#include "SimPainters.h"

#include "ModuleCalls.h"

#include <cwctype>

namespace hostsim {

namespace {

constexpr wchar_t kPainterClass[] = L"HostSimPainter";
constexpr DISPID kPainterHolder_GetHandle = 69;

// The order in which a painter window draws its lines.
const wchar_t* const kLineKinds[] = {L"part", L"footprint", L"renamed", L"only", L"highlight", L"selected"};

std::wstring UpperPainterName(std::wstring text) {
  for (wchar_t& c : text) c = wchar_t(std::towupper(c));
  return text;
}

void RegisterPainterClass() {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kPainterClass;
    return RegisterClassW(&wc) != 0;
  }();
  (void)registered;
}

void Replace(IDispatch*& slot, IDispatch* value) {
  if (value) value->AddRef();
  if (slot) slot->Release();
  slot = value;
}

HWND HolderWindow(IDispatch* holder) {
  if (!holder) return nullptr;
  const ModuleAnswer handle = CallModule(holder, kPainterHolder_GetHandle);
  const std::optional<std::uint32_t> value = handle.Unsigned();
  return value ? reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(*value))) : nullptr;
}

// Host-order argument K as a 32-bit integer, read through a reference.
long IntArg(const VARIANT* arg) { return (arg->vt & VT_BYREF) ? *arg->plVal : arg->lVal; }

}  // namespace

// ---- SimPainterWindow

SimRef<SimPainterWindow> SimPainterWindow::Make(const std::wstring& caption) {
  return SimRef<SimPainterWindow>::Adopt(new SimPainterWindow(caption));
}

SimPainterWindow::SimPainterWindow(const std::wstring& caption) : FCaption(caption) {
  RegisterPainterClass();
  SetServices({L"ExternalForm"});
  // Made hidden and without parent: the host places it when it is attached.
  FWindow = CreateWindowExW(0, kPainterClass, caption.c_str(), WS_POPUP | WS_CLIPSIBLINGS, 0, 0, 100, 100, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(FWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SimPainterWindow::WindowProcedure));

  Serve(disp::ExternalForm_SetParentWindow, "o", [this](std::vector<VARIANT*>& a, VARIANT*) {
    Replace(FHolder, a[0]->pdispVal);
    return S_OK;
  });
  Serve(disp::ExternalForm_AttachToParent, "", [this](std::vector<VARIANT*>&, VARIANT*) {
    HWND parent = HolderWindow(FHolder);
    if (!parent) return S_OK;
    // As the host's forms do: a child of the holder's window, and shown.
    SetWindowLongPtrW(FWindow, GWL_STYLE, WS_CHILD | WS_CLIPSIBLINGS);
    SetParent(FWindow, parent);
    ShowWindow(FWindow, SW_SHOWNA);
    FAttached = true;
    return S_OK;
  });
  Serve(disp::ExternalForm_DetachFromParent, "", [this](std::vector<VARIANT*>&, VARIANT*) {
    ShowWindow(FWindow, SW_HIDE);
    SetParent(FWindow, nullptr);
    SetWindowLongPtrW(FWindow, GWL_STYLE, WS_POPUP | WS_CLIPSIBLINGS);
    FAttached = false;
    return S_OK;
  });
  On(disp::ExternalForm_GetBounds, [this](std::vector<VARIANT*>& a, VARIANT*) {
    RECT r{};
    GetWindowRect(FWindow, &r);
    if (HWND parent = GetParent(FWindow)) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    const long values[] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    for (std::size_t k = 0; k < a.size() && k < 4; ++k)
      if (a[k]->vt == (VT_BYREF | VT_I4)) *a[k]->plVal = values[k];
    return S_OK;
  });
  ReturnString(disp::ExternalForm_GetCaption, caption);
  Serve(disp::ExternalForm_GetHandle, "", [this](std::vector<VARIANT*>&, VARIANT* r) {
    SetResultInt(r, long(static_cast<int32_t>(reinterpret_cast<intptr_t>(FWindow))));
    return S_OK;
  });
  Serve(disp::ExternalForm_Hide, "", [this](std::vector<VARIANT*>&, VARIANT*) {
    ShowWindow(FWindow, SW_HIDE);
    return S_OK;
  });
  On(disp::ExternalForm_SetBounds, [this](std::vector<VARIANT*>& a, VARIANT*) {
    if (a.size() != 4) return DISP_E_BADPARAMCOUNT;
    MoveWindow(FWindow, IntArg(a[0]), IntArg(a[1]), IntArg(a[2]), IntArg(a[3]), TRUE);
    return S_OK;
  });
  Accept(disp::ExternalForm_SetFocus);
  Serve(disp::ExternalForm_Show, "", [this](std::vector<VARIANT*>&, VARIANT*) {
    ShowWindow(FWindow, SW_SHOWNA);
    return S_OK;
  });
  Accept(disp::ExternalForm_FocusFirstControl);
}

SimPainterWindow::~SimPainterWindow() {
  if (FWindow) {
    SetWindowLongPtrW(FWindow, GWLP_USERDATA, 0);
    DestroyWindow(FWindow);
  }
  Replace(FHolder, nullptr);
}

std::vector<std::wstring> SimPainterWindow::Lines() const {
  std::vector<std::wstring> lines{FCaption};
  for (const wchar_t* kind : kLineKinds)
    if (auto found = FLines.find(kind); found != FLines.end()) lines.push_back(std::wstring(kind) + L": " + found->second);
  return lines;
}

std::wstring SimPainterWindow::Line(const std::wstring& kind) const {
  auto found = FLines.find(kind);
  return found == FLines.end() ? std::wstring() : found->second;
}

void SimPainterWindow::SetLine(const std::wstring& kind, const std::wstring& text) {
  FLines[kind] = text;
  InvalidateRect(FWindow, nullptr, TRUE);
}

LRESULT CALLBACK SimPainterWindow::WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* painter = reinterpret_cast<SimPainterWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (painter && msg == WM_PAINT) {
    painter->Paint();
    return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

void SimPainterWindow::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(FWindow, &ps);
  RECT client{};
  GetClientRect(FWindow, &client);
  FillRect(dc, &client, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  // A pin-like frame for the picture, then what it was told, a line each.
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  int y = 4;
  for (const std::wstring& line : Lines()) {
    const bool highlight = line.starts_with(L"highlight");
    SetTextColor(dc, highlight ? RGB(200, 0, 0) : RGB(0, 0, 128));
    TextOutW(dc, 6, y, line.c_str(), int(line.size()));
    y += 16;
  }
  SelectObject(dc, oldFont);
  EndPaint(FWindow, &ps);
}

// ---- SimComponentPainterView

SimRef<SimComponentPainterView> SimComponentPainterView::Make() {
  return SimRef<SimComponentPainterView>::Adopt(new SimComponentPainterView);
}

SimComponentPainterView::SimComponentPainterView() : SimPainterWindow(L"Component painter") {
  SetServices({L"ExternalForm", L"ComponentPainterView"});
  Serve(disp::PainterView_DrawComponentPart, "ssib", [this](std::vector<VARIANT*>& a, VARIANT*) {
    SetLine(L"part", ArgString(a[0]) + L" in " + ArgString(a[1]) + L", part " + std::to_wstring(a[2]->lVal) +
                         (a[3]->boolVal ? L"" : L" (no flag)"));
    return S_OK;
  });
  Serve(disp::PainterView_HighlightPins, "sii", [this](std::vector<VARIANT*>& a, VARIANT*) {
    SetLine(L"highlight", ArgString(a[0]) + L" (" + std::to_wstring(a[1]->lVal) + L"," + std::to_wstring(a[2]->lVal) + L")");
    return S_OK;
  });
  Serve(disp::PainterView_ShowSpecifiedPinsOnly, "s", [this](std::vector<VARIANT*>& a, VARIANT*) {
    SetLine(L"only", ArgString(a[0]));
    return S_OK;
  });
  Serve(disp::PainterView_ShowAllPins, "", [this](std::vector<VARIANT*>&, VARIANT*) {
    SetLine(L"only", L"all");
    return S_OK;
  });
  Serve(disp::PainterView_RenameSpecifiedPins, "s", [this](std::vector<VARIANT*>& a, VARIANT*) {
    SetLine(L"renamed", ArgString(a[0]));
    return S_OK;
  });
  Serve(disp::PainterView_ShowPinsAsSelected, "s", [this](std::vector<VARIANT*>& a, VARIANT*) {
    SetLine(L"selected", ArgString(a[0]));
    return S_OK;
  });
  Serve(disp::PainterView_AddPinSelectionListener, "o", [this](std::vector<VARIANT*>& a, VARIANT*) {
    Replace(FListener, a[0]->pdispVal);
    return S_OK;
  });
}

SimComponentPainterView::~SimComponentPainterView() { Replace(FListener, nullptr); }

HRESULT SimComponentPainterView::UserSelects(const std::wstring& pins) {
  if (!FListener) return S_FALSE;
  return CallModule(FListener, disp::PinSelectionListener_PinsSelected, {ArgString(pins.c_str())}).Result;
}

// ---- SimSchServer

namespace {

// A loaded component: its part count, until the server destroys it.
class SimSchComponent : public FakeHostObject {
public:
  explicit SimSchComponent(long parts) {
    SetServices({L"SchComponent"});
    ReturnInt(disp::SchComponent_GetPartCount, parts);
  }
};

}  // namespace

SimRef<SimSchServer> SimSchServer::Make() { return SimRef<SimSchServer>::Adopt(new SimSchServer); }

SimSchServer::SimSchServer() {
  SetServices({L"SchServer"});
  Serve(disp::SchServer_LoadComponentFromLibrary, "ss", [this](std::vector<VARIANT*>& a, VARIANT* r) {
    auto found = FParts.find(UpperPainterName(ArgString(a[0]) + L"|" + ArgString(a[1])));
    if (found == FParts.end()) {
      SetResultObject(r, nullptr);
      return S_OK;
    }
    auto component = SimRef<SimSchComponent>::Adopt(new SimSchComponent(found->second));
    ++FLive;
    SetResultObject(r, component.Get());
    return S_OK;
  });
  // DestroySchObject(var Object): the object is gone and the reference emptied.
  On(disp::SchServer_DestroySchObject, [this](std::vector<VARIANT*>& a, VARIANT*) {
    if (a.size() != 1) return DISP_E_BADPARAMCOUNT;
    VARIANT* arg = a[0];
    IDispatch** slot = arg->vt == (VT_BYREF | VT_DISPATCH) ? arg->ppdispVal : nullptr;
    IDispatch* object = slot ? *slot : arg->vt == VT_DISPATCH ? arg->pdispVal : nullptr;
    if (!object) return E_INVALIDARG;
    --FLive;
    if (slot) {
      (*slot)->Release();
      *slot = nullptr;
    }
    return S_OK;
  });
  Serve(disp::SchServer_CreateComponentPainterView, "", [this](std::vector<VARIANT*>&, VARIANT* r) {
    auto made = SimComponentPainterView::Make();
    SimComponentPainterView* view = made.Get();
    view->AddRef();
    FViews.push_back(view);  // the server's reference
    SetResultObject(r, view);
    return S_OK;
  });
  Accept(disp::SchServer_SetLiveUpdate);
}

SimSchServer::~SimSchServer() {
  for (SimComponentPainterView* view : FViews) view->Release();
}

void SimSchServer::AddComponent(const std::wstring& name, const std::wstring& library, long parts) {
  FParts[UpperPainterName(name + L"|" + library)] = parts;
}

// ---- SimFootprintModelType

SimRef<SimFootprintModelType> SimFootprintModelType::Make(const std::wstring& serverName, bool editor) {
  return SimRef<SimFootprintModelType>::Adopt(new SimFootprintModelType(serverName, editor));
}

SimFootprintModelType::SimFootprintModelType(const std::wstring& serverName, bool editor) {
  SetServices({L"ModelType"});
  ReturnString(disp::ModelType_GetServerName, serverName);
  if (!editor) {
    ReturnObject(disp::ModelType_GetModelEditor, nullptr);
    return;
  }
  FForm = SimPainterWindow::Make(L"Footprint editor");
  FEditor = new FakeHostObject;
  FEditor->SetServices({L"ModelEditor", L"HighlightedModelEditor"});
  ReturnObject(disp::ModelType_GetModelEditor, FEditor);
  FEditor->ReturnObject(disp::ModelEditor_GetExternalForm, FForm.Get());
  SimPainterWindow* form = FForm.Get();
  // Every call names the form it is for: only the editor's own is drawn into.
  const auto own = [form](const VARIANT* arg) { return arg->pdispVal == static_cast<IDispatch*>(form); };
  FEditor->Serve(disp::ModelEditor_DrawFootprintModel, "oss", [form, own](std::vector<VARIANT*>& a, VARIANT*) {
    if (!own(a[0])) return E_INVALIDARG;
    form->SetLine(L"footprint", ArgString(a[1]) + L" in " + ArgString(a[2]));
    return S_OK;
  });
  FEditor->Serve(disp::ModelEditor_HighlightPins, "osii", [form, own](std::vector<VARIANT*>& a, VARIANT*) {
    if (!own(a[0])) return E_INVALIDARG;
    form->SetLine(L"highlight",
                  ArgString(a[1]) + L" (" + std::to_wstring(a[2]->lVal) + L"," + std::to_wstring(a[3]->lVal) + L")");
    return S_OK;
  });
  FEditor->Serve(disp::ModelEditor_ShowSpecifiedPinsOnly, "os", [form, own](std::vector<VARIANT*>& a, VARIANT*) {
    if (!own(a[0])) return E_INVALIDARG;
    form->SetLine(L"only", ArgString(a[1]));
    return S_OK;
  });
  FEditor->Serve(disp::ModelEditor_ShowPinsAsSelected, "os", [form, own](std::vector<VARIANT*>& a, VARIANT*) {
    if (!own(a[0])) return E_INVALIDARG;
    form->SetLine(L"selected", ArgString(a[1]));
    return S_OK;
  });
  FEditor->Serve(disp::ModelEditor_RegisterSelectionChangedListener, "oo",
                 [this, own](std::vector<VARIANT*>& a, VARIANT*) {
                   if (!own(a[0])) return E_INVALIDARG;
                   Replace(FListener, a[1]->pdispVal);
                   return S_OK;
                 });
}

SimFootprintModelType::~SimFootprintModelType() {
  Replace(FListener, nullptr);
  if (FEditor) FEditor->Release();
}

HRESULT SimFootprintModelType::UserSelects(const std::wstring& pins) {
  if (!FListener) return S_FALSE;
  return CallModule(FListener, disp::ModelEditorSelectionListener_SelectionChanged, {ArgString(pins.c_str())}).Result;
}

// ---- The host's model-type manager

namespace {

template <class F>
F LibraryControl(const char* name) {
  HMODULE module = LoadLibraryW(HOSTSIM_SYSTEM_DIR L"\\HostLibraries.dll");  // stays loaded, as in the host
  return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace

void SetHostModelType(const std::wstring& name, IDispatch* type) {
  if (auto set = LibraryControl<void(__stdcall*)(const wchar_t*, IDispatch*)>("HostSim_SetModelType"))
    set(name.c_str(), type);
}

void SetHostModelTypeManagerAbsent(bool absent) {
  if (auto set = LibraryControl<void(__stdcall*)(int32_t)>("HostSim_SetModelTypeManagerAbsent")) set(absent);
}

}  // namespace hostsim
