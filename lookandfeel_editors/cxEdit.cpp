#include "cxEdit.h"

#include "Forms.h"
#include "WindowClasses.h"

namespace tvk {

// ---- TcxCustomEditProperties

TcxCustomEditProperties::TcxCustomEditProperties(TPersistent* AOwner)
    : TcxInterfacedPersistent(AOwner), FButtons(new TcxEditButtons(this)) {
  FButtons->OnChange = [this](TObject*) { Changed(); };
  FFreeNotificator = std::make_unique<TcxFreeNotificator>(nullptr);
  FFreeNotificator->OnFreeNotification = [this](TComponent* AComponent) {
    // The list is going: no withdrawal from it.
    if (AComponent != FImages) return;
    FImages = nullptr;
    Changed();
  };
}

TcxCustomEditProperties::~TcxCustomEditProperties() { delete FButtons; }

void TcxCustomEditProperties::EndUpdate(bool AInvokeChanged) {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount > 0) return;
  if (std::exchange(FChangedOccurred, false) && AInvokeChanged) Changed();
}

void TcxCustomEditProperties::Changed() {
  if (FUpdateCount > 0) {
    FChangedOccurred = true;
    return;
  }
  if (OnPropertiesChanged) OnPropertiesChanged(this);
}

void TcxCustomEditProperties::SetButtonsViewStyle(TcxEditButtonsViewStyle AValue) {
  if (FButtonsViewStyle == AValue) return;
  FButtonsViewStyle = AValue;
  Changed();
}

void TcxCustomEditProperties::SetImages(TCustomImageList* AValue) {
  if (FImages == AValue) return;
  FFreeNotificator->RemoveSender(FImages);
  FImages = AValue;
  FFreeNotificator->AddSender(FImages);
  Changed();
}

void TcxCustomEditProperties::SetReadOnly(bool AValue) {
  if (FReadOnlyAssigned && FReadOnly == AValue) return;
  FReadOnly = AValue;
  FReadOnlyAssigned = true;
  Changed();
}

void TcxCustomEditProperties::SetTransparent(bool AValue) {
  if (FTransparent == AValue) return;
  FTransparent = AValue;
  Changed();
}

// ---- The unit

void cxEditUnitStart() {
  Screen().SetCursors(crcxEditMouseWheel, static_cast<HCURSOR>(LoadImageW(ClassLibraryInstance(), L"CXEDIT_MOUSEWHEEL",
                                                                          IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)));
  auto controller = std::make_unique<TcxEditStyleController>(nullptr);
  SetcxDefaultEditStyleController(controller.get());
  ContainerDefaultStyleController = controller.release();
}

void cxEditUnitStop() {
  // The variables first: nothing may find the controller while it goes.
  TcxEditStyleController* controller = cxDefaultEditStyleController();
  SetcxDefaultEditStyleController(nullptr);
  if (ContainerDefaultStyleController == controller) ContainerDefaultStyleController = nullptr;
  delete controller;
  Screen().SetCursors(crcxEditMouseWheel, nullptr);
}

}  // namespace tvk
