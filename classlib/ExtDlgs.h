#pragma once
// The file dialogs: a plain open dialog, and open and save with a filter of
// the registered picture formats. Every dialog runs through one seam, which
// tests replace.
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
  WideString Title;       // empty: the system's
  int FilterIndex = 1;    // the filter shown first, from 1
  WideString InitialDir;  // empty: the system's choice
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

// The open-file dialog: a title, "Text|*.ext" filters with the one shown
// first (from 1) and the folder it starts in.
class TOpenDialog : public TObject {
public:
  TVK_CLASS(TOpenDialog, TObject)
  const WideString& Title() const { return FTitle; }
  void SetTitle(const WideString& value) { FTitle = value; }
  const WideString& Filter() const { return FFilter; }
  void SetFilter(const WideString& value) { FFilter = value; }
  int FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int value) { FFilterIndex = value; }
  const WideString& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const WideString& value) { FInitialDir = value; }
  const WideString& FileName() const { return FFileName; }
  void SetFileName(const WideString& value) { FFileName = value; }
  // True when the user chose an existing file (FileName).
  bool Execute();

private:
  WideString FTitle, FFilter, FInitialDir, FFileName;
  int FFilterIndex = 1;
};

class TSavePictureDialog : public TOpenPictureDialog {
public:
  TVK_CLASS(TSavePictureDialog, TOpenPictureDialog)

protected:
  bool IsSave() const override { return true; }
};

}  // namespace tvk
