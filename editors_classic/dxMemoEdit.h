#pragma once
// The memo editor: the rich-edit text editor made multi-line, with word
// wrap, scroll bars, and a say over whether Enter and Tab stay in the text or
// go to the host; its lines read and written directly in the window.
#include "StdCtrls.h"
#include "dxEditor.h"

namespace tvk {

class TdxInplaceMemoEdit;

// A memo's lines as strings; without a window there are none.
class TdxMemoStrings : public TStrings {
public:
  TVK_CLASS(TdxMemoStrings, TStrings)
  explicit TdxMemoStrings(TdxInplaceMemoEdit* memoEdit) : MemoEdit(memoEdit) {}
  int Count() const override;
  // At most the first 4096 characters of a line.
  WideString Get(int index) const override;
  void Put(int index, const WideString& s) override;
  void Insert(int index, const WideString& s) override;
  void Delete(int index) override;
  void Clear() override;
  // The whole text; setting it raises EInvalidOperation "Text exceeds memo capacity" when the window refuses it.
  WideString Text() const;
  void SetText(const WideString& value);

  TdxInplaceMemoEdit* MemoEdit;  // not owned

protected:
  void SetUpdateState(bool updating) override;

private:
  HWND Window() const;
  LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
  void ReplaceRange(int start, int end, const WideString& text);
};

class TdxInplaceMemoEdit : public TdxInplaceTextEdit {
public:
  TVK_CLASS(TdxInplaceMemoEdit, TdxInplaceTextEdit)
  explicit TdxInplaceMemoEdit(TComponent* owner);
  ~TdxInplaceMemoEdit() override;

  TStrings& Lines() { return *FLines; }
  TdxMemoStrings& MemoLines() { return *FLines; }
  void SetLines(const TStrings& value) { FLines->Assign(value); }
  bool HideScrollBars() const { return FHideScrollBars; }
  void SetHideScrollBars(bool value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);

  void SelectAll() override;
  void Loaded() override;
  bool WantTabs() override { return FWantTabs; }
  std::unique_ptr<TdxEditViewData> CreateViewData(bool isPaintCopy) override;

  bool FWantReturns = true;
  bool FWantTabs = false;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandle(const TCreateParams& params) override;
  void CreateWnd() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  TVK_MESSAGES();
  void WMKeyDown(TMessage& message);
  void WMGetDlgCode(TMessage& message);

private:
  bool WholeTextSelected();
  bool FHideScrollBars = true;
  std::unique_ptr<TdxMemoStrings> FLines;
  TScrollStyle FScrollBars = TScrollStyle::ssNone;
  bool FWordWrap = true;
};

}  // namespace tvk
