#pragma once
// Host-interface records of the PCB server. The classes come from
// RecordInterfaces.table.
#include "ORV.PCB.RecordInterfaces.gen.h"
