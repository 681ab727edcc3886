#pragma once
// What the styled edit and the themed Unicode edit share: measuring a
// single line of display text against a device context, the word rules of
// the caret and the double click, the auto width, and refreshing what lies
// under a transparent edit. The edits keep their state; these take it in.
#include "Controls.h"

namespace tvk {

// The width of Count characters of Text from Start (clipped to the text).
int EditTextWidth(HDC dc, const WideString& text, int start, int count);
// The width of a text rectangle, less the font's overhang unless Partial.
int EditTextAreaWidth(HDC dc, const RECT& textRect, bool partial);
// How many characters from First fit in Room pixels; with Partial a
// character counts when it starts inside Room.
int EditCountFittingChars(HDC dc, const WideString& text, int first, int room, bool partial);
// The leftmost first character that still shows the caret at Pos whole.
int EditFirstCharForCaret(HDC dc, const WideString& text, int pos, int room);
// The character under X pixels right of the first shown character (a
// negative X reaches one character back); CharWidth(index) measures one.
template <class CharWidth>
int EditCharIndexAt(int x, int firstChar, int partialVisibleCount, int length, CharWidth&& charWidth) {
  if (x < 0) {
    if (firstChar == 0) return 0;
    return charWidth(firstChar - 1) / 2 >= -x ? firstChar : firstChar - 1;
  }
  int index = firstChar;
  int remaining = x;
  for (int i = 0; i < partialVisibleCount && index < length; ++i) {
    int w = charWidth(index);
    if (w / 2 >= remaining) break;
    remaining -= w;
    ++index;
  }
  return index;
}

// The start of the word left of Caret.
int EditPrevWordPos(const WideString& text, int caret);
// The start of the word right of Caret; the length plus one past the last.
int EditNextWordPos(const WideString& text, int caret);
// The word a double click at Pos selects: the one under it, else the one
// ending left of it, else the first to its right. False when there is none.
bool EditWordAt(const WideString& text, int pos, int& start, int& end);

// The auto width of a non-empty text from Width (its text width with one
// frame and border each side): less the Last character's overhang, plus the
// frame again and, when Bordered, the border.
int EditAutoWidth(HDC dc, int width, wchar_t last, int frameSize, int borderSize, bool bordered);

// The one-snapshot undo of an edit: the text as it stood before the first
// change since the last undo or clear.
class TEditUndoSnapshot {
public:
  // The text is about to change from Before.
  void TextChanging(const WideString& before) {
    if (FNeedSave) {
      FText = before;
      FNeedSave = false;
    }
    FCanUndo = true;
  }
  // The next change is remembered afresh.
  void SaveNext() { FNeedSave = true; }
  void Clear() {
    FText.clear();
    FCanUndo = false;
    FNeedSave = true;
  }
  bool CanUndo() const { return FCanUndo; }
  const WideString& Text() const { return FText; }

private:
  WideString FText;
  bool FCanUndo = false;
  bool FNeedSave = true;
};

// Has the parent of a transparent Control erase the area under it and
// repaints the parent's showing windowed descendants there.
void RefreshTransparentBackground(TWinControl& control);

}  // namespace tvk
