#pragma once
// The driver's forms are built in code: one call places a named control.
#include "Controls.h"

namespace tvk {

// Makes a control owned by `owner`, named for the component search, inside
// `parent` at the given bounds.
template <class T>
T* PlaceControl(TComponent& owner, TWinControl* parent, const wchar_t* name, int left, int top, int width,
                int height) {
  auto* control = new T(&owner);
  control->SetName(name);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

// A rack key: a button of the rack's height with its caption.
template <class TKey>
TKey* PlaceKey(TComponent& owner, TWinControl* parent, const wchar_t* name, const wchar_t* caption, int left, int top,
               int width) {
  auto* key = PlaceControl<TKey>(owner, parent, name, left, top, width, 22);
  key->SetCaption(caption);
  return key;
}

// A display-only lamp with its label beside it.
template <class TLamp, class TLabel>
TLamp* PlaceLamp(TComponent& owner, TWinControl* parent, const wchar_t* name, int left, int top, TLabel*& label,
                 const wchar_t* labelName, const wchar_t* caption, int labelWidth) {
  auto* lamp = PlaceControl<TLamp>(owner, parent, name, left, top, 17, 17);
  lamp->SetEnabled(false);
  label = PlaceControl<TLabel>(owner, parent, labelName, left + 19, top + 2, labelWidth, 14);
  label->SetCaption(caption);
  return lamp;
}

}  // namespace tvk
