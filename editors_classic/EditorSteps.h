#pragma once
// The in-place editors' units as rows of the module's start-up table, in order.
#include "ModuleInit.h"
#include "dxCntner.h"
#include "dxEditor.h"
#include "dxExEdtr.h"
#include "dxUtils.h"

namespace tvk {

inline bool DxUtilsUnitStartup() { return true; }

#define TVK_EDITORS_CLASSIC_STEPS                                                         \
  ::tvk::TInitStep{"dxUtils", &::tvk::DxUtilsUnitStartup, &::tvk::DxUtilsUnitShutdown},   \
      ::tvk::TInitStep{"dxCntner", &::tvk::DxCntnerUnitStartup, &::tvk::DxCntnerUnitShutdown}, \
      ::tvk::TInitStep{"dxEditor", &::tvk::DxEditorUnitStartup, &::tvk::DxEditorUnitShutdown},    \
      ::tvk::TInitStep{"dxExEdtr", &::tvk::DxExEdtrUnitStartup, &::tvk::DxExEdtrUnitShutdown},

}  // namespace tvk
