#pragma once
// Packed DOS dates (local time, two-second steps, years 1980..2107).
#include <windows.h>

#include <cstdint>

namespace pelvane {

// -1 when the time falls outside 1980..2107.
int32_t FileTimeToPackedDate(const FILETIME& utc);
// False for -1 and for values that are no valid packed date.
bool PackedDateToFileTime(int32_t packed, FILETIME& utc);

}  // namespace pelvane
