#include "Tovik.Form.HardDeviceViewer_Painters.h"

#include "Application.h"
#include "Files.h"
#include "ZUL.HostModules.h"
#include "ZUL.HostNames.h"
#include "ZUL.Util.h"

namespace tvk {

namespace {

// A panel that fills Parent and shows a host form, double-buffered.
TExternalFormComponent* MakeFormHolder(TComponent* owner, TWinControl* parent) {
  auto* holder = new TExternalFormComponent(owner);
  holder->SetParent(parent);
  holder->SetAlign(TAlign::alClient);
  holder->SetDoubleBuffered(true);
  return holder;
}

WideString NotFoundText(const wchar_t* picture, const WideString& reference, const WideString& library) {
  return WideString(picture) + L" with library reference " + reference + L" cannot be found in installed libraries." +
         L" Please install library " + library + L" and click here to try again.";
}

}  // namespace

// ---- Libraries

bool IsGenericDevice(const ITovikDevice& Device) {
  return Device && SameAsciiText(Device.GetFamilyName(), L"Generic");
}

WideString LibraryReference(const ITovikDevice& Device, const IJTagDevice& JTagDevice) {
  WideString reference = Device.GetDeviceName();
  if (IsGenericDevice(Device) && JTagDevice)
    if (const IDeviceManager manager = GetHostDeviceManager()) {
      const WideString generic = manager.GetGenericDeviceManager().GetLibraryReference(JTagDevice.GetIdCode(),
                                                                                        JTagDevice.GetSecondaryId());
      if (!generic.empty()) reference = generic;
    }
  return reference;
}

WideString LibraryName(const ITovikDevice& Device, const IJTagDevice& JTagDevice) {
  WideString name = Device.GetLibraryName();
  if (name.empty() && IsGenericDevice(Device) && JTagDevice)
    if (const IDeviceManager manager = GetHostDeviceManager())
      name = manager.GetGenericDeviceManager().GetLibraryName(JTagDevice.GetIdCode(), JTagDevice.GetSecondaryId());
  return name;
}

void InstallDeviceLibrary(const ITovikDevice& Device, const WideString& LibraryName) {
  if (LibraryName.empty()) return;
  const WideString file =
      IsRelativePath(LibraryName) ? GetLibraryFolder() + Device.GetVendorName() + L"\\" + LibraryName : LibraryName;
  const IIntegratedLibraryManager manager = GetIntegratedLibraryManager();
  if (!FileExists(file) || !manager) return;
  manager.InstallLibrary(file);
  if (SameTextIgnoringCase(ExtractFileExt(file), hostnames::kSchematicLibraryExt))
    manager.InstallLibrary(ChangeFileExt(file, hostnames::kFootprintLibraryExt));
}

TDeviceLibraries FindLibraries(const ITovikDevice& Device, const IJTagDevice& JTagDevice, bool AutoInstall) {
  const WideString reference = LibraryReference(Device, JTagDevice);
  const WideString name = LibraryName(Device, JTagDevice);
  if (AutoInstall) InstallDeviceLibrary(Device, name);
  TDeviceLibraries found;
  const IIntegratedLibraryManager manager = GetIntegratedLibraryManager();
  if (!manager) return found;
  WideString libraryFile;
  found.SchLibraryPath = manager.FindComponentLibrary(name, reference, libraryFile);
  found.FootprintName = manager.GetComponentFootprint(reference, libraryFile, hostnames::kFootprintModelType, 0);
  if (SameTextIgnoringCase(ExtractFileExt(libraryFile), hostnames::kIntegratedLibraryExt)) {
    WideString unused;
    found.DatafilePath = manager.FindFootprintDatafile(0, found.FootprintName, hostnames::kFootprintModelType,
                                                       reference, libraryFile, unused);
  } else {
    found.DatafilePath = ChangeFileExt(name, hostnames::kFootprintLibraryExt);
  }
  return found;
}

WideString SymbolNotFoundText(const WideString& LibraryReference, const WideString& LibraryName) {
  return NotFoundText(L"Schematic symbol", LibraryReference, LibraryName);
}

WideString FootprintNotFoundText(const WideString& LibraryReference, const WideString& LibraryName) {
  return NotFoundText(L"Footprint model", LibraryReference, LibraryName);
}

// ---- TSchComponentPainter

TSchComponentPainter::TSchComponentPainter(TWinControl* AParent, const IComponentPinSelectionListener& Listener)
    : FParent(AParent), FListener(Listener) {
  FTabSheetsHolder.reset(CreateComponent<TWinXPPageControl>(nullptr));
  FTabSheetsHolder->SetTabPosition(TWinXPTabPosition::tpBottom);
  FTabSheetsHolder->SetParent(AParent);
  FTabSheetsHolder->SetAlign(TAlign::alClient);
  FTabSheetsHolder->SetDoubleBuffered(false);
}

TSchComponentPainter::~TSchComponentPainter() {
  RemovePartPages();
  FTabSheetsHolder.reset();
}

void TSchComponentPainter::SetComponent(const WideString& AComponentName, const WideString& AComponentLibPath) {
  FComponentName = AComponentName;
  FComponentLibPath = AComponentLibPath;
  if (FComponentPartCount == 0) {
    if (IClient client = GetHostClient()) client.StartServer(L"Sch");
    LoadComponent();
    CreatePartPages();
  }
  DrawComponentPart();
}

void TSchComponentPainter::LoadComponent() {
  FComponentPartCount = 0;
  const ISch_ServerInterface server = GetSchematicServer();
  if (!server) return;
  ISch_Component component = server.LoadComponentFromLibrary(FComponentName, FComponentLibPath);
  if (!component) return;
  // Only the count stays: the loaded component goes back to the server.
  FComponentPartCount = component.GetPartCount();
  ISch_BasicContainer container = component.ToBasicContainer();
  component.Clear();
  server.DestroySchObject(container);
}

void TSchComponentPainter::CreatePartPages() {
  const ISch_ServerInterface server = GetSchematicServer();
  for (int32_t i = 0; i < FComponentPartCount; ++i) {
    auto* sheet = new TWinXPTabSheet(FTabSheetsHolder.get());
    sheet->SetCaption(WideString(L"Part ") + wchar_t(L'A' + i % 26));
    TExternalFormComponent* holder = MakeFormHolder(sheet, sheet);
    const IComponentPainterView view = server ? server.CreateComponentPainterView() : IComponentPainterView();
    if (view) view.AddPinSelectionListener(FListener);
    holder->SetExternalForm(RecordAs<IExternalForm>(view));
    sheet->SetPageControl(FTabSheetsHolder.get());
    FTabSheetList.push_back(sheet);
    FExternalFormComponentList.push_back(holder);
  }
}

void TSchComponentPainter::RemovePartPages() {
  while (!FTabSheetList.empty()) {
    TWinXPTabSheet* sheet = FTabSheetList.back();
    TExternalFormComponent* holder = FExternalFormComponentList.back();
    FTabSheetList.pop_back();
    FExternalFormComponentList.pop_back();
    if (FTabSheetsHolder) FTabSheetsHolder->RemovePage(sheet);
    delete holder;
    delete sheet;
  }
}

IComponentPainterView TSchComponentPainter::PainterView(int I) const {
  if (I < 0 || I >= int(FExternalFormComponentList.size())) return IComponentPainterView();
  return RecordAs<IComponentPainterView>(FExternalFormComponentList[std::size_t(I)]->ExternalForm());
}

template <class F>
void TSchComponentPainter::ForEachView(F&& f) const {
  for (int i = 0; i < int(FExternalFormComponentList.size()); ++i)
    if (const IComponentPainterView view = PainterView(i)) f(view, i);
}

void TSchComponentPainter::DrawComponentPart() {
  ForEachView([&](const IComponentPainterView& view, int i) {
    view.DrawComponentPart(FComponentName, FComponentLibPath, i + 1, true);
  });
}

void TSchComponentPainter::HighlightPins(const WideString& APinNameList) {
  ForEachView([&](const IComponentPainterView& view, int) { view.HighlightPins(APinNameList, 255, 0); });
}

void TSchComponentPainter::ShowAllPins() {
  ForEachView([](const IComponentPainterView& view, int) { view.ShowAllPins(); });
}

void TSchComponentPainter::ShowSpecifiedPinsOnly(const WideString& APinNameList) {
  ForEachView([&](const IComponentPainterView& view, int) { view.ShowSpecifiedPinsOnly(APinNameList); });
}

void TSchComponentPainter::ShowPinsAsSelected(const WideString& APinNameList) {
  ForEachView([&](const IComponentPainterView& view, int) { view.ShowPinsAsSelected(APinNameList); });
}

void TSchComponentPainter::RenameSpecifiedPins(const WideString& APinNamesParam) {
  ForEachView([&](const IComponentPainterView& view, int) { view.RenameSpecifiedPins(APinNamesParam); });
}

void TSchComponentPainter::Hide() { FTabSheetsHolder->SetVisible(false); }

void TSchComponentPainter::Show() { FTabSheetsHolder->SetVisible(true); }

// ---- TPCBFootprintPainter

TPCBFootprintPainter::TPCBFootprintPainter(TWinControl* AParent)
    : FParent(AParent), FModelType(hostnames::kFootprintModelType) {
  CreateEditorForm();
}

TPCBFootprintPainter::~TPCBFootprintPainter() { delete std::exchange(FExternalFormComponent, nullptr); }

void TPCBFootprintPainter::CreateEditorForm() {
  if (FExternalFormComponent) return;
  FExternalFormComponent = MakeFormHolder(&Application(), FParent);
  const IModelTypeManager manager = GetModelTypeManager();
  const IModelType type = manager ? manager.GetModelType(FModelType) : IModelType();
  if (!type) return;
  if (IClient client = GetHostClient()) client.StartServer(type.GetServerName());
  if (const IModelEditor editor = type.GetModelEditor()) {
    FExternalForm = editor.GetExternalForm();
    FExternalFormComponent->SetExternalForm(FExternalForm);
  }
}

IModelEditor TPCBFootprintPainter::ModelEditor() const {
  const IModelTypeManager manager = GetModelTypeManager();
  const IModelType type = manager ? manager.GetModelType(FModelType) : IModelType();
  return type ? type.GetModelEditor() : IModelEditor();
}

void TPCBFootprintPainter::DrawFootprintModel() {
  if (!FFootprintName.empty() && !FFootprintDatafilePath.empty()) {
    if (!FExternalForm) return;
    FExternalFormComponent->SetVisible(true);
    if (const IModelEditor editor = ModelEditor())
      editor.DrawFootprintModel(FExternalForm, FFootprintName, FFootprintDatafilePath);
  } else if (FExternalForm) {
    FExternalFormComponent->SetVisible(false);
  }
}

void TPCBFootprintPainter::HighlightPins(const WideString& APinNameList) {
  if (const IModelEditor editor = ModelEditor())
    IHighlightedModelEditor::FromModelEditor(editor).HighlightPins(FExternalForm, APinNameList, 0, 255);
}

void TPCBFootprintPainter::ShowSpecifiedPinsOnly(const WideString& APinNameList) {
  if (const IModelEditor editor = ModelEditor())
    IHighlightedModelEditor::FromModelEditor(editor).ShowSpecifiedPinsOnly(FExternalForm, APinNameList);
}

void TPCBFootprintPainter::ShowPinsAsSelected(const WideString& APinNameList) {
  if (const IModelEditor editor = ModelEditor())
    IHighlightedModelEditor::FromModelEditor(editor).ShowPinsAsSelected(FExternalForm, APinNameList);
}

void TPCBFootprintPainter::RegisterSelectionChangedListener(const IModelEditorSelectionListener& AListener) {
  if (const IModelEditor editor = ModelEditor())
    IHighlightedModelEditor::FromModelEditor(editor).RegisterSelectionChangedListener(FExternalForm, AListener);
}

void TPCBFootprintPainter::Hide() {
  if (FExternalFormComponent) FExternalFormComponent->SetVisible(false);
}

void TPCBFootprintPainter::Show() {
  if (FExternalFormComponent) FExternalFormComponent->SetVisible(true);
}

}  // namespace tvk
