#pragma once
// The "New Category" dialog of the inspector's customizing window: one
// caption, OK only while it is not empty.
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

namespace tvk {

class TdxInspectorCustomizeNew : public TForm {
public:
  TVK_CLASS(TdxInspectorCustomizeNew, TForm)
  explicit TdxInspectorCustomizeNew(TComponent* owner) : TForm(owner) {}
  void ECaptionChange(TObject* sender);
  void FormCreate(TObject* sender) { (void)sender; }
  // Places the dialog centred on Owner's window (left and top at least 0) in Owner's font.
  void CentreOn(TWinControl* owner);

  TLabel* LCaption = nullptr;
  TEdit* ECaption = nullptr;
  TBevel* Bevel = nullptr;
  TButton* BOK = nullptr;
  TButton* BCancel = nullptr;
};

// Runs the dialog over Owner (may be null) with Caption as the first text;
// true and the entered caption when it ends with OK. The dialog is freed in every case.
bool dxInspectorNewCategory(TWinControl* owner, WideString& caption);

}  // namespace tvk
