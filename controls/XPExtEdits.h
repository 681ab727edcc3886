#pragma once
// The history edit: an editable combo whose list is the most recent first
// history of the values entered in it, kept in the current user's registry
// (one string value of CR LF lines) from one run to the next.
#include "XPCombo.h"

namespace tvk {

class TXPHistoryEdit : public TXPCustomComboBox {
public:
  TVK_CLASS(TXPHistoryEdit, TXPCustomComboBox)
  explicit TXPHistoryEdit(TComponent* owner);
  // Freed with its window still there: the history is saved first.
  ~TXPHistoryEdit() override;

  // The history's path below the current user's root; empty: the owner's
  // class name and the control's name.
  const WideString& RegKey() const { return FRegKey; }
  void SetRegKey(const WideString& value) { FRegKey = value; }
  bool AddToHistoryOnExit() const { return FAddToHistoryOnExit; }
  void SetAddToHistoryOnExit(bool value) { FAddToHistoryOnExit = value; }
  TNotifyEvent OnEnterHit;

  // The current text goes to the top of the history (once).
  virtual void AddToHistory();
  virtual void SaveHistory();
  virtual void LoadHistory();
  void EmptyHistory() { Items().Clear(); }

  // The full path (key and value name) written, and the older one only read.
  WideString CurrentPath() const;
  WideString LegacyPath() const;
  // The prefix of every current path (empty unless set).
  static WideString& RootPrefix();
  // The fixed prefix of the legacy paths.
  static const wchar_t* const kLegacyPrefix;

protected:
  void Loaded() override;
  void DestroyWindowHandle() override;
  void KeyPress(wchar_t& key) override;

  TVK_MESSAGES();
  void WMDestroy(TMessage& message);
  void CMWantSpecialKey(TMessage& message);

private:
  bool ReadPath(const WideString& path);
  // A save while the window goes: a failure is logged, never raised.
  void SaveDuringTeardown() noexcept;

  WideString FRegKey;
  bool FAddToHistoryOnExit = true;
};

}  // namespace tvk
