#pragma once
// Small services the whole module shares: keyboard state, strings and paths,
// the identity of this process, lock files, message dialogs, the folders the
// module works in, hexadecimal text and deferred destruction; and the root of
// every host service, the host client, which the host executable hands out.
#include "ComRef.h"
#include "Exception.h"
#include "Messages.h"
#include "ZUL.RecordInterfaces.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace tvk {

// ---- Keyboard state (true while the key is held down)

bool IsCtrlDown();
bool IsShiftDown();
bool IsAltDown();

// ---- Strings and paths

// Text followed by Ch, unless it already ends with Ch ("" gives Ch alone).
WideString AppendCharIfMissing(std::wstring_view text, wchar_t ch);
// Text padded with Ch to Width characters; a longer text is not cut.
WideString PadRightWithChar(std::wstring_view text, wchar_t ch, int width);
WideString PadRight(std::wstring_view text, int width);
WideString PadLeftWithChar(std::wstring_view text, wchar_t ch, int width);
// No drive (":") and no "\\" network prefix: callers resolve it against a
// folder of their own.
bool IsRelativePath(std::wstring_view path);

// ---- Identity of this program instance (cached on first use)

WideString GetComputerNameCached();
WideString GetUserNameCached();
WideString GetProcessIdText();

// ---- Lock files: "~$" + name + "_loc" beside a file that another program
// instance holds open. Read only; this module never writes one.

struct TFileOwnershipDetails {
  WideString ComputerName;
  WideString UserName;
  WideString ProcessID;
};

WideString GetLockFileName(std::wstring_view fileName);
// Whether the lock file exists and names a computer, a user and a process.
bool ReadLockFile(std::wstring_view fileName, TFileOwnershipDetails& details);
// Whether FileName is held open by another user, computer or process; a lock
// that cannot be read counts as held by another.
bool IsFileLockedByOther(std::wstring_view fileName, WideString& computerName, WideString& userName);

// Report kinds of ReportLockedFile.
inline constexpr int kLockReportMessagesPanel = 1;
inline constexpr int kLockReportDialog = 2;

// Tells the user that FileName is locked: a line in the host's messages panel
// (kind 1; nothing without a workspace or messages panel, an error without a
// client) or a warning dialog (kind 2). Nothing while the host is silent.
void ReportLockedFile(std::wstring_view fileName, std::wstring_view computerName, std::wstring_view userName,
                      int kind);

// ---- Message dialogs (modal, through the dialog seam of Dialogs.h)

enum class TMessageKind { Warning, Error, Information, Confirmation };
enum class TMessageButtons { Ok, OkCancel };

// Answers the modal result: 1 for OK, 2 for Cancel.
int ShowMessageBox(std::wstring_view caption, std::wstring_view text, TMessageKind kind, TMessageButtons buttons);
// An empty caption counts as none given.
int ShowWarningMessage(std::wstring_view text, std::wstring_view caption = L"Warning");
int ShowInformationMessage(std::wstring_view text, std::wstring_view caption = L"Information");
int ShowErrorMessage(std::wstring_view text, std::wstring_view caption = L"Error");
// "OK" and "Cancel" under the title "Confirm"; true for OK.
bool ConfirmOkCancel(std::wstring_view text);

// ---- Host client services (each takes the cached client)

// 0 without a client.
HWND GetHostMainWindowHandle();
// Empty without a client.
IServerDocumentView GetCurrentDocumentView();
WideString GetApplicationTitle();
// Runs the host process "Server:Process" with a parameter string; Parameters
// receives what the host hands back. Nothing without a client.
void RunServerProcess(std::wstring_view processName, WideString& parameters,
                      const IServerDocumentView& view = IServerDocumentView());
// Nothing without a client or GUI manager.
void SetStatusBarText(std::int32_t pane, std::wstring_view text);
void ClearStatusBarText();
// Passes a key stroke no form of the module handled to the host; true when
// the host took it. Raises without a client.
bool ProcessHostShortcut(std::int32_t charCode);

// The host client services' silent flag (asked once); false without them.
bool IsHostSilent();

// ---- Folders (each ends with "\")

