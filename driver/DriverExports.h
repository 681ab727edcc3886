#pragma once
// The two functions the host calls to count device kinds and create drivers,
// and the driver unit's start-up and shut-down steps.
#include "Device_ST_CortexM3_Data.h"

#include <windows.h>

#include <cstdint>

namespace tvk {

HRESULT GetTovikDriverCountImpl(int32_t* count);
HRESULT GetTovikDriverImpl(int32_t kind, IDispatch** driver);

// How many drivers the module holds (they live until the module is unloaded).
std::size_t LiveDriverCount();

bool DriverUnitStartup();
void DriverUnitShutdown();

}  // namespace tvk
