#include "ZUL.Util.h"

#include "Dialogs.h"
#include "Files.h"
#include "ModuleInit.h"
#include "ORV.Types.h"

#include <lmcons.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace tvk {

namespace {

// ---- Module-wide caches; empty means "not asked yet".

WideString gComputerName;
WideString gUserName;
WideString gProcessIdText;

// ClientAPI_GetClientInterface: one out parameter, no result.
using TGetClientInterface = void(__stdcall*)(IUnknown** client);
TGetClientInterface gGetClientInterface = nullptr;
// The host's objects: released by the shut-down steps, left alone at process exit.
constinit TModuleHeld<ComRef<IDispatch>> gHostClient;     // empty until the host gave a client
constinit TModuleHeld<ComRef<IDispatch>> gHostClientAPI;  // empty until the client gave its services
std::optional<bool> gHostSilent;   // asked once the client services are there

// The host workspace manager's process that opens a document, named in the
// locked-file line so that the user can open the file from there.
constexpr wchar_t kOpenObjectProcess[] = L"HostWorkspace:OpenObject";
// The picture of the "Error" severity in the host's messages panel.
constexpr std::int32_t kErrorImageIndex = kSeverityImageIndexes[2];

bool KeyDown(int key) { return GetKeyState(key) < 0; }

// The full file name of a module (null: the process's executable).
WideString ModuleFileName(HMODULE module) {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (;;) {
    DWORD n = GetModuleFileNameW(module, buffer.data(), DWORD(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return WideString(buffer.data(), n);
    buffer.resize(buffer.size() * 2);  // truncated: a short folder would be a wrong one
  }
}

// The value of a lock-file line, from its fixed 1-based character position.
WideString LineValue(const WideString& line, std::size_t firstChar) {
  return line.size() >= firstChar ? line.substr(firstChar - 1) : WideString();
}

}  // namespace

// ---- Keyboard state

bool IsCtrlDown() { return KeyDown(VK_CONTROL); }
bool IsShiftDown() { return KeyDown(VK_SHIFT); }
bool IsAltDown() { return KeyDown(VK_MENU); }

// ---- Strings and paths

WideString AppendCharIfMissing(std::wstring_view text, wchar_t ch) {
  WideString result(text);
  if (result.empty() || result.back() != ch) result += ch;
  return result;
}

WideString PadRightWithChar(std::wstring_view text, wchar_t ch, int width) {
  WideString result(text);
  if (width > int(result.size())) result.append(std::size_t(width) - result.size(), ch);
  return result;
}

WideString PadRight(std::wstring_view text, int width) { return PadRightWithChar(text, L' ', width); }

WideString PadLeftWithChar(std::wstring_view text, wchar_t ch, int width) {
  WideString result;
  if (width > int(text.size())) result.assign(std::size_t(width) - text.size(), ch);
  result += text;
  return result;
}

bool IsRelativePath(std::wstring_view path) {
  return path.find(L':') == std::wstring_view::npos && !path.starts_with(L"\\\\");
}

// ---- Identity

WideString GetComputerNameCached() {
  if (gComputerName.empty()) {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (GetComputerNameW(name, &size)) gComputerName.assign(name, size);
  }
  return gComputerName;
}

WideString GetUserNameCached() {
  if (gUserName.empty()) {
    wchar_t name[UNLEN + 1] = {};
    DWORD size = UNLEN + 1;
    if (GetUserNameW(name, &size)) gUserName = name;
  }
  return gUserName;
}

WideString GetProcessIdText() {
  if (gProcessIdText.empty()) gProcessIdText = std::to_wstring(GetCurrentProcessId());
  return gProcessIdText;
}

// ---- Lock files

WideString GetLockFileName(std::wstring_view fileName) {
  return ExtractFilePath(fileName) + L"~$" + ExtractFileName(fileName) + L"_loc";
}

bool ReadLockFile(std::wstring_view fileName, TFileOwnershipDetails& details) {
  details = {};
  WideString lockName = GetLockFileName(fileName);
  if (!FileExists(lockName)) return false;
  // Key, one "=", value: the values start at fixed positions.
  for (const WideString& line : LoadTextLines(lockName)) {
    if (line.starts_with(L"ComputerName")) details.ComputerName = LineValue(line, 14);
    else if (line.starts_with(L"UserName")) details.UserName = LineValue(line, 10);
    else if (line.starts_with(L"ProcessID")) details.ProcessID = LineValue(line, 11);
  }
  return !details.ComputerName.empty() && !details.UserName.empty() && !details.ProcessID.empty();
}

bool IsFileLockedByOther(std::wstring_view fileName, WideString& computerName, WideString& userName) {
  computerName.clear();
  userName.clear();
  try {
    TFileOwnershipDetails lock;
    if (!ReadLockFile(fileName, lock)) return false;
    computerName = lock.ComputerName;
    userName = lock.UserName;
    bool thisProcess = SameTextIgnoringCase(lock.ComputerName, GetComputerNameCached()) &&
                       SameTextIgnoringCase(lock.UserName, GetUserNameCached()) &&
                       SameTextIgnoringCase(lock.ProcessID, GetProcessIdText());
    return !thisProcess;
  } catch (...) {
    return true;  // a lock we cannot read may well be someone else's
  }
}

void ReportLockedFile(std::wstring_view fileName, std::wstring_view computerName, std::wstring_view userName,
                      int kind) {
  if (IsHostSilent()) return;
  const WideString file(fileName), name = ExtractFileName(fileName), user(userName), computer(computerName);
  if (kind == kLockReportMessagesPanel) {
    IZULWorkSpace workSpace = GetClientWorkSpace();
    if (!workSpace) return;
    IZULMessagesManager messages = workSpace.GetMessagesManager();
    if (!messages) return;
    messages.AddMessage(L"[Locked File]",
                        name + L" is used by " + user + L" on " + computer + L". You will not be able to save your changes.",
                        GetApplicationTitle(), file, kOpenObjectProcess, L"FileName=" + file, kErrorImageIndex, false, L"",
                        L"");
  } else if (kind == kLockReportDialog) {
    ShowWarningMessage(name + L" is used and locked by " + user + L" on " + computer + L"." + L"\n" +
                           L"You will not be able to save your changes.",
                       L"Warning");
  }
}

// ---- Message dialogs

int ShowMessageBox(std::wstring_view caption, std::wstring_view text, TMessageKind kind, TMessageButtons buttons) {
  UINT flags = buttons == TMessageButtons::OkCancel ? MB_OKCANCEL : MB_OK;
  switch (kind) {
    case TMessageKind::Warning: flags |= MB_ICONWARNING; break;
    case TMessageKind::Error: flags |= MB_ICONERROR; break;
    case TMessageKind::Information: flags |= MB_ICONINFORMATION; break;
    case TMessageKind::Confirmation: flags |= MB_ICONQUESTION; break;
  }
  return RunMessageDialog(WideString(text), WideString(caption), flags);
}

int ShowWarningMessage(std::wstring_view text, std::wstring_view caption) {
  return ShowMessageBox(caption.empty() ? L"Warning" : caption, text, TMessageKind::Warning, TMessageButtons::Ok);
}

int ShowInformationMessage(std::wstring_view text, std::wstring_view caption) {
  return ShowMessageBox(caption.empty() ? L"Information" : caption, text, TMessageKind::Information,
                        TMessageButtons::Ok);
}

int ShowErrorMessage(std::wstring_view text, std::wstring_view caption) {
  return ShowMessageBox(caption.empty() ? L"Error" : caption, text, TMessageKind::Error, TMessageButtons::Ok);
}

bool ConfirmOkCancel(std::wstring_view text) {
  return ShowMessageBox(L"Confirm", text, TMessageKind::Confirmation, TMessageButtons::OkCancel) == IDOK;
}

// ---- Host client services

HWND GetHostMainWindowHandle() {
  IClient client = GetHostClient();
  return client ? reinterpret_cast<HWND>(static_cast<INT_PTR>(client.GetMainWindowHandle())) : nullptr;
}

IServerDocumentView GetCurrentDocumentView() {
  IClient client = GetHostClient();
  return client ? client.GetCurrentView() : IServerDocumentView();
}

WideString GetApplicationTitle() {
  IClient client = GetHostClient();
  return client ? client.GetApplicationTitle() : WideString();
}

void RunServerProcess(std::wstring_view processName, WideString& parameters, const IServerDocumentView& view) {
  IClient client = GetHostClient();
  if (!client) return;
  // The client itself answers the launcher's call.
  ComRef<IDispatch> dispatch = client.ToDispatch();
  IProcessLauncher launcher = IProcessLauncher::FromDispInterface(static_cast<IDispProcessLauncher*>(dispatch.Get()));
  launcher.RunProcess(WideString(processName), parameters, view);
}

void SetStatusBarText(std::int32_t pane, std::wstring_view text) {
  IClient client = GetHostClient();
  if (!client) return;
  IGUIManager gui = client.GetGUIManager();
  if (gui) gui.SetStatusBarText(pane, WideString(text));
}

void ClearStatusBarText() { SetStatusBarText(-1, L""); }

bool ProcessHostShortcut(std::int32_t charCode) {
  IGUIManager gui = GetHostClient().GetGUIManager();
  bool handled = gui.ProcessKeyStroke(charCode, IsAltDown(), IsShiftDown(), IsCtrlDown());
  if (handled) gui.UpdateInterfaceState();
  return handled;
}

bool IsHostSilent() {
  if (!gHostSilent) {
    IClientAPI_Interface api = GetHostClientAPI();
    if (!api) return false;
    gHostSilent = api.GetIsSilent();
  }
  return *gHostSilent;
}

// ---- Folders

WideString GetProgramFolder() {
  IClientAPI_Interface api = GetHostClientAPI();
  return api ? api.GetProgramFolder() : WideString();
}

WideString GetUserFolder() {
  IClientAPI_Interface api = GetHostClientAPI();
  return api ? api.GetUserFolder() : WideString();
}

WideString GetHostDataFolder() {
  IClientAPI_Interface api = GetHostClientAPI();
  return api ? api.GetDataFolder() : WideString();
}

WideString SpecialFolder_EmbeddedExtension() {
  WideString folder = AppendCharIfMissing(GetSystemFolder(), L'\\');
  if (FileExists(folder + WideString(kToolchainManagerModule))) return folder;
  WideString root;
  ForEachPluginFolder([&](const WideString& plugin, bool& stop) {
    if (FileExists(plugin + WideString(kToolchainManagerModule))) {
      root = plugin;
      stop = true;
    }
  });
  return AppendCharIfMissing(root, L'\\');
}

WideString GetHostExecutableFolder() { return UpperCaseText(ExtractFilePath(ModuleFileName(nullptr))); }

WideString GetSystemFolder() { return GetHostExecutableFolder() + L"System\\"; }

WideString GetModuleFolder() { return ExtractFilePath(GetModuleFile()); }

WideString GetModuleFile() { return ModuleFileName(ModuleInstance()); }

WideString GetLibraryFolder() { return GetModuleFolder() + L"Library\\"; }

WideString GetTemplatesFolder() { return GetModuleFolder() + L"Templates\\"; }

WideString GetTempFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  return n == 0 || n > MAX_PATH ? WideString() : WideString(buffer, n);
}

WideString GetTempFolderLong() {
  WideString folder = GetTempFolder();
  wchar_t buffer[MAX_PATH + 2] = {};
  DWORD n = GetLongPathNameW(folder.c_str(), buffer, MAX_PATH + 2);
  if (n != 0 && n < MAX_PATH + 2) folder.assign(buffer, n);
  return AppendCharIfMissing(folder, L'\\');
}

WideString GetTempFileName() {
  wchar_t name[MAX_PATH + 1] = {};
  if (::GetTempFileNameW(GetTempFolder().c_str(), L"Pro", 0, name) == 0) return {};
  return name;
}

// ---- Plug-in folders and host modules

namespace {

// Each enabled registry item's folder as the host gives it; stops when Visit
// answers true.
template <class F>
void WalkEnabledPlugins(F visit) {
  IClient client = GetHostClient();
  if (!client) return;
  IPluginsRegistry registry = client.GetPluginsRegistry();
  if (!registry) return;
  const std::int32_t count = registry.GetCount();
  for (std::int32_t i = 0; i < count; ++i) {
    IPluginsRegistryItem item = registry.GetItem(i);
    if (!item || item.GetIsDisabled() != 0) continue;
    if (visit(item.GetFolder())) return;
  }
}

// A plug-in folder the file search can list, or an error saying why not.
void CheckPluginFolder(const WideString& folder) {
  constexpr std::size_t kMaxPath = 259;
  if (folder.empty()) throw Exception(L"The specified path was not found");
  if (std::any_of(folder.begin(), folder.end(),
                  [](wchar_t c) { return c < L' ' || c == L'"' || c == L'<' || c == L'>' || c == L'|'; }))
    throw Exception(L"Invalid characters in path");
  if (folder.size() > kMaxPath) throw Exception(L"The specified path is too long");
  if (!DirectoryExists(folder)) throw Exception(L"The specified path was not found");
}

class FindHandle {
public:
  explicit FindHandle(HANDLE h) : FHandle(h) {}
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  ~FindHandle() { if (FHandle != INVALID_HANDLE_VALUE) FindClose(FHandle); }
  bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return FHandle; }

private:
  HANDLE FHandle;
};

// The first file in Folder (not below it) that Pattern matches; empty if none.
WideString FindFileInFolder(const WideString& folder, std::wstring_view pattern) {
  WIN32_FIND_DATAW found{};
  FindHandle find(FindFirstFileW((folder + WideString(pattern)).c_str(), &found));
  if (!find.Valid()) return {};
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    WideString candidate = folder + found.cFileName;
    if (FileExists(candidate)) return candidate;
  } while (FindNextFileW(find.Get(), &found));
  return {};
}

}  // namespace

