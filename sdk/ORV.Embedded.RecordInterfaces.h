#pragma once
// Host-interface records of embedded memories and software stacks. The
// classes come from RecordInterfaces.table.
#include "ORV.Embedded.RecordInterfaces.gen.h"
