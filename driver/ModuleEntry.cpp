// The module's entry procedure and its two exports.
#include "Application.h"
#include "ControlSteps.h"
#include "Device_ST_CortexM3_Data.h"
#include "DriverUISteps.h"
#include "EditorSteps.h"
#include "DriverExports.h"
#include "Extension.Images.h"
#include "Forms.h"
#include "InspectorSteps.h"
#include "LookAndFeelEditorsSteps.h"
#include "LookAndFeelSteps.h"
#include "ModuleInit.h"
#include "ORV.SCH.Util.h"
#include "Tovik.Disassembler.h"
#include "TreeListSteps.h"
#include "WindowClasses.h"
#include "ZUL.DispatchFix.h"
#include "ZUL.Param.h"
#include "ZUL.Util.h"
#include "ZUL.VFS.h"
#include "dxCore.h"
#include "dcconsts.h"
#include "dcmemhook.h"
#include "dcsystem.h"

#include <array>

namespace {

using tvk::TInitStep;

// Every component's start-up and shut-down, in start-up order; the exports are
// usable only after the last step.
constexpr std::array kSteps = {
    // The class library's window classes outlive an unloaded module unless unregistered.
    TInitStep{"Controls", nullptr, &tvk::UnregisterWindowClasses},
    // The screen's cursor table owns the cursors the libraries put there.
    TInitStep{"Forms", nullptr, &tvk::ScreenUnitShutdown},
    TInitStep{"ZUL.DispatchFix", &tvk::DispatchFixStartup, nullptr},
    TInitStep{"ZUL.Param", nullptr, &tvk::ParamUnitShutdown},
    // The host executable's client export and file-system functions.
    TInitStep{"ZUL.Util", &tvk::UtilUnitStartup, &tvk::UtilUnitShutdown},
    TInitStep{"ZUL.VFS", &tvk::VFSUnitStartup, &tvk::VFSUnitShutdown},
    TInitStep{"ZUL.Classes", nullptr, &tvk::ReleaseHostClient},
    TInitStep{"Extension.Images", nullptr, &tvk::ImagesUnitShutdown},
    TInitStep{"ORV.SCH.Util", nullptr, &tvk::FreeDeviceFamilies},
    // The styled controls: gradient implementation, picture formats, glyph
    // cache, control metrics, and the print-time detour (put back at shut-down).
    TVK_STYLED_CONTROLS_STEPS
    // The component library's core services, before any unit of the library.
    TInitStep{"dxCore", &tvk::DxCoreUnitStartup, &tvk::DxCoreUnitShutdown},
    // The in-place editors: the default style controller, the rich-edit
    // library and the editors' strings.
    TVK_EDITORS_CLASSIC_STEPS
    TVK_TREELIST_STEPS  // the tree list: indicator images, cursors, scroll timers
    // The parser library: its registry key, the release notification, the
    // design-time registration hooks and its file-system classes.
    TInitStep{"dcconsts", &tvk::ConstsUnitStartup, &tvk::ConstsUnitShutdown},
    TInitStep{"dcmemhook", &tvk::MemHookUnitStartup, &tvk::MemHookUnitShutdown},
    TInitStep{"dcsystem", &tvk::SystemUnitStartup, &tvk::SystemUnitShutdown},
    // The look-and-feel library: theme binding, cursors, messages, hidden
    // windows and the hook controller.
    TVK_LOOKANDFEEL_STEPS
    // The editors and the tab control: value types, formats, brushes, strings.
    TVK_LOOKANDFEEL_EDITORS_STEPS
    TVK_INSPECTOR_STEPS  // the inspector: drag bitmap, row-drag cursors
    // The driver reaches its windows through the user interface registered here.
    TVK_DRIVER_UI_STEPS
    TInitStep{"device data", &tvk::DeviceDataUnitStartup, &tvk::DeviceDataUnitShutdown},
    TInitStep{"driver", &tvk::DriverUnitStartup, &tvk::DriverUnitShutdown},
    TInitStep{"disassembler", nullptr, &tvk::DisassemblerUnitShutdown},
    // Components the application object owns (the footprint editor's host
    // panel) go first, while the host and every library are still there.
    TInitStep{"Application", nullptr, &tvk::DestroyApplicationComponents},
};

}  // namespace

extern "C" HRESULT __stdcall GetTovikDriverCount(int32_t* Count) {
  return tvk::GetTovikDriverCountImpl(Count);
}

extern "C" HRESULT __stdcall GetTovikDriver_Plugin(int32_t AKind, IDispatch** Driver) {
  return tvk::GetTovikDriverImpl(AKind, Driver);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  try {
    switch (reason) {
      case DLL_PROCESS_ATTACH:
        tvk::SetModuleInstance(instance);
        return tvk::RunStartup(kSteps) ? TRUE : FALSE;
      case DLL_PROCESS_DETACH:
        // At process exit (reserved != null) the process is going anyway and
        // other modules may already be gone: undo nothing.
        if (!reserved) tvk::RunShutdown(kSteps);
        return TRUE;
      default:
        return TRUE;  // thread attach and detach run no component steps
    }
  } catch (...) {
    return FALSE;
  }
}