void ForEachPluginFolder(const TPluginFolderVisitor& visitor) {
  WalkEnabledPlugins([&](const WideString& folder) {
    bool stop = false;
    visitor(AppendCharIfMissing(folder, L'\\'), stop);
    return stop;
  });
}

WideString FindFileInHostFolders(std::wstring_view fileName) {
  WideString candidate = AppendCharIfMissing(GetSystemFolder(), L'\\') + WideString(fileName);
  if (FileExists(candidate)) return candidate;
  WideString answer;
  WalkEnabledPlugins([&](const WideString& folder) {
    CheckPluginFolder(folder);
    answer = FindFileInFolder(AppendCharIfMissing(folder, L'\\'), fileName);
    return !answer.empty();
  });
  return answer;
}

void LoadHostModule(HMODULE& handle, std::wstring_view fileName) {
  if (handle) return;
  WideString name(fileName);
  handle = GetModuleHandleW(name.c_str());
  if (handle) return;
  WideString path = FindFileInHostFolders(name);
  if (!path.empty()) handle = LoadLibraryW(path.c_str());
}

// ---- Files

namespace {

// Puts Source in Target's place. Only a rename within one folder replaces a
// file in one step: a file from another folder is first moved beside Target
// under a name of its own (copied, when it lies on another volume), so that
// a copy failing part-way spoils that file and never the document.
bool MoveIntoPlace(const WideString& source, const WideString& target) {
  constexpr DWORD kReplace = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
  const WideString folder = ExtractFilePath(target);
  if (SameTextIgnoringCase(ExtractFilePath(source), folder)) return MoveFileExW(source.c_str(), target.c_str(), kReplace);

  static unsigned serial = 0;
  constexpr unsigned kNameTries = 16;  // names another writer already took
  for (unsigned attempt = 0; attempt < kNameTries; ++attempt) {
    const WideString beside = folder + L"~tvk" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                              std::to_wstring(++serial) + L".tmp";
    if (!MoveFileExW(source.c_str(), beside.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
      const DWORD error = GetLastError();
      DeleteFileW(beside.c_str());  // what a failed copy left
      if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) continue;
      return false;
    }
    if (MoveFileExW(beside.c_str(), target.c_str(), kReplace)) return true;
    DeleteFileW(beside.c_str());
    return false;
  }
  return false;
}

}  // namespace

