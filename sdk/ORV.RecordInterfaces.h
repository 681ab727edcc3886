#pragma once
// Host-interface records of the design data: workspace, projects, documents,
// components, nets, net items, parameters and the unified data model. The
// classes come from RecordInterfaces.table.
#include "ORV.RecordInterfaces.gen.h"
