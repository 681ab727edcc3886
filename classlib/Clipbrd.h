#pragma once
// The clipboard object: the system clipboard opened for a caller (nested
// opens share one), Unicode text put and taken, formats asked for. Within one
// open the first thing put empties the clipboard and later ones join it, so
// a caller that holds it open puts several formats of one copy.
#include "Classes.h"

namespace tvk {

class TPicture;
class TMetafile;

// The library's own clipboard format for pictures (registered once per process):
// the graphic's class name and its file bytes.
UINT PictureClipFormat();

class TClipboard {
public:
  // Opens the clipboard for the library's window; nested calls count.
  // Raises "Cannot open clipboard" when another program holds it.
  void Open();
  void Close();
  void Clear();
  bool HasFormat(UINT format) const;
  // The CF_UNICODETEXT text up to its null; empty without one.
  WideString AsText();
  // Puts Text as CF_UNICODETEXT with its null.
  void SetAsText(const WideString& text);
  // Puts a copy of Metafile as CF_ENHMETAFILE (an empty one puts nothing).
  void Assign(const TMetafile& metafile);
  // Empties the clipboard and puts Picture in the picture format, and also in
  // its graphic's own clipboard format when it has one (a bitmap: CF_BITMAP).
  // An empty picture only empties the clipboard.
  void Assign(const TPicture& picture);
  // Picture from the picture format, else from CF_BITMAP; raises
  // EInvalidGraphic when neither is there or the data is damaged.
  void AssignTo(TPicture& picture);

private:
  void DestroyOwnWindow();
  // Empties the clipboard unless something was put since it was opened.
  void Adding();
  int FOpenRefCount = 0;
  bool FEmptied = false;
  HWND FOwnWindow = nullptr;
};

TClipboard& Clipboard();

}  // namespace tvk