bool ReplaceDocumentFile(std::wstring_view newFile, std::wstring_view targetFile) {
  if (SameTextIgnoringCase(newFile, targetFile)) return true;
  const WideString source(newFile), target(targetFile);
  WideString computer, user;
  if (IsFileLockedByOther(target, computer, user)) {
    ReportLockedFile(target, computer, user, kLockReportMessagesPanel);
    if (FileExists(source)) DeleteFileW(source.c_str());
    return false;
  }

  bool replaced = true;
  IClient client = GetHostClient();
  IServerDocument document = client ? client.GetDocumentByPath(target) : IServerDocument();
  std::exception_ptr error;
  try {
    if (document) document.BeginFileUpdate();
    if (FileExists(source) && !MoveIntoPlace(source, target)) {
      replaced = false;
      DeleteFileW(source.c_str());
    }
  } catch (...) {
    error = std::current_exception();
  }
  if (document) document.EndFileUpdate();
  if (error) std::rethrow_exception(error);
  return replaced;
}

// ---- Numbers

std::int32_t HexStrToInt(std::wstring_view text, std::int32_t defaultValue) {
  if (text.size() >= 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) text.remove_prefix(2);
  std::uint32_t value = 0;
  for (wchar_t c : text) {
    std::uint32_t digit;
    if (c >= L'0' && c <= L'9') digit = c - L'0';
    else if (c >= L'A' && c <= L'F') digit = c - L'A' + 10;
    else if (c >= L'a' && c <= L'f') digit = c - L'a' + 10;
    else return defaultValue;
    value = value * 16 + digit;
  }
  return std::int32_t(value);
}

