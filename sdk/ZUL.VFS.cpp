#include "ZUL.VFS.h"

#include <algorithm>
#include <memory>

namespace tvk {

namespace {

std::array<FARPROC, kVFSEntryPointNames.size()> gEntryPoints{};

constexpr std::size_t kExpandRelativePathIndex = 43;
static_assert(std::string_view(kVFSEntryPointNames[kExpandRelativePathIndex]) == "VFSAPI_VFS_ExpandRelativePath");

// The host writes the expanded path into a buffer of 4096 bytes.
constexpr std::size_t kExpandBufferChars = 4096 / sizeof(wchar_t);
using TExpandRelativePath = void(__stdcall*)(const wchar_t* basePath, const wchar_t* relativePath, wchar_t* fullPath);

}  // namespace

void BindVFSEntryPoints(HMODULE host) {
  for (std::size_t i = 0; i < gEntryPoints.size(); ++i)
    gEntryPoints[i] = host ? GetProcAddress(host, kVFSEntryPointNames[i]) : nullptr;
}

FARPROC VFSEntryPoint(std::size_t index) { return index < gEntryPoints.size() ? gEntryPoints[index] : nullptr; }

void ExpandRelativePath(std::wstring_view basePath, std::wstring_view relativePath, WideString& fullPath) {
  auto expand = reinterpret_cast<TExpandRelativePath>(reinterpret_cast<void*>(gEntryPoints[kExpandRelativePathIndex]));
  if (!expand) return;
  auto buffer = std::make_unique<wchar_t[]>(kExpandBufferChars);  // zeroed
  WideString base(basePath), relative(relativePath);
  expand(base.c_str(), relative.c_str(), buffer.get());
  // Never read past the buffer, whatever the host left in it.
  fullPath.assign(buffer.get(), std::find(buffer.get(), buffer.get() + kExpandBufferChars, L'\0'));
}

bool VFSUnitStartup() {
  BindVFSEntryPoints(GetModuleHandleW(nullptr));
  return true;
}

void VFSUnitShutdown() { gEntryPoints.fill(nullptr); }

}  // namespace tvk
