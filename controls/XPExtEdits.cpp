#include "XPExtEdits.h"

#include "Forms.h"
#include "Registry.h"

namespace tvk {

namespace {

struct THistoryPath {
  WideString Key, Value;
};

// The part before the last backslash is the key (without a trailing one),
// the part after it the value name.
THistoryPath SplitHistoryPath(const WideString& path) {
  const auto slash = path.rfind(L'\\');
  if (slash == WideString::npos) return {L"", path};
  WideString key = path.substr(0, slash);
  if (!key.empty() && key.back() == L'\\') key.pop_back();
  return {key, path.substr(slash + 1)};
}

}  // namespace

const wchar_t* const TXPHistoryEdit::kLegacyPrefix = L"Software\\TvkToolkit\\StyledControls\\Common\\EditHistory\\";

WideString& TXPHistoryEdit::RootPrefix() {
  static WideString prefix;
  return prefix;
}

TXPHistoryEdit::TXPHistoryEdit(TComponent* owner) : TXPCustomComboBox(owner) {
  SetStyle(TComboBoxStyle::csDropDown);
}

TXPHistoryEdit::~TXPHistoryEdit() {
  // Past this destructor the window is destroyed by a base that no longer
  // knows the history.
  if (HandleAllocated()) SaveDuringTeardown();
}

WideString TXPHistoryEdit::CurrentPath() const {
  if (!FRegKey.empty()) return RootPrefix() + FRegKey;
  const WideString ownerClass = Owner() ? WideString(Owner()->ClassName()) : WideString();
  return RootPrefix() + ownerClass + L"\\" + Name();
}

WideString TXPHistoryEdit::LegacyPath() const {
  if (!FRegKey.empty()) return kLegacyPrefix + FRegKey;
  if (!Name().empty()) return kLegacyPrefix + Name() + L"Prop";
  return WideString(kLegacyPrefix) + L"Default";
}

bool TXPHistoryEdit::ReadPath(const WideString& path) {
  const THistoryPath split = SplitHistoryPath(path);
  TRegistry registry;
  if (!registry.OpenKey(split.Key, false) || !registry.ValueExists(split.Value)) return false;
  const int index = ItemIndex();
  Items().SetText(registry.ReadString(split.Value));
  SetItemIndex(index);
  registry.CloseKey();
  return true;
}

void TXPHistoryEdit::LoadHistory() {
  if (ComponentState() & csDesigning) return;
  if (ReadPath(CurrentPath()) || ReadPath(LegacyPath())) return;
  Items().SetText(L"");
}

void TXPHistoryEdit::SaveHistory() {
  if (ComponentState() & csDesigning) return;
  const THistoryPath split = SplitHistoryPath(CurrentPath());
  TRegistry registry;
  if (!registry.OpenKey(split.Key, true))
    throw ERegistryException(L"Failed to create key " + split.Key);
  registry.WriteString(split.Value, Items().Text());
  registry.CloseKey();
}

void TXPHistoryEdit::AddToHistory() {
  ++FSuppressChange;
  try {
    const WideString text = UnicodeText();
    const int existing = Items().IndexOf(text);
    if (existing >= 0) Items().Delete(existing);
    if (!text.empty()) {
      Items().Insert(0, text);
      SetItemIndex(0);
    }
  } catch (...) {
    --FSuppressChange;
    throw;
  }
  --FSuppressChange;
}

void TXPHistoryEdit::SaveDuringTeardown() noexcept {
  try {
    SaveHistory();
  } catch (...) {
    const WideString text = L"History not saved: " + ExceptionMessage(std::current_exception()) + L"\n";
    OutputDebugStringW(text.c_str());
  }
}

void TXPHistoryEdit::Loaded() {
  TXPCustomComboBox::Loaded();
  LoadHistory();
}

void TXPHistoryEdit::DestroyWindowHandle() {
  SaveDuringTeardown();
  TXPCustomComboBox::DestroyWindowHandle();
}

void TXPHistoryEdit::WMDestroy(TMessage& message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form->ModalResult() == mrOk) {
    try {
      AddToHistory();
    } catch (...) {
      OutputDebugStringW(L"History entry not added\n");
    }
  }
  SaveDuringTeardown();
  TVK_INHERITED(message);
}

void TXPHistoryEdit::KeyPress(wchar_t& key) {
  if (key == L'\r') {
    if (OnEnterHit) OnEnterHit(this);
    key = 0;
  }
  TXPCustomComboBox::KeyPress(key);
}

void TXPHistoryEdit::CMWantSpecialKey(TMessage& message) {
  TVK_INHERITED(message);
  if (message.WParam == VK_RETURN) AddToHistory();
}

TVK_MESSAGE_MAP(TXPHistoryEdit, {WM_DESTROY, &TXPHistoryEdit::WMDestroy},
                {CM_WANTSPECIALKEY, &TXPHistoryEdit::CMWantSpecialKey})

}  // namespace tvk
