#include "settings/Settings.h"

#include <gtest/gtest.h>

#include "common/Seged.h"
#include "common/Text.h"
#include "settings/Autostart.h"
#include "settings/FormPos.h"
#include "settings/IniFile.h"
#include "settings/RegistryAccessor.h"
#include "settings/StoredRunOptions.h"
#include "tests/settings/FakeHolders.h"
#include "tests/settings/TestSupport.h"
#include "tests/support/ScratchKey.h"

namespace pelvane {
namespace {

using namespace test;

TimeOfDay FixedClock() {
    return {14, 27, 33, 120};
}

class SettingsTest : public ::testing::Test {
  protected:
    // The test program lies in a folder of its own: SettingsFilePath() is
    // that folder's Pelvane.ini, never the build's.
    void SetUp() override {
        SetRegionalTimeFormat(TimeFormat{});  // 24-hour H:mm:ss
        SetAutostartRoot(root.get());
        DeleteFileW(SettingsFilePath().c_str());
    }
    void TearDown() override {
        ReloadRegionalTimeFormat();
        SetAutostartRoot(HKEY_CURRENT_USER);
        DeleteFileW(SettingsFilePath().c_str());
    }
    FakeHolders Loaded(const std::string& defaults) {
        WriteBytes(path, "[Defaults]\r\n" + defaults);
        FakeHolders h;
        LoadSettings(h, path, FixedClock);
        return h;
    }
    std::string Saved(const FakeHolders& h, const std::string& key) {
        SaveSettings(h, path);
        return IniFile(path).ReadString("Defaults", key, "<missing>");
    }

