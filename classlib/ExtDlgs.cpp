#include "ExtDlgs.h"

#include "Application.h"

#include <commdlg.h>

#include <algorithm>

namespace tvk {

namespace {

TFileDialogRunner& FileDialogRunner() {
  static TFileDialogRunner runner;
  return runner;
}

bool RunSystemFileDialog(TFileDialogRequest& request) {
  // The system's filter: pairs separated by nulls, ending in two.
  WideString filter = request.Filter;
  for (wchar_t& c : filter)
    if (c == L'|') c = L'\0';
  filter.push_back(L'\0');
  filter.push_back(L'\0');
  std::wstring buffer(MAX_PATH * 4, L'\0');
  request.FileName.copy(buffer.data(), std::min(request.FileName.size(), buffer.size() - 1));
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = Application().Handle();
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = DWORD(buffer.size());
  ofn.lpstrDefExt = request.DefaultExt.empty() ? nullptr : request.DefaultExt.c_str();
  ofn.lpstrTitle = request.Title.empty() ? nullptr : request.Title.c_str();
  ofn.nFilterIndex = DWORD(std::max(request.FilterIndex, 0));
  ofn.lpstrInitialDir = request.InitialDir.empty() ? nullptr : request.InitialDir.c_str();
  ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | (request.Save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL chosen = request.Save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!chosen) return false;
  request.FileName = buffer.c_str();
  return true;
}

}  // namespace

void SetFileDialogRunner(TFileDialogRunner runner) { FileDialogRunner() = std::move(runner); }

WideString GraphicFilter(TGraphicClass graphicClass) {
  WideString filter, all;
  for (const TPictureFormat& format : TPicture::FileFormats()) {
    if (graphicClass && format.GraphicClass->Info != graphicClass->Info) continue;
    const WideString mask = L"*." + format.Extension;
    if (!filter.empty()) filter += L'|';
    filter += format.Description + L" (" + mask + L")|" + mask;
    if (!all.empty()) all += L';';
    all += mask;
  }
  if (!graphicClass && !all.empty()) filter = L"All (" + all + L")|" + all + L'|' + filter;
  return filter;
}

WideString GraphicExtension(TGraphicClass graphicClass) {
  for (const TPictureFormat& format : TPicture::FileFormats())
    if (graphicClass && format.GraphicClass->Info == graphicClass->Info) return format.Extension;
  return {};
}

namespace {

bool RunFileDialog(TFileDialogRequest& request) {
  return FileDialogRunner() ? FileDialogRunner()(request) : RunSystemFileDialog(request);
}

}  // namespace

bool TOpenPictureDialog::Execute() {
  TFileDialogRequest request;
  request.Save = IsSave();
  request.Filter = FFilter;
  request.DefaultExt = FDefaultExt;
  request.FileName = FFileName;
  const bool chosen = RunFileDialog(request);
  if (chosen) FFileName = request.FileName;
  return chosen;
}

bool TOpenDialog::Execute() {
  TFileDialogRequest request;
  request.Filter = FFilter;
  request.FileName = FFileName;
  request.Title = FTitle;
  request.FilterIndex = FFilterIndex;
  request.InitialDir = FInitialDir;
  const bool chosen = RunFileDialog(request);
  if (chosen) FFileName = request.FileName;
  return chosen;
}

}  // namespace tvk
