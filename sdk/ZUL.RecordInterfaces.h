#pragma once
// Host-interface records of the platform: client and client services, forms,
// views, documents, notifications, GUI manager, timers, options, messages and
// the plug-ins registry. The classes come from RecordInterfaces.table.
#include "ZUL.RecordInterfaces.gen.h"
