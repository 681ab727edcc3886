#pragma once
// The edit framework's unit: an editor's properties (the settings one or
// many editors share: buttons, their images, read-only state), the editors'
// wheel cursor and the process-wide default edit style controller, which
// stand-alone editors (and containers) without a controller of their own
// follow.
#include "ImageLists.h"
#include "cxEditButtons.h"
#include "cxEditStyles.h"

namespace tvk {

enum TcxEditButtonsViewStyle { bvsNormal, bvsButtonsOnly, bvsButtonsAutoWidth };

class TcxCustomEditProperties : public TcxInterfacedPersistent {
public:
  TVK_CLASS(TcxCustomEditProperties, TcxInterfacedPersistent)
  explicit TcxCustomEditProperties(TPersistent* AOwner);
  ~TcxCustomEditProperties() override;

  TcxEditButtons& Buttons() { return *FButtons; }
  TcxEditButtonsViewStyle ButtonsViewStyle() const { return FButtonsViewStyle; }
  void SetButtonsViewStyle(TcxEditButtonsViewStyle AValue);
  // Pictures of glyph buttons (not owned; forgotten when freed).
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* AValue);
  bool ReadOnly() const { return FReadOnly; }
  bool IsReadOnlyAssigned() const { return FReadOnlyAssigned; }
  void SetReadOnly(bool AValue);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool AValue);

  // Changes inside a bracket are told once, by the outermost EndUpdate(true).
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate(bool AInvokeChanged = true);
  void Changed();

  TcxEditButtonClickEvent OnButtonClick;
  TNotifyEvent OnPropertiesChanged;

private:
  TcxEditButtons* FButtons;
  // Tells of the image list's going.
  std::unique_ptr<TcxFreeNotificator> FFreeNotificator;
  TcxEditButtonsViewStyle FButtonsViewStyle = bvsNormal;
  TCustomImageList* FImages = nullptr;
  bool FReadOnly = false;
  bool FReadOnlyAssigned = false;
  bool FTransparent = false;
  int FUpdateCount = 0;
  bool FChangedOccurred = false;
};

// The editors' mouse-wheel cursor in the screen's table.
constexpr int crcxEditMouseWheel = 4101;

void cxEditUnitStart();
void cxEditUnitStop();

}  // namespace tvk
