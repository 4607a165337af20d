#pragma once
// Names of kept versions, and the choices a restore and a prune make from
// them. Pure functions: nothing here touches a file.
//
// A copy about to be replaced moves to
//   <target>\Pelvane-változatok\<last folder name>\<relative folder>\<stem> (yyyy-mm-dd hhmmss)<.ext>
// where the time is the local time of the replacement. The name alone tells
// when; nothing else records it, so the parse must give back exactly what
// the format put in.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace pelvane {

// The version folder beside the copies in a target folder.
constexpr const wchar_t* kVersionFolderName = L"Pelvane-v\u00e1ltozatok";

// A local wall-clock time to the second, as version names and the user give
// it; ordered as the calendar goes.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;

    static LocalTime From(const SYSTEMTIME& st);
    // Seconds from 0001-01-01 00:00:00 (proleptic Gregorian): for ordering
    // and for the age of a version.
    long long Seconds() const;
    // A date that exists (leap years too) and a time of day to the second.
    bool Valid() const;
};
bool operator==(const LocalTime& a, const LocalTime& b);
bool operator!=(const LocalTime& a, const LocalTime& b);
bool operator<(const LocalTime& a, const LocalTime& b);

// "Jelentés.docx" replaced at 2026-12-09 01:30:45 gives
// "Jelentés (2026-12-09 013045).docx". The extension is ExtractFileExt's
// (from the last point on), so a name without a point gets none.
std::wstring VersionFileName(const std::wstring& fileName, const LocalTime& replaced);

// A version's name taken apart: the copy's name it was (stem and extension)
// and when it was replaced.
struct ParsedVersionName {
    std::wstring fileName;  // the copy's name: stem + extension
    LocalTime replaced;
};
// Nothing for a name that VersionFileName cannot have made (no time, a
// time that does not exist, digits of another script...).
std::optional<ParsedVersionName> ParseVersionFileName(const std::wstring& versionName);

// What a restore writes for one file, given its copy's last-write time (none
// when there is no copy), the times its versions were replaced, and the
// moment asked for (none: the latest state).
struct RestoreChoice {
    enum class From { Nothing, Copy, Version };
    From from = From::Nothing;
    size_t version = 0;  // the index in versions when from is Version
};
// Without a moment: the copy. With one: the oldest version replaced after
// it (the content in place then); else the copy if its date is not after the
// moment; else nothing (the file was not in the backup then).
RestoreChoice ChooseRestoreSource(const std::optional<LocalTime>& copy,
                                  const std::vector<LocalTime>& versions,
                                  const std::optional<LocalTime>& asOf);

// Whether a version replaced at the given time is past keeping on the given
// day: more than keepDays whole days old. keepDays 0 (no versions kept) or
// less removes nothing: versions made while they were kept stay until a run
// that keeps them again prunes them, so one run with --keep-days 0 never
// wipes the history.
bool VersionExpired(const LocalTime& replaced, const LocalTime& now, int keepDays);

// The moment a user gives a restore, "yyyy.mm.dd hh:nn" or "yyyy.mm.dd
// hh:nn:ss" (blanks around it allowed); false for anything else or a time
// that does not exist.
bool ParseMoment(const std::string& text, LocalTime& moment);
// "yyyy.mm.dd hh:nn:ss": what the window fills in and the log shows.
std::string FormatMoment(const LocalTime& moment);

}  // namespace pelvane
