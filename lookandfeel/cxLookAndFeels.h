#pragma once
// Look and feel: the small settings object every custom-drawn control owns
// (kind, native style, skin name). Unassigned values come from the master,
// every chain ends at the process-wide root, and each object resolves the
// painter its owner draws with. The controller edits the root; a shared
// hidden window turns system colour changes into notifications.
#include "cxClasses.h"
#include "cxLookAndFeelPainters.h"

#include <functional>

namespace tvk {

enum TcxLookAndFeelValue : unsigned { lfvKind = 1, lfvNativeStyle = 2, lfvSkinName = 4 };
using TcxLookAndFeelValues = unsigned;
constexpr TcxLookAndFeelValues cxLookAndFeelAllValues = lfvKind | lfvNativeStyle | lfvSkinName;

using TdxSkinName = WideString;

struct TcxLookAndFeelData {
  TcxLookAndFeelKind Kind = lfUltraFlat;
  bool NativeStyle = true;
  TdxSkinName SkinName;
  bool UseSkins = true;
};

inline constexpr TcxLookAndFeelStyle KindToStyle[] = {lfsFlat, lfsStandard, lfsUltraFlat, lfsOffice11};
inline constexpr TcxLookAndFeelKind StyleToKind[] = {lfFlat, lfStandard, lfUltraFlat, lfStandard, lfOffice11,
                                                     lfUltraFlat};
// Process-wide; never changed.
inline constexpr bool UseSkins = true;

class TcxLookAndFeel;
using TcxLookAndFeelChangedEvent = std::function<void(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues)>;

// {205538BF-F19E-4285-B11F-B182D9635881}
inline constexpr GUID IID_IcxLookAndFeelListener = {
    0x205538BF, 0xF19E, 0x4285, {0xB1, 0x1F, 0xB1, 0x82, 0xD9, 0x63, 0x58, 0x81}};
struct IcxLookAndFeelListener {
  virtual TObject* GetListenerObject() = 0;
  virtual void MasterChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) = 0;
  virtual void MasterDestroying(TcxLookAndFeel* Sender) = 0;

protected:
  ~IcxLookAndFeelListener() = default;
};

// ---- System colour changes

using TcxSystemPaletteChangedEvent = std::function<void()>;

// Joins the shared listener for its life; primary notifiers (the painters')
// hear a change before the ordinary ones.
class TcxSystemPaletteChangedNotifier : public TObject {
public:
  TVK_CLASS(TcxSystemPaletteChangedNotifier, TObject)
  explicit TcxSystemPaletteChangedNotifier(bool AIsPrimary = false);
  ~TcxSystemPaletteChangedNotifier() override;
  virtual void NotifyPaletteChange();
  bool IsPrimary() const { return FIsPrimary; }
  TcxSystemPaletteChangedEvent OnSystemPaletteChanged;

private:
  bool FIsPrimary;
};

// The shared hidden window's owner; made for the first user, freed with the last.
class TcxSystemPaletteChangedListener : public TcxMessageWindow {
public:
  TVK_CLASS(TcxSystemPaletteChangedListener, TcxMessageWindow)
  TcxSystemPaletteChangedListener();
  ~TcxSystemPaletteChangedListener() override;
  void AddNotifier(TcxSystemPaletteChangedNotifier* ANotifier, bool AIsPrimary);
  void RemoveNotifier(TcxSystemPaletteChangedNotifier* ANotifier, bool AIsPrimary);
  int NotifierCount() const { return FNotifierList.Count(); }
  int PrimaryNotifierCount() const { return FPrimaryNotifierList.Count(); }

protected:
  void HandleMessage(TMessage& Message) override;

private:
  void DoChange();
  TList FNotifierList;
  TList FPrimaryNotifierList;
};

void AddSystemPaletteListenerRef();
void ReleaseSystemPaletteListenerRef();
// The shared listener (null while nobody uses it) and its count of users.
TcxSystemPaletteChangedListener* SystemPaletteListener();
int SystemPaletteListenerRefCount();

// ---- Look and feel

class TcxLookAndFeel : public TcxInterfacedPersistent, public IcxLookAndFeelListener {
public:
  TVK_CLASS(TcxLookAndFeel, TcxInterfacedPersistent)
  explicit TcxLookAndFeel(TPersistent* AOwner);
  ~TcxLookAndFeel() override;

  void AddChangeListener(TObject* AListener);
  void RemoveChangeListener(TObject* AListener);
  int ChangeListenerCount() const { return FChangeListenerList.Count(); }
  TObject* ChangeListeners(int AIndex) const { return FChangeListenerList.Items(AIndex); }

  void Assign(const TPersistent& Source) override;
  void DefineProperties(TFiler& Filer) override;
  void BeginUpdate() { ++FUpdateLockCount; }
  void EndUpdate();
  void Refresh() { Changed(cxLookAndFeelAllValues); }
  void Reset() { SetAssignedValues(0); }
  void SetStyle(TcxLookAndFeelStyle Value);

  TcxCustomLookAndFeelPainter* GetAvailablePainter(TdxThemedObjectType ANeededThemedObjectType);
  TcxCustomLookAndFeelPainter* GetAvailablePainter(TdxThemedObjectTypes ANeededThemedObjectTypes = 0);

  TcxLookAndFeelValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TcxLookAndFeelValues Value);
  TcxLookAndFeelKind Kind() const { return FCurrentState.Kind; }
  void SetKind(TcxLookAndFeelKind Value);
  bool NativeStyle() const { return FCurrentState.NativeStyle; }
  void SetNativeStyle(bool Value);
  const TdxSkinName& SkinName() const { return FCurrentState.SkinName; }
  void SetSkinName(const TdxSkinName& Value);
  TcxLookAndFeelStyle ActiveStyle() const;
  // Null for the root; the explicit master, else the root.
  TcxLookAndFeel* MasterLookAndFeel() const;
  void SetMasterLookAndFeel(TcxLookAndFeel* Value);
  TcxCustomLookAndFeelPainter* Painter() const { return FPainter; }
  TcxCustomLookAndFeelPainter* SkinPainter() const { return FSkinPainter; }
  bool IsRootLookAndFeel() const { return FIsRootLookAndFeel; }
  TcxLookAndFeelChangedEvent OnChanged;

  // The listener interface.
  TObject* GetListenerObject() override { return this; }
  void MasterChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) override;
  void MasterDestroying(TcxLookAndFeel* Sender) override;

protected:
  bool GetInterface(REFIID iid, void** object) override;
  virtual TcxCustomLookAndFeelPainter* GetSkinPainterByName(const TdxSkinName& AName) const;
  virtual void UpdateCurrentState();
  virtual void UpdatePainter();
  virtual TcxLookAndFeelKind GetEffectiveKind() const;
  virtual bool GetEffectiveNativeStyle() const;
  virtual TdxSkinName GetEffectiveSkinName() const;
  virtual TcxCustomLookAndFeelPainter* GetEffectiveSkinPainter() const;
  virtual void SystemPaletteChanged() { Changed(lfvNativeStyle); }

  void Changed(TcxLookAndFeelValues AChangedValues);

private:
  friend void CreateRootLookAndFeel();
  void NotifyListeners(TcxLookAndFeelValues AChangedValues);
  void NotifyDestroying();
  void SaveState();
  void ReportChangedValues();
  TcxLookAndFeel* InheritedSource() const;

  TcxLookAndFeelValues FAssignedValues = 0;
  TcxLookAndFeelValues FChangedValues = 0;
  TcxObjectList FChangeListenerList{false};
  TcxLookAndFeelData FCurrentState;
  TcxLookAndFeelData FData;
  bool FIsDestruction = false;
  bool FIsRootLookAndFeel = false;
  TcxLookAndFeel* FMasterLookAndFeel = nullptr;
  TcxCustomLookAndFeelPainter* FPainter = nullptr;
  TcxCustomLookAndFeelPainter* FSkinPainter = nullptr;
  TcxLookAndFeelData FPrevState;
  std::unique_ptr<TcxSystemPaletteChangedNotifier> FSystemPaletteChangedNotifier;
  int FUpdateLockCount = 0;
};

// The root (null outside the library's life).
TcxLookAndFeel* GetRootLookAndFeel();

// ---- The designer-visible editor of the root

class TcxLookAndFeelController : public TComponent, public IcxLookAndFeelListener {
public:
  TVK_CLASS(TcxLookAndFeelController, TComponent)
  explicit TcxLookAndFeelController(TComponent* AOwner);
  ~TcxLookAndFeelController() override;
  void BeginUpdate();
  void EndUpdate();
  virtual void Reset();

  TcxLookAndFeelKind Kind() const;
  void SetKind(TcxLookAndFeelKind Value);
  bool NativeStyle() const;
  void SetNativeStyle(bool Value);
  TdxSkinName SkinName() const;
  void SetSkinName(const TdxSkinName& Value);

  TObject* GetListenerObject() override { return this; }
  void MasterChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) override;
  void MasterDestroying(TcxLookAndFeel* Sender) override;
  bool GetInterface(const GUID& iid, void** obj) override;

  // The form that owns the controller (directly, or through a frame it owns), or null.
  TComponent* GetOwnerForm() const;

protected:
  // Design-mode change hook; nothing here.
  virtual void Modified() {}
};

// How many controllers the root holds.
int LookAndFeelControllerCount();

// ---- Skin support

inline constexpr GUID IID_IcxSkinSupport = {
    0x1B5D2C4E, 0x3A6F, 0x4E21, {0x9A, 0x51, 0x6C, 0x0D, 0x2E, 0x47, 0x81, 0x3B}};
// Carried by the container styles: {EF3FF483-9B69-46DF-95A4-D3A3810F63A5}.
inline constexpr GUID IID_IcxSkinSupportMarker = {
    0xEF3FF483, 0x9B69, 0x46DF, {0x95, 0xA4, 0xD3, 0xA3, 0x81, 0x0F, 0x63, 0xA5}};
struct IcxSkinSupport {
  virtual bool IsSkinSupported() = 0;

protected:
  ~IcxSkinSupport() = default;
};

bool IsSkinSupportedBy(TObject* AObject);
// Installed at start-up.
using TcxSkinSupportQuery = bool (*)(TObject* AObject);
TcxSkinSupportQuery SkinSupportQuery();

void cxLookAndFeelsUnitStart();
void cxLookAndFeelsUnitStop();

}  // namespace tvk
