#include "study/level_check.h"

#include "base/number_conversion.h"

namespace valdex {

LevelCheck CheckLevelCount(const CalibrationStudy& study) {
    if (study.LevelCount.empty()) return {true, kNoLevelCount};
    const int n = ToInteger(study.LevelCount);
    if (n < 2 || n > 10) return {true, kOutOfRangeCheck};
    if (n != study.LevelColumns()) return {true, kLevelColumnsMismatch};
    return {};
}

} // namespace valdex
