#include "dxInCNew.h"

#include "Application.h"

namespace tvk {

namespace {

void BuildInspectorCustomizeNew(TComponent& root) {
  auto& form = static_cast<TdxInspectorCustomizeNew&>(root);
  form.SetCaption(L"New Category");
  form.SetBorderStyle(TFormBorderStyle::bsDialog);
  RECT outer{0, 0, 279, 87};  // the client area
  AdjustWindowRectEx(&outer, WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME);
  form.SetBounds(669, 113, outer.right - outer.left, outer.bottom - outer.top);
  form.SetColor(clBtnFace);
  form.Font().SetName(L"MS Sans Serif");
  form.Font().SetHeight(-11);
  form.OnCreate = [&form](TObject* sender) { form.FormCreate(sender); };

  form.LCaption = CreateComponent<TLabel>(&form);
  form.LCaption->SetName(L"LCaption");
  form.LCaption->SetParent(&form);
  form.LCaption->SetBounds(11, 13, 39, 13);
  form.LCaption->SetCaption(L"&Caption:");

  form.Bevel = CreateComponent<TBevel>(&form);
  form.Bevel->SetName(L"Bevel");
  form.Bevel->SetParent(&form);
  form.Bevel->SetBounds(11, 42, 260, 3);
  form.Bevel->SetShape(TBevelShape::bsTopLine);

  form.ECaption = CreateComponent<TEdit>(&form);
  form.ECaption->SetName(L"ECaption");
  form.ECaption->SetParent(&form);
  form.ECaption->SetBounds(55, 10, 216, 21);
  form.ECaption->SetTabOrder(0);
  form.ECaption->OnChange = [&form](TObject* sender) { form.ECaptionChange(sender); };
  form.LCaption->SetFocusControl(form.ECaption);

  form.BOK = CreateComponent<TButton>(&form);
  form.BOK->SetName(L"BOK");
  form.BOK->SetParent(&form);
  form.BOK->SetBounds(113, 55, 75, 24);
  form.BOK->SetCaption(L"OK");
  form.BOK->SetDefault(true);
  form.BOK->SetModalResult(mrOk);

  form.BCancel = CreateComponent<TButton>(&form);
  form.BCancel->SetName(L"BCancel");
  form.BCancel->SetParent(&form);
  form.BCancel->SetBounds(196, 55, 75, 24);
  form.BCancel->SetCaption(L"Cancel");
  form.BCancel->SetCancel(true);
  form.BCancel->SetModalResult(mrCancel);
}

}  // namespace

TVK_DESIGN(TdxInspectorCustomizeNew, BuildInspectorCustomizeNew);

void TdxInspectorCustomizeNew::ECaptionChange(TObject* sender) {
  (void)sender;
  BOK->SetEnabled(!ECaption->Text().empty());
}

void TdxInspectorCustomizeNew::CentreOn(TWinControl* owner) {
  if (!owner) return;
  Font().SetName(owner->Font().Name());
  RECT r{};
  if (owner->HandleAllocated())
    GetWindowRect(owner->Handle(), &r);
  else
    r = RECT{owner->Left(), owner->Top(), owner->Left() + owner->Width(), owner->Top() + owner->Height()};
  const int left = std::max(0, int(r.left) + (int(r.right - r.left) - Width()) / 2);
  const int top = std::max(0, int(r.top) + (int(r.bottom - r.top) - Height()) / 2);
  SetBounds(left, top, Width(), Height());
}

bool dxInspectorNewCategory(TWinControl* owner, WideString& caption) {
  std::unique_ptr<TdxInspectorCustomizeNew> dialog(CreateComponent<TdxInspectorCustomizeNew>(&Application()));
  dialog->ECaption->SetCaption(caption);
  dialog->ECaptionChange(dialog->ECaption);
  dialog->CentreOn(owner);
  if (dialog->ShowModal() != mrOk) return false;
  caption = dialog->ECaption->Text();
  return true;
}

}  // namespace tvk
