#include "ZUL.Util.h"

#include "Dialogs.h"
#include "Files.h"
#include "ModuleInit.h"

#include <lmcons.h>

#include <algorithm>
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
ComRef<IDispatch> gHostClient;  // empty until the host gave a client

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

// ---- Folders

WideString GetHostExecutableFolder() { return UpperCaseText(ExtractFilePath(ModuleFileName(nullptr))); }

WideString GetSystemFolder() { return GetHostExecutableFolder() + L"System\\"; }

WideString GetModuleFolder() { return ExtractFilePath(ModuleFileName(ModuleInstance())); }

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

ComRef<IDispatch> HostClientDispatch() {
  if (!gHostClient && gGetClientInterface) {
    ComRef<IUnknown> answer;
    gGetClientInterface(answer.Receive());
    if (answer) gHostClient = answer.Query<IDispatch>(IID_IDispatch);
  }
  return gHostClient;
}

bool UtilUnitStartup() {
  BindHostClientExport(GetModuleHandleW(nullptr));
  return true;
}

void UtilUnitShutdown() {
  gComputerName.clear();
  gUserName.clear();
  gProcessIdText.clear();
  TDelayedDestroyer::DestroyPending();
}

void ReleaseHostClient() { gHostClient.Reset(); }

}  // namespace tvk
