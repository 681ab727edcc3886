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

}  // namespace tvk
