#include "engine/LogWriter.h"

#include <windows.h>

#include <cwchar>

namespace pelvane {

std::wstring LogTimestamp() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t sep[8] = L":";
    if (GetLocaleInfoW(GetThreadLocale(), LOCALE_STIME, sep, 8) < 2) sep[0] = L':';
    wchar_t text[64];
    swprintf(text, 64, L"%04u.%02u.%02u %02u%lc%02u%lc%02u", t.wYear, t.wMonth, t.wDay, t.wHour, sep[0],
             t.wMinute, sep[0], t.wSecond);
    return text;
}

}  // namespace pelvane
