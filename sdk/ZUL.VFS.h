#pragma once
// The host executable's virtual-file-system functions, bound by name at
// start-up. Only the relative-path expansion is called by the module.
#include "Exception.h"

#include <windows.h>

#include <array>
#include <string_view>

namespace tvk {

// Every entry point, in binding order.
inline constexpr auto kVFSEntryPointNames = std::to_array<const char*>({
    "VFSAPI_VFS_MapVirtualDrive", "VFSAPI_VFS_UnMapVirtualDrive", "VFSAPI_VFS_RenameVirtualDrive",
    "VFSAPI_VFS_GetMappedDriveCount", "VFSAPI_VFS_GetMappedDriveName", "VFSAPI_VFSAssign", "VFSAPI_VFSAssignFile",
    "VFSAPI_VFSCloseFile", "VFSAPI_VFS_Reset", "VFSAPI_VFS_Rewrite", "VFSAPI_VFS_Truncate", "VFSAPI_VFS_Seek",
    "VFSAPI_VFSBlockRead", "VFSAPI_VFSBlockWrite", "VFSAPI_VFS_EOF", "VFSAPI_VFS_FilePos", "VFSAPI_VFS_FileSize",
    "VFSAPI_VFS_IOResult", "VFSAPI_VFS_CreateDir", "VFSAPI_VFSCreateFile", "VFSAPI_VFS_DeleteDir",
    "VFSAPI_VFS_DeleteFile", "VFSAPI_VFS_RenameFile", "VFSAPI_CopyFileToVFSFile", "VFSAPI_CopyVFSFileToFile",
    "VFSAPI_VFS_ExportToFile", "VFSAPI_VFS_ImportFile", "VFSAPI_VFS_ChangeFileName", "VFSAPI_VFS_MakeShortCut",
    "VFSAPI_VFS_CopyFile", "VFSAPI_VFS_CopyLink", "VFSAPI_VFS_MoveFile", "VFSAPI_VFS_MakePath",
    "VFSAPI_VFS_DirectoryExists", "VFSAPI_VFS_IsValidPath", "VFSAPI_VFS_FileExists", "VFSAPI_VFS_IsVFSFileName",
    "VFSAPI_VFS_IsNullAddress", "VFSAPI_VFS_FileSizeByName", "VFSAPI_VFS_GetExternalPathForDrive",
    "VFSAPI_VFS_GetExternalPathForFile", "VFSAPI_VFS_GetFullPathForFile", "VFSAPI_VFS_GetFullPathDisplay",
    "VFSAPI_VFS_ExpandRelativePath", "VFSAPI_VFS_ExtractFileDir", "VFSAPI_VFS_ExtractFilePath",
    "VFSAPI_VFS_ExtractFileDrive", "VFSAPI_VFS_ExtractFileOffset", "VFSAPI_VFS_ExtractFileExt",
    "VFSAPI_VFS_ExtractFileName", "VFSAPI_VFS_ExtractRelativePath", "VFSAPI_VFS_PreviousFolder",
    "VFSAPI_VFS_ProcessPath", "VFSAPI_VFS_ResolveShortCut", "VFSAPI_VFS_FindClose", "VFSAPI_VFS_FindNext",
    "VFSAPI_VFS_FindFirst", "VFSAPI_VFS_StreamCreate", "VFSAPI_VFS_StreamDestroy", "VFSAPI_VFS_StreamLoadFromFile",
    "VFSAPI_VFS_StreamRead", "VFSAPI_VFS_StreamSaveToFile", "VFSAPI_VFS_StreamSeek", "VFSAPI_VFS_StreamSetSize",
    "VFSAPI_VFS_StreamWrite", "VFSAPI_VFS_GetFileAttributesByName", "VFSAPI_VFS_GetFileAttributesByNameNew",
    "VFSAPI_VFS_GetFileEditorName", "VFSAPI_VFS_RestoreFromRecycleBin", "VFSAPI_VFS_SetFileAttributesByName",
    "VFSAPI_VFS_SetFileEditorName", "VFSAPI_VFS_ExportToFileEx", "VFSAPI_VFS_ImportFileEx", "VFSAPI_VFS_CopyFileEx",
    "VFSAPI_VFS_CopyLinkEx", "VFSAPI_VFS_MoveFileEx", "VFSAPI_VFS_GetShortcutInfo", "VFSAPI_VFS_UpdateShortCut",
    "VFSAPI_VFS_CreateStorageDevice",
});
static_assert(kVFSEntryPointNames.size() == 79);

// Binds every entry point found in Host (null: none); missing ones stay null.
void BindVFSEntryPoints(HMODULE host);
// The bound address of entry point Index (binding order); null when missing.
FARPROC VFSEntryPoint(std::size_t index);

// Resolves RelativePath against BasePath through the host. Without the host's
// function FullPath is left as it was.
void ExpandRelativePath(std::wstring_view basePath, std::wstring_view relativePath, WideString& fullPath);

// Start-up: binds the entry points of the process's main executable.
bool VFSUnitStartup();
// Shut-down: every address back to null.
void VFSUnitShutdown();

}  // namespace tvk
