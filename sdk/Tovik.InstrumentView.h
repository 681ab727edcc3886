#pragma once
// The base of the served instrument views of the driver's windows: an
// external form around a rack form, which the view disposes of (not forced
// to go at once). Here, in the host SDK, so that the driver user interface
// derives its views (TRackInstrumentView) without depending on the driver.
#include "ZUL.Classes.h"

namespace tvk {

class TTovikInstrumentView : public TExternalForm {
public:
  explicit TTovikInstrumentView(TCustomForm* form) : TExternalForm(form, false) {}

  // The virtual constructor Create(AForm): a new view of class T around Form,
  // with no reference counted yet (the caller takes the first).
  template <class T = TTovikInstrumentView>
  static T* Create(TCustomForm* form) {
    return New<T>(form);
  }
};

}  // namespace tvk
