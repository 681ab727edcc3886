#pragma once
// The pictures of the pin-state panel: the device's schematic symbol, one
// tab per part, and its PCB footprint. The host's own editors draw both
// inside the panel; the painters only tell them what to draw and which pins
// to mark, show, rename or select. Pin lists are texts: "," before each
// numeric pin number (",12,13,40"); an empty list is the empty text.
#include "XPPageControl.h"
#include "ZUL.Classes.h"

#include <vector>

namespace tvk {

// ---- The device's symbol and footprint in the host's installed libraries

// Where the symbol and the footprint of a device were found; empty: not found.
struct TDeviceLibraries {
  WideString SchLibraryPath;  // the library that holds the symbol
  WideString FootprintName;
  WideString DatafilePath;  // the data file that holds the footprint
};

// The device's family is "Generic" (any case).
bool IsGenericDevice(const ITovikDevice& Device);
// The device's name; for a generic device, the generic device manager's
// reference for its JTAG identification when it has one.
WideString LibraryReference(const ITovikDevice& Device, const IJTagDevice& JTagDevice);
// The device's library; for a generic device without one, the generic device
// manager's library for its JTAG identification.
WideString LibraryName(const ITovikDevice& Device, const IJTagDevice& JTagDevice);
// Installs the library file of LibraryName (absolute, or in the module's
// library folder under the device's vendor) when it exists, and with a
// schematic library its footprint library as well. A missing file is not
// reported.
void InstallDeviceLibrary(const ITovikDevice& Device, const WideString& LibraryName);
// Looks the symbol and footprint up in the installed libraries, after
// installing the device's library when AutoInstall. Without the host's
// library manager nothing is found.
TDeviceLibraries FindLibraries(const ITovikDevice& Device, const IJTagDevice& JTagDevice, bool AutoInstall);
// The texts shown in place of a picture that was not found.
WideString SymbolNotFoundText(const WideString& LibraryReference, const WideString& LibraryName);
WideString FootprintNotFoundText(const WideString& LibraryReference, const WideString& LibraryName);

class TSchComponentPainter {
public:
  // Draws in AParent; each part's view reports pin selections to Listener.
  TSchComponentPainter(TWinControl* AParent, const IComponentPinSelectionListener& Listener);
  ~TSchComponentPainter();
  TSchComponentPainter(const TSchComponentPainter&) = delete;
  TSchComponentPainter& operator=(const TSchComponentPainter&) = delete;

  // Stores both; until a load gave the component parts it is loaded and a
  // page made per part; then every part is drawn.
  void SetComponent(const WideString& AComponentName, const WideString& AComponentLibPath);
  void DrawComponentPart();
  void HighlightPins(const WideString& APinNameList);
  void ShowAllPins();
  void ShowSpecifiedPinsOnly(const WideString& APinNameList);
  void ShowPinsAsSelected(const WideString& APinNameList);
  // "number=name" pairs joined by "|".
  void RenameSpecifiedPins(const WideString& APinNamesParam);
  void Hide();
  void Show();

  int32_t PartCount() const { return FComponentPartCount; }
  TWinXPPageControl* TabSheetsHolder() const { return FTabSheetsHolder.get(); }
  // The painter view of page I; empty when its component shows none.
  IComponentPainterView PainterView(int I) const;

private:
  void LoadComponent();
  void CreatePartPages();
  void RemovePartPages();
  template <class F>
  void ForEachView(F&& f) const;

  WideString FComponentName;
  WideString FComponentLibPath;
  int32_t FComponentPartCount = 0;
  std::unique_ptr<TWinXPPageControl> FTabSheetsHolder;
  std::vector<TExternalFormComponent*> FExternalFormComponentList;
  std::vector<TWinXPTabSheet*> FTabSheetList;
  TWinControl* FParent;
  IComponentPinSelectionListener FListener;
};

class TPCBFootprintPainter {
public:
  // Draws in AParent through the host's footprint editor, when there is one.
  explicit TPCBFootprintPainter(TWinControl* AParent);
  ~TPCBFootprintPainter();
  TPCBFootprintPainter(const TPCBFootprintPainter&) = delete;
  TPCBFootprintPainter& operator=(const TPCBFootprintPainter&) = delete;

  void SetFootprint(const WideString& AFootprintName, const WideString& ADatafilePath) {
    FFootprintName = AFootprintName;
    FFootprintDatafilePath = ADatafilePath;
  }
  // Shows and draws the footprint when both its name and data file are set,
  // else hides the editor's form.
  void DrawFootprintModel();
  void HighlightPins(const WideString& APinNameList);
  void ShowSpecifiedPinsOnly(const WideString& APinNameList);
  void ShowPinsAsSelected(const WideString& APinNameList);
  void RegisterSelectionChangedListener(const IModelEditorSelectionListener& AListener);
  void Hide();
  void Show();

  const IExternalForm& ExternalForm() const { return FExternalForm; }
  TExternalFormComponent* ExternalFormComponent() const { return FExternalFormComponent; }
  const WideString& ModelType() const { return FModelType; }

private:
  void CreateEditorForm();
  // The footprint model type's editor; empty without manager, type or editor.
  IModelEditor ModelEditor() const;

  WideString FFootprintName;
  WideString FFootprintDatafilePath;
  IExternalForm FExternalForm;
  // Owned by the application object: freed by the painter, or at the
  // module's shut-down at the latest.
  TExternalFormComponent* FExternalFormComponent = nullptr;
  TWinControl* FParent;
  WideString FModelType;
};

}  // namespace tvk
