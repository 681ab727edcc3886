#include "XPEditText.h"

#include <algorithm>

namespace tvk {

namespace {
// Characters measured per call, so one extents buffer serves any length.
constexpr int kEditMeasureChunk = 32;
}  // namespace

int EditTextWidth(HDC dc, const WideString& text, int start, int count) {
  if (count <= 0 || start < 0 || start >= int(text.size())) return 0;
  count = std::min(count, int(text.size()) - start);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.data() + start, count, &size);
  return size.cx;
}

int EditTextAreaWidth(HDC dc, const RECT& textRect, bool partial) {
  int width = textRect.right - textRect.left;
  if (!partial) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    width -= tm.tmOverhang;
  }
  return width;
}

int EditCountFittingChars(HDC dc, const WideString& text, int first, int room, bool partial) {
  int length = int(text.size());
  int count = 0;
  int extents[kEditMeasureChunk];
  for (int pos = first; pos < length; pos += kEditMeasureChunk) {
    int n = std::min(kEditMeasureChunk, length - pos);
    SIZE size{};
    GetTextExtentExPointW(dc, text.data() + pos, n, 0, nullptr, extents, &size);
    if (extents[n - 1] <= room) {
      count += n;
      room -= extents[n - 1];
      continue;
    }
    for (int i = 0; i < n; ++i) {
      int start = i ? extents[i - 1] : 0;
      bool fits = partial ? start < room : extents[i] <= room;
      if (!fits) break;
      ++count;
    }
    break;
  }
  return count;
}

int EditFirstCharForCaret(HDC dc, const WideString& text, int pos, int room) {
  int first = pos;
  int extents[kEditMeasureChunk];
  while (first > 0) {
    int n = std::min(kEditMeasureChunk, first);
    int start = first - n;
    SIZE size{};
    GetTextExtentExPointW(dc, text.data() + start, n, 0, nullptr, extents, &size);
    if (extents[n - 1] <= room) {
      room -= extents[n - 1];
      first = start;
      continue;
    }
    // Inside this chunk: the characters from the right that still fit.
    int i = n;
    while (i > 0 && extents[n - 1] - (i > 1 ? extents[i - 2] : 0) <= room) --i;
    return start + i;
  }
  return 0;
}

int EditPrevWordPos(const WideString& text, int caret) {
  int i = caret - 1;
  while (i >= 0 && text[std::size_t(i)] == L' ') --i;
  while (i >= 0 && text[std::size_t(i)] != L' ') --i;
  return i + 1;
}

int EditNextWordPos(const WideString& text, int caret) {
  int length = int(text.size());
  int i = caret;
  if (i >= length) return length + 1;
  while (i < length && text[std::size_t(i)] != L' ') ++i;
  while (i < length && text[std::size_t(i)] == L' ') ++i;
  return i < length ? i : length + 1;
}

bool EditWordAt(const WideString& text, int pos, int& start, int& end) {
  int length = int(text.size());
  auto space = [&](int i) { return text[std::size_t(i)] == L' '; };
  end = -1;
  if (pos >= length || space(pos)) {
    // The word ending at the last non-space left of Pos, else the first to its right.
    int i = std::min(pos, length) - 1;
    while (i >= 0 && space(i)) --i;
    if (i >= 0) {
      end = i + 1;
    } else if (pos < length) {
      int j = pos;
      while (j < length && space(j)) ++j;
      if (j < length) {
        while (j < length && !space(j)) ++j;
        end = j;
      }
    }
  } else {
    end = pos;
    while (end < length && !space(end)) ++end;
  }
  if (end < 0) return false;
  start = end;
  while (start > 0 && !space(start - 1)) --start;
  return true;
}

int EditAutoWidth(HDC dc, int width, wchar_t last, int frameSize, int borderSize, bool bordered) {
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  ABC abc{};
  UINT code = last;
  if ((tm.tmPitchAndFamily & TMPF_TRUETYPE) && GetCharABCWidthsW(dc, code, code, &abc))
    width -= abc.abcC;
  else
    width += tm.tmOverhang;
  width += 2 * frameSize;
  if (bordered) width += 2 * borderSize;
  return width;
}

void RefreshTransparentBackground(TWinControl& control) {
  TWinControl* parent = control.Parent();
  RECT r = control.ClientRect();
  POINT topLeft = control.ClientToScreen(POINT{0, 0});
  OffsetRect(&r, topLeft.x, topLeft.y);
  HWND parentWnd = parent->Handle();
  RECT inParent = r;
  MapWindowPoints(nullptr, parentWnd, reinterpret_cast<POINT*>(&inParent), 2);
  if (HDC dc = GetDC(parentWnd)) {
    HRGN region = CreateRectRgnIndirect(&inParent);
    SelectClipRgn(dc, region);
    SendMessageW(parentWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SelectClipRgn(dc, nullptr);
    DeleteObject(region);
    ReleaseDC(parentWnd, dc);
  }
  // The parent and its showing windowed descendants under the rectangle, without erasing.
  std::vector<TWinControl*> pending{parent};
  while (!pending.empty()) {
    TWinControl* current = pending.back();
    pending.pop_back();
    if (current != &control && current->HandleAllocated()) {
      RECT area = r;
      MapWindowPoints(nullptr, current->Handle(), reinterpret_cast<POINT*>(&area), 2);
      RECT client = current->ClientRect(), covered;
      if (IntersectRect(&covered, &client, &area)) InvalidateRect(current->Handle(), &covered, FALSE);
    }
    for (int i = 0; i < current->ControlCount(); ++i)
      if (auto* child = dynamic_cast<TWinControl*>(current->Controls(i));
          child && child != &control && child->Showing())
        pending.push_back(child);
  }
}

}  // namespace tvk
