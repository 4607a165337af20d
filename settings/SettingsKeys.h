#pragma once
// Every section and key of Pelvane.ini, with its default. The constants are
// named after the keys as the file has them; the comment names the option
// where the program calls it otherwise.
namespace pelvane::keys {

constexpr const char* kDefaults = "Defaults";
constexpr const char* kScreen = "Screen";
// The prompt dialog's section is its form name.
constexpr const char* kInputDialog = "frm_InpStr";

constexpr const char* kAutoStart = "AutoStart";  // boolean
constexpr bool kAutoStartDefault = false;
constexpr const char* kMode = "Mode";  // integer, the copy method (Method)
constexpr int kModeDefault = 0;
constexpr const char* kDelArchived = "DelArchived";  // boolean, ClearArchiveFlag
constexpr bool kDelArchivedDefault = false;
constexpr const char* kArchivePerDay = "ArchivePerDay";  // boolean, the daily schedule chosen
constexpr bool kArchivePerDayDefault = true;
constexpr const char* kAutoArchive = "AutoArchive";  // boolean, the continuous schedule chosen
constexpr bool kAutoArchiveDefault = false;
constexpr const char* kTime = "Time";          // time of day; default: the clock at load
constexpr const char* kAutoTime = "AutoTime";  // string, minutes
constexpr const char* kAutoTimeDefault = "60";
constexpr const char* kNoFile = "NoFile";  // string, ExcludedTypes
constexpr const char* kNoFileDefault = ".tmp;.temp";
// Days a replaced copy is kept as a version (integer); 0 keeps none.
constexpr const char* kVersionDays = "VersionDays";
constexpr int kVersionDaysDefault = 30;
constexpr int kVersionDaysMax = 9999;  // the window's four digits
// Hold a task when more than this percentage of its existing copies (and at
// least 20) would be replaced by other content (integer); 0 turns the guard off.
constexpr const char* kChangeGuard = "ChangeGuard";
constexpr int kChangeGuardDefault = 50;
constexpr int kChangeGuardMax = 100;
// A stored count of the two above. A negative one was never typed into the
// window: it gives the default rather than 0, which would turn a protection
// off. One above the limit means "as much as can be": the limit.
constexpr int StoredCount(int value, int def, int max) {
    return value < 0 ? def : value > max ? max : value;
}
// When the last daily run started, "yyyy.mm.dd hh:mm:ss" (earlier versions
// kept the day alone, "yyyy.mm.dd", which is still read): written (a key of its own at
// the end of [Defaults]) when that run starts, never by the save at close.
constexpr const char* kLastDaily = "LastDaily";
constexpr const char* kLeft = "Left";  // integer, also in a form's section
constexpr const char* kTop = "Top";
constexpr int kPositionDefault = 10;

}  // namespace pelvane::keys
