#pragma once
// The JSON of the variances, the weights, the blank method and the limits'
// intervals, added to "diagnostico" and "interpolar" under new keys.

#include "diagnostics/diagnostics.h"
#include "json_object.h"

namespace valdex::cli {

void AddWeightingJson(JsonObject& object, const Diagnostics& diagnostics);

} // namespace valdex::cli