// The host executable's folder, upper-cased.
WideString GetHostExecutableFolder();
// GetHostExecutableFolder + "System\".
WideString GetSystemFolder();
// The folder of this module's own file.
WideString GetModuleFolder();
// The full name of this module's own file.
WideString GetModuleFile();
WideString GetLibraryFolder();    // GetModuleFolder + "Library\"
WideString GetTemplatesFolder();  // GetModuleFolder + "Templates\"
// The host's folders as its client services give them; empty without them.
WideString GetProgramFolder();
WideString GetUserFolder();
WideString GetHostDataFolder();
// The folder of the host's toolchain-manager module: the System folder when it
// lies there, else the first plug-in folder that holds it, else "\".
WideString SpecialFolder_EmbeddedExtension();
// The system temporary folder as the platform gives it.
WideString GetTempFolder();
// The same in its long form.
WideString GetTempFolderLong();
// A new empty file "Pro....tmp" in the temporary folder; empty when that fails.
WideString GetTempFileName();

// The file name of the host's toolchain-manager module.
inline constexpr std::wstring_view kToolchainManagerModule = L"HostToolchains.dll";

// ---- Plug-in folders and host modules

// Called for each enabled plug-in's folder (ending with "\"), in registry
// order, until it sets Stop. Nothing without a client or plug-ins registry.
using TPluginFolderVisitor = std::function<void(const WideString& folder, bool& stop)>;
void ForEachPluginFolder(const TPluginFolderVisitor& visitor);
// The full name of FileName in the host's System folder or in an enabled
// plug-in's folder; empty when none. A plug-in folder that is missing, empty,
// too long or not a valid path raises.
WideString FindFileInHostFolders(std::wstring_view fileName);
// While Handle is 0: the module of that file name already loaded in the
// process, else the one found by FindFileInHostFolders, loaded. Handle stays
// 0 when neither works.
void LoadHostModule(HMODULE& handle, std::wstring_view fileName);

// ---- Files

// Replaces TargetFile, which a host editor may hold open, by NewFile: the
// host's document is told of the update, the target is replaced in one step
// (a new file from another folder is first moved beside it) and kept whole
// when anything fails (NewFile and any copy of it are then deleted). False when the target
// is locked by another (reported to the messages panel; NewFile deleted) or
// the replacement failed; true for equal names or a missing NewFile.
bool ReplaceDocumentFile(std::wstring_view newFile, std::wstring_view targetFile);

// ---- Numbers

// Hexadecimal with an optional "0x"/"0X"; wraps to the last eight digits. An
// empty text (also after the prefix) gives 0, any other character Default.
std::int32_t HexStrToInt(std::wstring_view text, std::int32_t defaultValue);

// ---- Deferred destruction

// Frees an object from the thread's message loop, after the caller's own
// message handling has unwound: made for forms that cannot free themselves
// from inside their own handlers. Heap-only; it frees itself with the object.
class TDelayedDestroyer {
public:
  // Takes Object over; it is freed when the posted release message arrives.
  template <class T>
  static void Create(std::unique_ptr<T> object) {
    Start(std::make_unique<TOwnedObject<T>>(std::move(object)));
  }
  TDelayedDestroyer(const TDelayedDestroyer&) = delete;
  TDelayedDestroyer& operator=(const TDelayedDestroyer&) = delete;
  ~TDelayedDestroyer();

  // The class library's release message.
  static constexpr UINT CM_RELEASE = ::tvk::CM_RELEASE;

  // Module shut-down: frees whatever is still pending (its window procedure
  // goes with the module) and unregisters the window class.
  static void DestroyPending();

private:
  struct TOwned {
    virtual ~TOwned() = default;
  };
  template <class T>
  struct TOwnedObject : TOwned {
    explicit TOwnedObject(std::unique_ptr<T> p) : Object(std::move(p)) {}
    std::unique_ptr<T> Object;
  };

  explicit TDelayedDestroyer(std::unique_ptr<TOwned> object);
  static void Start(std::unique_ptr<TOwned> object);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND FHandle = nullptr;                     // the hidden utility window this object owns
  std::unique_ptr<TOwned> FObjectToDestroy;
};

template <class T>
void DelayedDestroy(std::unique_ptr<T> object) {
  TDelayedDestroyer::Create(std::move(object));
}

// ---- The host client

// The client the host executable hands out, cached once found (asked again
// while empty); empty when the host gives none.
IClient GetHostClient();
// The client's services, cached once found; empty without a client.
IClientAPI_Interface GetHostClientAPI();
// The client's platform workspace; raises without a client.
IZULWorkSpace GetClientWorkSpace();

// Looks up the client export in Host, the process's main executable (a null
// module leaves it unbound). Run by the start-up step.
void BindHostClientExport(HMODULE host);

// Start-up: binds the client export of the process's main executable.
bool UtilUnitStartup();
// Shut-down: forgets the cached identity texts, the client API and pending
// delayed destructions.
void UtilUnitShutdown();
// Shut-down step of the class-library component: releases the client.
void ReleaseHostClient();

}  // namespace tvk
