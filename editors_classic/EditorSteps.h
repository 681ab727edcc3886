#pragma once
// The in-place editors' units as rows of the module's start-up table, in order.
#include "LocaleFormats.h"
#include "ModuleInit.h"
#include "dxCalc.h"
#include "dxCntner.h"
#include "dxEditor.h"
#include "dxExEdtr.h"
#include "dxGrDate.h"
#include "dxExUtils.h"
#include "dxPopupEditForm.h"
#include "dxPopupToolBar.h"
#include "dxUtils.h"

namespace tvk {

inline bool DxUtilsUnitStartup() { return true; }
// The user's number and date conventions, read before any editor formats a value.
inline bool LocaleFormatsStartup() {
  ReadLocaleFormatSettings();
  return true;
}

// The picture and pop-up-form editors (their texts are the extended editors'
// step's): the glyph lists and the list of open pop-up forms, made on first
// use, freed at shut-down.
inline bool DxExPicturesUnitStartup() { return true; }
inline void DxExPicturesUnitShutdown() {
  FreeToolbarImages();
  FreeBlobGlyphImages();
  FreeOpenPopupForms();
}

#define TVK_EDITORS_CLASSIC_STEPS                                                         \
  ::tvk::TInitStep{"dxUtils", &::tvk::DxUtilsUnitStartup, &::tvk::DxUtilsUnitShutdown},   \
      ::tvk::TInitStep{"dxCntner", &::tvk::DxCntnerUnitStartup, &::tvk::DxCntnerUnitShutdown}, \
      ::tvk::TInitStep{"dxEditor", &::tvk::DxEditorUnitStartup, &::tvk::DxEditorUnitShutdown},           \
      ::tvk::TInitStep{"dxExEdtr", &::tvk::DxExEdtrUnitStartup, &::tvk::DxExEdtrUnitShutdown},           \
      ::tvk::TInitStep{"LocaleFormats", &::tvk::LocaleFormatsStartup, nullptr},                         \
      ::tvk::TInitStep{"dxCalc", &::tvk::DxCalcUnitStartup, &::tvk::DxCalcUnitShutdown},                \
      ::tvk::TInitStep{"dxGrDate", &::tvk::DxGrDateUnitStartup, &::tvk::DxGrDateUnitShutdown},      \
      ::tvk::TInitStep{"dxExPictures", &::tvk::DxExPicturesUnitStartup, &::tvk::DxExPicturesUnitShutdown},

}  // namespace tvk
