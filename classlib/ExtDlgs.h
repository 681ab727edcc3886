#pragma once
// The picture file dialogs: open and save with a filter of the registered
// picture formats. Every dialog runs through one seam, which tests replace.
#include "Graphics.h"

#include <functional>

namespace tvk {

// The filter of a graphic class's registered formats ("Bitmaps (*.bmp)|*.bmp");
// null: every registered format, with an "All" entry first.
WideString GraphicFilter(TGraphicClass graphicClass);
// The first registered extension of a graphic class (without the dot).
WideString GraphicExtension(TGraphicClass graphicClass);

class TOpenPictureDialog;

// What a file dialog asks; the runner fills FileName and answers whether the user chose one.
struct TFileDialogRequest {
  bool Save = false;
  WideString Filter;
  WideString DefaultExt;
  WideString FileName;
};
using TFileDialogRunner = std::function<bool(TFileDialogRequest& request)>;
// Null puts the system's dialogs back.
void SetFileDialogRunner(TFileDialogRunner runner);

class TOpenPictureDialog : public TObject {
public:
  TVK_CLASS(TOpenPictureDialog, TObject)
  TOpenPictureDialog() : FFilter(GraphicFilter(nullptr)) {}
  const WideString& Filter() const { return FFilter; }
  void SetFilter(const WideString& value) { FFilter = value; }
  const WideString& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const WideString& value) { FDefaultExt = value; }
  const WideString& FileName() const { return FFileName; }
  void SetFileName(const WideString& value) { FFileName = value; }
  // True when the user chose a file (FileName).
  virtual bool Execute();

protected:
  virtual bool IsSave() const { return false; }

private:
  WideString FFilter, FDefaultExt, FFileName;
};

class TSavePictureDialog : public TOpenPictureDialog {
public:
  TVK_CLASS(TSavePictureDialog, TOpenPictureDialog)

protected:
  bool IsSave() const override { return true; }
};

}  // namespace tvk
