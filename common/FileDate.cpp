#include "common/FileDate.h"

namespace pelvane {

int32_t FileTimeToPackedDate(const FILETIME& utc) {
    FILETIME local;
    SYSTEMTIME t;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t)) return -1;
    if (t.wYear < 1980 || t.wYear > 2107) return -1;
    uint32_t date = ((t.wYear - 1980u) << 9) | (t.wMonth << 5) | t.wDay;
    uint32_t time = (t.wHour << 11) | (t.wMinute << 5) | (t.wSecond / 2u);
    return static_cast<int32_t>((date << 16) | time);
}

bool PackedDateToFileTime(int32_t packed, FILETIME& utc) {
    FILETIME local;
    auto value = static_cast<uint32_t>(packed);
    return packed != -1 &&
           DosDateTimeToFileTime(static_cast<WORD>(value >> 16), static_cast<WORD>(value & 0xFFFF), &local) &&
           LocalFileTimeToFileTime(&local, &utc);
}

}  // namespace pelvane