// ---- Deferred destruction

namespace {

constexpr wchar_t kDestroyerClass[] = L"TvkDelayedDestroyer";
bool gDestroyerClassRegistered = false;
std::vector<TDelayedDestroyer*> gPendingDestroyers;

}  // namespace

TDelayedDestroyer::TDelayedDestroyer(std::unique_ptr<TOwned> object) : FObjectToDestroy(std::move(object)) {
  if (!gDestroyerClassRegistered) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = ModuleInstance() ? ModuleInstance() : GetModuleHandleW(nullptr);
    wc.lpszClassName = kDestroyerClass;
    if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
      throw Exception(L"Cannot register the delayed destroyer's window class");
    gDestroyerClassRegistered = true;
  }
  FHandle = CreateWindowExW(0, kDestroyerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            ModuleInstance() ? ModuleInstance() : GetModuleHandleW(nullptr), nullptr);
  if (!FHandle) throw Exception(L"Cannot create the delayed destroyer's window");
  SetWindowLongPtrW(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TDelayedDestroyer::~TDelayedDestroyer() {
  std::erase(gPendingDestroyers, this);
  if (FHandle) {
    SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
  }
}

void TDelayedDestroyer::Start(std::unique_ptr<TOwned> object) {
  // On a failure the object is freed at once by the unwinding.
  std::unique_ptr<TDelayedDestroyer> self(new TDelayedDestroyer(std::move(object)));
  gPendingDestroyers.push_back(self.get());
  if (!PostMessageW(self->FHandle, CM_RELEASE, 0, 0)) throw Exception(L"Cannot post the release message");
  self.release();  // owned by its window from now on
}

LRESULT CALLBACK TDelayedDestroyer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == CM_RELEASE) {
    auto* self = reinterpret_cast<TDelayedDestroyer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return 0;
    try {
      self->FObjectToDestroy.reset();
    } catch (...) {
      // A destructor that fails must not unwind into the message loop.
    }
    delete self;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void TDelayedDestroyer::DestroyPending() {
  while (!gPendingDestroyers.empty()) delete gPendingDestroyers.back();
  if (gDestroyerClassRegistered) {
    UnregisterClassW(kDestroyerClass, ModuleInstance() ? ModuleInstance() : GetModuleHandleW(nullptr));
    gDestroyerClassRegistered = false;
  }
}

// ---- The host client

void BindHostClientExport(HMODULE host) {
  gGetClientInterface =
      host ? reinterpret_cast<TGetClientInterface>(
                 reinterpret_cast<void*>(GetProcAddress(host, "ClientAPI_GetClientInterface")))
           : nullptr;
}

IClient GetHostClient() {
  ComRef<IDispatch>& cached = gHostClient.Get();
  if (!cached && gGetClientInterface) {
    ComRef<IUnknown> answer;
    gGetClientInterface(answer.Receive());
    if (answer) cached = answer.Query<IDispatch>(IID_IDispatch);  // an empty answer is asked again
  }
  return IClient(cached.Get());
}

IClientAPI_Interface GetHostClientAPI() {
  ComRef<IDispatch>& cached = gHostClientAPI.Get();
  if (!cached) {
    IClient client = GetHostClient();
    if (!client) return {};
    IClientAPI_Interface api = client.GetClientAPI();
    if (api) cached = api.ToDispatch();
  }
  return IClientAPI_Interface(cached.Get());
}

IZULWorkSpace GetClientWorkSpace() { return GetHostClient().GetWorkSpace(); }

bool UtilUnitStartup() {
  BindHostClientExport(GetModuleHandleW(nullptr));
  return true;
}

void UtilUnitShutdown() {
  gComputerName.clear();
  gUserName.clear();
  gProcessIdText.clear();
  gHostClientAPI.Free();
  gHostSilent.reset();
  TDelayedDestroyer::DestroyPending();
}

void ReleaseHostClient() { gHostClient.Free(); }

}  // namespace tvk