    ScratchFolder dir;
    std::wstring path = dir.Path(L"Pelvane.ini");
    ScratchKey root{"settings"};  // stands for HKEY_CURRENT_USER
};

TEST_F(SettingsTest, NoFileGivesTheDefaultsAndCreatesNothing) {
    FakeHolders h;
    h.checkBox1 = true;                 // so that the load has to clear it
    h.versionDays = h.changeGuard = 7;  // and set these
    int arms = 0;
    h.arm = [&] { ++arms; };
    LoadSettings(h, path, FixedClock);
    EXPECT_FALSE(h.checkBox1 || h.checkBox4 || h.radioButton2 || h.radioButtonsEnabled);
    EXPECT_TRUE(h.radioButton1);
    EXPECT_EQ(h.radioGroup1, 0);
    EXPECT_EQ(h.picker, FixedClock());
    EXPECT_EQ(h.edit1, "60");
    EXPECT_EQ(h.excludedTypes, ".tmp;.temp");
    EXPECT_EQ(h.versionDays, 30);
    EXPECT_EQ(h.changeGuard, 50);
    EXPECT_EQ(h.left, 10);
    EXPECT_EQ(h.top, 10);
    EXPECT_EQ(arms, 1);
    EXPECT_FALSE(FileExists(path));
}

TEST_F(SettingsTest, ANewFileHoldsItsKeysInOrderAfterADialogPositionWrittenFirst) {
    int left = 0, top = 0;
    LoadFormPos("frm_InpStr", left, top);
    EXPECT_EQ(left, 10);
    EXPECT_EQ(top, 10);
    SaveFormPos("frm_InpStr", -400, 5000);
    FakeHolders h;
    h.picker = {8, 30, 5, 0};
    h.edit1 = "60";
    h.excludedTypes = ".tmp;.temp";
    h.left = 10, h.top = 12;
    SaveSettings(h);
    EXPECT_EQ(ReadBytes(SettingsFilePath()),
              "[frm_InpStr]\r\nLeft=-400\r\nTop=5000\r\n"
              "[Defaults]\r\nAutoStart=0\r\nMode=0\r\nDelArchived=0\r\nArchivePerDay=1\r\nAutoArchive=0\r\n"
              "Time=8:30:05\r\nAutoTime=60\r\nNoFile=.tmp;.temp\r\nVersionDays=30\r\nChangeGuard=50\r\n"
              "[Screen]\r\nLeft=10\r\nTop=12\r\n");
    LoadFormPos("FRM_INPSTR", left, top);
    EXPECT_EQ(left, -400);
    EXPECT_EQ(top, 5000);
}

TEST_F(SettingsTest, TheDayOfTheLastDailyRunGoesAtTheEndOfDefaultsAndTouchesNothingElse) {
    const std::string before =
        "[Defaults]\r\nAutoStart=1\r\nNoFile=.tmp;.t\xE9mp\r\nTime=8:30:05\r\n[Screen]\r\nLeft=10\r\n";
    WriteBytes(path, before);
    EXPECT_EQ(ReadLastDailyRun(path), "");  // an older file without the key
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_TRUE(WriteLastDailyRun(path, "2026.12.08"));
    EXPECT_EQ(ReadBytes(path),
              "[Defaults]\r\nAutoStart=1\r\nNoFile=.tmp;.t\xE9mp\r\nTime=8:30:05\r\nLastDaily=2026.12.08\r\n"
              "[Screen]\r\nLeft=10\r\n");
    EXPECT_EQ(ReadLastDailyRun(path), "2026.12.08");
    // The file still loads as before, and the save at close leaves the key alone.
    FakeHolders h;
    LoadSettings(h, path, FixedClock);
    EXPECT_TRUE(h.checkBox1);
    SaveSettings(h, path);
    EXPECT_EQ(ReadLastDailyRun(path), "2026.12.08");
    // A file that cannot be written does not throw: the run goes on.
    dir.MakeFolder("locked.ini");
    EXPECT_FALSE(WriteLastDailyRun(dir.Path(L"locked.ini"), "2026.12.09"));
}

// A file as the previous version left it, LastDaily last: it loads with the
// defaults of the new keys, and saving it unchanged adds them at the end of
// [Defaults] and leaves every line it had as it was.
TEST_F(SettingsTest, AnOlderFileGainsTheNewKeysAfterItsOwnAndKeepsItsBytes) {
    const std::string defaults =
        "[Defaults]\r\nAutoStart=1\r\nMode=2\r\nDelArchived=0\r\nArchivePerDay=1\r\nAutoArchive=0\r\n"
        "Time=8:30:05\r\nAutoTime=60\r\nNoFile=.tmp;.t\xE9mp\r\nLastDaily=2026.12.08 08:30:06\r\n";
    const std::string screen = "[Screen]\r\nLeft=10\r\nTop=12\r\n";
    WriteBytes(path, defaults + screen);
    FakeHolders h;
    h.versionDays = h.changeGuard = 7;
    LoadSettings(h, path, FixedClock);
    EXPECT_EQ(h.versionDays, 30);
    EXPECT_EQ(h.changeGuard, 50);
    SaveSettings(h, path);
    EXPECT_EQ(ReadBytes(path), defaults + "VersionDays=30\r\nChangeGuard=50\r\n" + screen);
    EXPECT_EQ(ReadLastDailyRun(path), "2026.12.08 08:30:06");
    // The next daily run replaces LastDaily where it stands.
    EXPECT_TRUE(WriteLastDailyRun(path, "2026.12.09 08:30:01"));
    EXPECT_EQ(ReadBytes(path), defaults.substr(0, defaults.find("LastDaily")) +
                                   "LastDaily=2026.12.09 08:30:01\r\nVersionDays=30\r\nChangeGuard=50\r\n" +
                                   screen);
}

TEST_F(SettingsTest, OptionsAndScheduleSurviveARestart) {
    FakeHolders saved;
    saved.checkBox1 = saved.checkBox4 = saved.radioButton2 = true;
    saved.radioButton1 = false;
    saved.radioGroup1 = 2;
    saved.picker = {6, 45, 0, 0};
    saved.edit1 = "15  ";
    saved.excludedTypes = ".bak;.\xF5\xFB";
    saved.versionDays = saved.changeGuard = 0;  // off: not the defaults
    saved.left = 120, saved.top = -30;
    SaveSettings(saved, path);

    FakeHolders h;
    LoadSettings(h, path, FixedClock);
    EXPECT_TRUE(h.checkBox1 && h.radioButtonsEnabled && h.checkBox4 && h.radioButton2);
    EXPECT_FALSE(h.radioButton1);
    EXPECT_EQ(h.radioGroup1, 2);
    EXPECT_EQ(h.picker, (TimeOfDay{6, 45, 0, 0}));
    EXPECT_EQ(h.edit1, "15");  // the profile functions drop trailing blanks; the field's mask pads
    EXPECT_EQ(h.excludedTypes, ".bak;.\xF5\xFB");
    EXPECT_EQ(h.versionDays, 0);
    EXPECT_EQ(h.changeGuard, 0);
    EXPECT_EQ(h.left, 120);
    EXPECT_EQ(h.top, -30);
}

TEST_F(SettingsTest, ValuesAreReadLenientlyAndSavedNormalised) {
    EXPECT_FALSE(Loaded("AutoStart=yes\r\n").checkBox1);
    FakeHolders two = Loaded("AutoStart=2\r\n");
    EXPECT_TRUE(two.checkBox1);
    EXPECT_EQ(Saved(two, "AutoStart"), "1");
    EXPECT_EQ(Loaded("Mode=7\r\n").radioGroup1, 2);
    FakeHolders none = Loaded("Mode=-3\r\n");
    EXPECT_EQ(none.radioGroup1, -1);
    EXPECT_EQ(Saved(none, "Mode"), "-1");

    FakeHolders both = Loaded("ArchivePerDay=1\r\nAutoArchive=1\r\n");
    EXPECT_TRUE(!both.radioButton1 && both.radioButton2);
    FakeHolders neither = Loaded("ArchivePerDay=0\r\nAutoArchive=0\r\n");
    EXPECT_FALSE(neither.radioButton1 || neither.radioButton2);
    EXPECT_EQ(Saved(neither, "ArchivePerDay") + Saved(neither, "AutoArchive"), "00");
}

// Neither protection is turned off by a value nobody typed: text, a negative
// number or one beyond 32 bits gives the default; a number above the limit
// the limit, and the save writes back what was loaded.
TEST_F(SettingsTest, VersionDaysAndChangeGuardLoadAsTheDefaultOrTheLimit) {
    struct Case {
        const char* value;
        int days, percent;
    };
    const Case cases[] = {
        {"", 30, 50},
        {"yes", 30, 50},
        {"-1", 30, 50},
        {"-2147483648", 30, 50},
        {"99999999999", 30, 50},
        {"12x", 30, 50},
        {"0", 0, 0},
        {" 7", 7, 7},
        {"$10", 16, 16},
        {"100", 100, 100},
        {"101", 101, 100},
        {"9999", 9999, 100},
        {"10000", 9999, 100},
        {"2147483647", 9999, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        FakeHolders h = Loaded(std::string("VersionDays=") + c.value + "\r\nChangeGuard=" + c.value + "\r\n");
        EXPECT_EQ(h.versionDays, c.days);
        EXPECT_EQ(h.changeGuard, c.percent);
        StoredRunOptions o = ReadStoredRunOptions(path);  // the console program's reading
        EXPECT_EQ(o.versionDays, c.days);
        EXPECT_EQ(o.changeGuard, c.percent);
        EXPECT_EQ(Saved(h, "VersionDays"), std::to_string(c.days));
        EXPECT_EQ(Saved(h, "ChangeGuard"), std::to_string(c.percent));
    }
}

TEST_F(SettingsTest, TimesThatDoNotParseGiveTheMomentOfLoading) {
    EXPECT_EQ(Loaded("Time=25:00:00\r\n").picker, FixedClock());
    EXPECT_EQ(Loaded("Time=2024.05.01 8:00:00\r\n").picker, FixedClock());
    EXPECT_EQ(Loaded("Time=\r\n").picker, FixedClock());
    EXPECT_EQ(Loaded("Time=8\r\n").picker, (TimeOfDay{8, 0, 0, 0}));

    TimeFormat twelve;
    twelve.clock24 = false;
    twelve.designatorBefore = true;
    SetRegionalTimeFormat(twelve);
    FakeHolders h = Loaded("Time=PM 8:05:00\r\n");
    EXPECT_EQ(h.picker, (TimeOfDay{20, 5, 0, 0}));
    EXPECT_EQ(Saved(h, "Time"), "PM 8:05:00");
}

TEST_F(SettingsTest, StringsKeepAnEmptyValueApartAndAreCutWhenLong) {
    EXPECT_EQ(Loaded("NoFile=\r\n").excludedTypes, "");
    EXPECT_EQ(Loaded("Other=1\r\n").excludedTypes, ".tmp;.temp");
    FakeHolders h = Loaded("NoFile=" + std::string(2040, 'a') + std::string(20, 'b') + "\r\n");
    EXPECT_EQ(h.excludedTypes, std::string(2040, 'a') + std::string(7, 'b'));
    EXPECT_EQ(Saved(h, "NoFile"), h.excludedTypes);
}

TEST_F(SettingsTest, SaveEndsByWritingOrDeletingTheAutostartEntry) {
    FakeHolders h;
    h.checkBox1 = true;
    // Another copy's value, and this program's as an earlier version wrote it
    // (unquoted, in the code page): each is replaced at the save.
    for (const std::string& before :
         {std::string("D:\\Other copy\\Pelvane.exe"), WideToAnsi(ExecutablePath())}) {
        ASSERT_TRUE(WriteRegString(root.get(), kRunKeyWrite, "Pelvane", before));
        SaveSettings(h, path);
        // The program's own true path and case, quoted, with its terminating zero.
        EXPECT_EQ(root.WideString(kRunSubKey, "Pelvane"), L"\"" + ExecutablePath() + L"\"" + L'\0');
    }
    EXPECT_NE(ExecutablePath().find(L"settings_tests.exe"), std::wstring::npos);
    h.checkBox1 = false;
    SaveSettings(h, path);
    EXPECT_EQ(root.String(kRunSubKey, "Pelvane"), "<missing>");
    SaveSettings(h, path);  // nothing to delete: silent
}

TEST(Autostart, AValueNamesTheProgramQuotedOrAsAnEarlierVersionWroteIt) {
    const std::wstring exe = L"C:\\Users\\Hélène Мария\\Pelvane\\Pelvane.exe";
    EXPECT_EQ(AutostartCommand(exe), L"\"" + exe + L"\"");
    EXPECT_TRUE(AutostartValueNames(L"\"" + exe + L"\"", exe));
    const std::wstring otherCase = L"\"c:\\users\\hÉLÈNE мАРИЯ\\pelvane\\PELVANE.EXE\"";
    EXPECT_TRUE(AutostartValueNames(otherCase, exe));
    EXPECT_TRUE(AutostartValueNames(exe, exe));
    // The code page's form: è as its look-alike, the Cyrillic letters as "?".
    EXPECT_TRUE(AutostartValueNames(L"C:\\Users\\Hélene ?????\\Pelvane\\Pelvane.exe", exe));

    EXPECT_FALSE(AutostartValueNames(L"", exe));
    EXPECT_FALSE(AutostartValueNames(L"D:\\Other copy\\Pelvane.exe", exe));
    EXPECT_FALSE(AutostartValueNames(L"\"" + exe, exe));                     // never closed
    EXPECT_FALSE(AutostartValueNames(L"\"" + exe + L"\" /minimized", exe));  // not what the program writes
    EXPECT_FALSE(AutostartValueNames(exe + L".bak", exe));
}

TEST_F(SettingsTest, AtStartUpOnlyAnOlderFormOfThisProgramsEntryIsWrittenAgain) {
    const std::wstring quoted = L"\"" + ExecutablePath() + L"\"" + L'\0';
    EXPECT_FALSE(RenewAutostartEntry());  // none: it waits for the save
    EXPECT_EQ(root.WideString(kRunSubKey, "Pelvane"), L"<missing>");

    ASSERT_TRUE(WriteRegString(root.get(), kRunKeyWrite, "Pelvane", ExecutablePath()));
    EXPECT_TRUE(RenewAutostartEntry());
    EXPECT_EQ(root.WideString(kRunSubKey, "Pelvane"), quoted);
    EXPECT_FALSE(RenewAutostartEntry());
    EXPECT_EQ(root.WideString(kRunSubKey, "Pelvane"), quoted);

    ASSERT_TRUE(WriteRegString(root.get(), kRunKeyWrite, "Pelvane", "\"D:\\Other copy\\Pelvane.exe\""));
    EXPECT_FALSE(RenewAutostartEntry());
    EXPECT_EQ(root.WideString(kRunSubKey, "Pelvane"),
              L"\"D:\\Other copy\\Pelvane.exe\"" + std::wstring(1, L'\0'));
}

TEST_F(SettingsTest, AFailedWriteStopsTheSaveBeforeTheAutostartEntry) {
    FakeHolders h;
    h.checkBox1 = true;
    EXPECT_THROW(SaveSettings(h, dir.Path(L"")), IniWriteError);  // a folder where the file should be
    EXPECT_EQ(root.String(kRunSubKey, "Pelvane"), "<missing>");
}

TEST_F(SettingsTest, RegistryWriteCreatesTheKeyAndDeleteNeverDoes) {
    DeleteRegValue(root.get(), "\\Software\\Test\\", "X");
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(root.get(), "Software\\Test", 0, KEY_READ, &key), ERROR_SUCCESS);

    EXPECT_TRUE(WriteRegString(root.get(), "Software\\Test\\Sub", "X", "a b"));
    EXPECT_EQ(root.String("Software\\Test\\Sub", "X"), std::string("a b\0", 4));
    DeleteRegValue(root.get(), "\\Software\\Test\\Sub\\", "X");
    EXPECT_EQ(root.String("Software\\Test\\Sub", "X"), "<missing>");

    HKEY bogus = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1234));
    EXPECT_FALSE(WriteRegString(bogus, "\\Software\\Test", "X", "x"));
    try {
        RegistryAccessor().WriteString("Pelvane", "x");  // no key open
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Failed to set data for 'Pelvane'");
    }
}

TEST_F(SettingsTest, StoredRunOptionsAreReadWithoutTouchingTheFile) {
    StoredRunOptions o = ReadStoredRunOptions(path);
    EXPECT_EQ(o.method, 0);
    EXPECT_FALSE(o.clearArchiveFlag);
    EXPECT_EQ(o.excludedTypes, ".tmp;.temp");
    EXPECT_EQ(o.versionDays, 30);
    EXPECT_EQ(o.changeGuard, 50);
    EXPECT_FALSE(FileExists(path));

    const std::string bytes =
        "[defaults]\r\nmode=-3\r\nDelArchived=2\r\nNoFile=\r\nversiondays=0\r\nCHANGEGUARD=20\r\n";
    WriteBytes(path, bytes);
    o = ReadStoredRunOptions(path);
    EXPECT_EQ(o.method, -1);
    EXPECT_TRUE(o.clearArchiveFlag);
    EXPECT_EQ(o.excludedTypes, "");
    EXPECT_EQ(o.versionDays, 0);
    EXPECT_EQ(o.changeGuard, 20);
    EXPECT_EQ(ReadBytes(path), bytes);
}

}  // namespace
}  // namespace pelvane
