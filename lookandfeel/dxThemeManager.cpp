#include "dxThemeManager.h"

#include "Files.h"

#include <algorithm>
#include <array>

namespace tvk {

namespace {

constexpr const wchar_t* kThemeClassNames[kThemedObjectTypeCount] = {
    L"Button", L"Clock", L"ComboBox", L"Edit", L"ExplorerBar", L"Header", L"ListBox", L"ListView", L"Menu",
    L"Page", L"Progress", L"Rebar", L"ScrollBar", L"Spin", L"StartPanel", L"Status", L"Tab", L"TaskBand",
    L"TaskBar", L"ToolBar", L"ToolTip", L"TrackBar", L"TrayNotify", L"TreeView", L"Window"};

struct TdxThemeData {
  HTHEME Theme = nullptr;
  WideString ClassNameList;  // the class list the handle was opened with
};

std::array<WideString, kThemedObjectTypeCount> gClassNames;
std::array<TdxThemeData, kThemedObjectTypeCount> gThemeData;
std::array<WideString, 2> gStandardStyleFiles;
bool gThemesActive = false;

bool IsSameClassList(const WideString& A, const WideString& B) { return UpperCaseText(A) == UpperCaseText(B); }

}  // namespace

// The hidden window that hears WM_THEMECHANGED and WM_SYSCOLORCHANGE.
class TdxThemeChangedEventReceiver : public TcxMessageWindow {
public:
  TVK_CLASS(TdxThemeChangedEventReceiver, TcxMessageWindow)
  TdxThemeChangedEventReceiver() = default;
  ~TdxThemeChangedEventReceiver() override { gThemesActive = false; }
  std::vector<TdxThemeChangedNotificator*> Notificators;  // in the order they joined

protected:
  void HandleMessage(TMessage& Message) override {
    if (Message.Msg != WM_THEMECHANGED && Message.Msg != WM_SYSCOLORCHANGE) {
      TcxMessageWindow::HandleMessage(Message);
      return;
    }
    // An error is the application's to show; the message counts as handled anyway.
    CallGuarded(this, [&] {
      CloseAllThemeHandles();
      DefWindowProcW(Handle(), Message.Msg, Message.WParam, Message.LParam);
      gThemesActive = IsThemeActive() != 0;
      NotifyNotificators();
    });
    Message.Result = 0;
  }

private:
  void NotifyNotificators() {
    // A notificator may go while the others are told.
    const std::vector<TdxThemeChangedNotificator*> round = Notificators;
    for (TdxThemeChangedNotificator* notificator : round)
      if (std::find(Notificators.begin(), Notificators.end(), notificator) != Notificators.end())
        notificator->RaiseThemeChanged();
  }
};

namespace {
TdxThemeChangedEventReceiver* gReceiver = nullptr;
}

const WideString& ThemeClassNames(TdxThemedObjectType AType) { return gClassNames[std::size_t(AType)]; }

bool ThemesActiveFlag() { return gThemesActive; }

bool AreThemesAvailable(TdxThemedObjectTypes ATypes) {
  if (!gThemesActive || !IsUxThemeLoaded()) return false;
  for (int type = 0; type < kThemedObjectTypeCount; ++type)
    if ((ATypes & (1u << type)) && !GetThemeHandleForType(TdxThemedObjectType(type))) return false;
  return true;
}

HTHEME GetThemeHandleForType(TdxThemedObjectType AType, const wchar_t* AClassList) {
  if (!AreThemesAvailable()) return nullptr;
  TdxThemeData& data = gThemeData[std::size_t(AType)];
  if (data.Theme) {
    if (!AClassList || IsSameClassList(AClassList, data.ClassNameList)) return data.Theme;
    CloseThemeData(data.Theme);
    data.Theme = nullptr;
  }
  WideString list = AClassList ? WideString(AClassList)
                    : !data.ClassNameList.empty() ? data.ClassNameList
                                                  : gClassNames[std::size_t(AType)];
  data.Theme = OpenThemeData(nullptr, list.c_str());
  data.ClassNameList = data.Theme ? list : WideString();
  return data.Theme;
}

HRESULT CloseThemeHandleForType(TdxThemedObjectType AType) {
  if (!AreThemesAvailable()) return 1;
  TdxThemeData& data = gThemeData[std::size_t(AType)];
  if (!data.Theme) return 0;
  HRESULT result = CloseThemeData(data.Theme);
  data = TdxThemeData{};
  return result;
}

void CloseAllThemeHandles() {
  for (TdxThemeData& data : gThemeData)
    if (data.Theme) {
      CloseThemeData(data.Theme);
      data.Theme = nullptr;
    }
}

const WideString& ThemeClassListOf(TdxThemedObjectType AType) { return gThemeData[std::size_t(AType)].ClassNameList; }

bool IsXPStandardVisualStyle() {
  if (!AreThemesAvailable()) return false;
  wchar_t fileName[1024] = {};
  if (FAILED(GetCurrentThemeName(fileName, 1024, nullptr, 0, nullptr, 0))) return false;
  WideString name = UpperCaseText(ExtractFileName(fileName));
  return name == gStandardStyleFiles[0] || name == gStandardStyleFiles[1];
}

TdxThemeChangedNotificator::TdxThemeChangedNotificator() {
  if (IsUxThemeLoaded() && gReceiver) gReceiver->Notificators.push_back(this);
}

TdxThemeChangedNotificator::~TdxThemeChangedNotificator() {
  if (gReceiver) std::erase(gReceiver->Notificators, this);
}

void TdxThemeChangedNotificator::RaiseThemeChanged() {
  if (OnThemeChanged) OnThemeChanged();
}

HWND ThemeChangedReceiverHandle() { return gReceiver ? gReceiver->Handle() : nullptr; }

int ThemeChangedNotificatorCount() { return gReceiver ? int(gReceiver->Notificators.size()) : 0; }

void dxThemeManagerUnitStart() {
  for (int i = 0; i < kThemedObjectTypeCount; ++i) gClassNames[std::size_t(i)] = kThemeClassNames[i];
  gStandardStyleFiles = {L"LUNA.MSSTYLES", L"ROYALE.MSSTYLES"};
  if (!IsUxThemeLoaded()) return;
  gThemesActive = IsThemeActive() != 0;
  gReceiver = new TdxThemeChangedEventReceiver();
}

void dxThemeManagerUnitStop() {
  if (IsUxThemeLoaded() || gReceiver) {
    delete std::exchange(gReceiver, nullptr);  // clears the flag
    CloseAllThemeHandles();
  }
  gThemesActive = false;
  for (WideString& name : gClassNames) name.clear();
  gThemeData = {};
  for (WideString& name : gStandardStyleFiles) name.clear();
}

}  // namespace tvk
