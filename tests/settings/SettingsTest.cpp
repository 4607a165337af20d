#include "settings/Settings.h"

#include <gtest/gtest.h>

#include "common/Seged.h"
#include "settings/Autostart.h"
#include "settings/IniFile.h"
#include "tests/settings/FakeHolders.h"
#include "tests/settings/RegistryTestSupport.h"
#include "tests/settings/TestFolder.h"

namespace pelvane {
namespace {

using test::FakeHolders;
using test::QueryRegValue;
using test::ReadBytes;
using test::TestFolder;
using test::WriteBytes;

const char* const kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

TimeOfDay FixedClock() {
    return {14, 27, 33, 120};
}

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetRegionalTimeFormat(TimeFormat{});  // 24-hour H:mm:ss
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRun, kAutostartValue);
    }
    void TearDown() override {
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRun, kAutostartValue);
        ReloadRegionalTimeFormat();
    }
    FakeHolders Loaded(const std::string& defaultsLines) {
        WriteBytes(path, "[Defaults]\r\n" + defaultsLines);
        FakeHolders h;
        LoadSettings(h, path, FixedClock);
        return h;
    }
    std::string SavedValue(const FakeHolders& h, const std::string& key) {
        SaveSettings(h, path);
        return IniFile(path).ReadString("Defaults", key, "<missing>");
    }

    TestFolder dir;
    std::string path = dir.File("Pelvane.ini");
};

TEST_F(SettingsTest, NoFileGivesTheDefaultsAndCreatesNothing) {
    FakeHolders h;
    h.checkBox1 = true;  // so that the load has to change it back
    LoadSettings(h, path, FixedClock);
    EXPECT_EQ(h.excludedTypes, ".tmp;.temp");
    EXPECT_FALSE(h.checkBox1);
    EXPECT_EQ(h.radioGroup1, 0);
    EXPECT_FALSE(h.checkBox4);
    EXPECT_TRUE(h.radioButton1);
    EXPECT_FALSE(h.radioButton2);
    EXPECT_FALSE(h.radioButtonsEnabled);
    EXPECT_EQ(h.picker, FixedClock());
    EXPECT_EQ(h.edit1, "60");
    EXPECT_EQ(h.left, 10);
    EXPECT_EQ(h.top, 10);
    EXPECT_EQ(h.armCalls, 1);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SettingsTest, ANewFileHoldsTheSectionsAndKeysInTheirOrder) {
    FakeHolders h;
    h.picker = {8, 30, 5, 0};
    h.edit1 = "60";
    h.excludedTypes = ".tmp;.temp";
    h.left = 10, h.top = 10;
    SaveSettings(h, path);
    EXPECT_EQ(ReadBytes(path),
              "[Defaults]\r\nAutoStart=0\r\nMode=0\r\nDelArchived=0\r\nArchivePerDay=1\r\nAutoArchive=0\r\n"
              "Time=8:30:05\r\nAutoTime=60\r\nNoFile=.tmp;.temp\r\n[Screen]\r\nLeft=10\r\nTop=10\r\n");
}

TEST_F(SettingsTest, ASaveReplacesKeysWhereTheyStandAndKeepsOthers) {
    WriteBytes(path, "[screen]\r\ntop=1\r\n[DEFAULTS]\r\nnofile=.a\r\nOwn=kept\r\nautostart=1\r\n");
    FakeHolders h;
    h.excludedTypes = ".b";
    h.picker = {23, 0, 0, 0};
    h.left = -5, h.top = 4000;
    h.edit1 = "1234";
    SaveSettings(h, path);
    EXPECT_EQ(
        ReadBytes(path),
        "[screen]\r\ntop=4000\r\nLeft=-5\r\n[DEFAULTS]\r\nnofile=.b\r\nOwn=kept\r\nautostart=0\r\n"
        "Mode=0\r\nDelArchived=0\r\nArchivePerDay=1\r\nAutoArchive=0\r\nTime=23:00:00\r\nAutoTime=1234\r\n");
}

TEST_F(SettingsTest, OptionsAndScheduleSurviveARestart) {
    FakeHolders saved;
    saved.checkBox1 = true;
    saved.radioGroup1 = 2;
    saved.checkBox4 = true;
    saved.radioButton1 = false;
    saved.radioButton2 = true;
    saved.picker = {6, 45, 0, 0};
    saved.edit1 = "15  ";
    saved.excludedTypes = ".bak;.\xF5\xFB";
    saved.left = 120, saved.top = -30;
    SaveSettings(saved, path);

    FakeHolders h;
    LoadSettings(h, path, FixedClock);
    EXPECT_TRUE(h.checkBox1);
    EXPECT_EQ(h.checkBox1Clicks, 1);
    EXPECT_TRUE(h.radioButtonsEnabled);
    EXPECT_EQ(h.radioGroup1, 2);
    EXPECT_TRUE(h.checkBox4);
    EXPECT_FALSE(h.radioButton1);
    EXPECT_TRUE(h.radioButton2);
    EXPECT_EQ(h.picker, (TimeOfDay{6, 45, 0, 0}));
    EXPECT_EQ(h.edit1, "15");  // the profile functions drop trailing blanks; the mask puts them back
    EXPECT_EQ(h.excludedTypes, ".bak;.\xF5\xFB");
    EXPECT_EQ(h.left, 120);
    EXPECT_EQ(h.top, -30);
}

TEST_F(SettingsTest, BooleansAndModeAreReadLeniantlyAndSavedNormalised) {
    EXPECT_FALSE(Loaded("AutoStart=yes\r\n").checkBox1);
    FakeHolders two = Loaded("AutoStart=2\r\n");
    EXPECT_TRUE(two.checkBox1);
    EXPECT_EQ(SavedValue(two, "AutoStart"), "1");

    EXPECT_EQ(Loaded("Mode=7\r\n").radioGroup1, 2);
    EXPECT_EQ(Loaded("Mode=$1\r\n").radioGroup1, 1);
    FakeHolders none = Loaded("Mode=-3\r\n");
    EXPECT_EQ(none.radioGroup1, -1);
    EXPECT_EQ(SavedValue(none, "Mode"), "-1");
}

TEST_F(SettingsTest, BothScheduleKeysSetLeaveTheContinuousOneBothClearLeaveNone) {
    FakeHolders both = Loaded("ArchivePerDay=1\r\nAutoArchive=1\r\n");
    EXPECT_FALSE(both.radioButton1);
    EXPECT_TRUE(both.radioButton2);

    FakeHolders neither = Loaded("AutoStart=1\r\nArchivePerDay=0\r\nAutoArchive=0\r\n");
    EXPECT_FALSE(neither.radioButton1);
    EXPECT_FALSE(neither.radioButton2);
    EXPECT_TRUE(neither.radioButtonsEnabled);
    SaveSettings(neither, path);
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("Defaults", "ArchivePerDay", ""), "0");
    EXPECT_EQ(ini.ReadString("Defaults", "AutoArchive", ""), "0");
}

TEST_F(SettingsTest, TimeThatDoesNotParseGivesTheMomentOfLoading) {
    EXPECT_EQ(Loaded("Time=25:00:00\r\n").picker, FixedClock());
    EXPECT_EQ(Loaded("Time=2024.05.01 8:00:00\r\n").picker, FixedClock());
    EXPECT_EQ(Loaded("Time=\r\n").picker, FixedClock());
    EXPECT_EQ(Loaded("Time=8\r\n").picker, (TimeOfDay{8, 0, 0, 0}));
    EXPECT_EQ(Loaded("Time=07:05:09\r\n").picker, (TimeOfDay{7, 5, 9, 0}));
}

TEST_F(SettingsTest, TimeFollowsTheRegionalFormat) {
    TimeFormat f;
    f.clock24 = false;
    f.designatorBefore = true;
    SetRegionalTimeFormat(f);
    FakeHolders h = Loaded("Time=PM 8:05:00\r\n");
    EXPECT_EQ(h.picker, (TimeOfDay{20, 5, 0, 0}));
    EXPECT_EQ(SavedValue(h, "Time"), "PM 8:05:00");
}

TEST_F(SettingsTest, StringsKeepAnEmptyValueAndAreCutWhenLong) {
    EXPECT_EQ(Loaded("NoFile=\r\n").excludedTypes, "");
    EXPECT_EQ(Loaded("AutoTime=\r\n").edit1, "");
    EXPECT_EQ(Loaded("Other=1\r\n").excludedTypes, ".tmp;.temp");

    FakeHolders h = Loaded("NoFile=" + std::string(2040, 'a') + std::string(20, 'b') + "\r\n");
    EXPECT_EQ(h.excludedTypes, std::string(2040, 'a') + std::string(7, 'b'));
    EXPECT_EQ(SavedValue(h, "NoFile"), h.excludedTypes);
}

TEST_F(SettingsTest, SaveWritesOrDeletesTheAutostartEntryLast) {
    FakeHolders h;
    h.checkBox1 = true;
    SaveSettings(h, path);
    auto value = QueryRegValue(HKEY_CURRENT_USER, kRun, "Pelvane");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->bytes, ExecutablePath() + '\0');

    h.checkBox1 = false;
    SaveSettings(h, path);
    EXPECT_FALSE(QueryRegValue(HKEY_CURRENT_USER, kRun, "Pelvane"));
}

TEST_F(SettingsTest, AFailedWriteStopsTheSaveBeforeTheAutostartEntry) {
    FakeHolders h;
    h.checkBox1 = true;
    try {
        SaveSettings(h, dir.Path());  // a folder: no write can succeed
        FAIL() << "no error";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + dir.Path());
    }
    EXPECT_FALSE(QueryRegValue(HKEY_CURRENT_USER, kRun, "Pelvane"));
}

// LoadFormPos and SaveFormPos work on the file beside the program.
class FormPosTest : public ::testing::Test {
  protected:
    void SetUp() override { DeleteFileA(SettingsFilePath().c_str()); }
    void TearDown() override { DeleteFileA(SettingsFilePath().c_str()); }
};

TEST_F(FormPosTest, PositionDefaultsToTenAndSurvives) {
    int left = 0, top = 0;
    LoadFormPos("frm_InpStr", left, top);
    EXPECT_EQ(left, 10);
    EXPECT_EQ(top, 10);
    SaveFormPos("frm_InpStr", -400, 5000);
    LoadFormPos("FRM_INPSTR", left, top);
    EXPECT_EQ(left, -400);
    EXPECT_EQ(top, 5000);

    WriteBytes(SettingsFilePath(), "[frm_InpStr]\r\nLeft=abc\r\nTop=$20\r\n");
    LoadFormPos("frm_InpStr", left, top);
    EXPECT_EQ(left, 10);
    EXPECT_EQ(top, 32);
}

TEST_F(FormPosTest, TheDialogsSectionComesFirstWhenWrittenBeforeTheFirstSave) {
    SaveFormPos("frm_InpStr", 300, 200);
    FakeHolders h;
    h.picker = {9, 0, 0, 0};
    h.edit1 = "60";
    h.excludedTypes = ".tmp";
    SaveSettings(h);
    EXPECT_EQ(ReadBytes(SettingsFilePath()),
              "[frm_InpStr]\r\nLeft=300\r\nTop=200\r\n"
              "[Defaults]\r\nAutoStart=0\r\nMode=0\r\nDelArchived=0\r\nArchivePerDay=1\r\nAutoArchive=0\r\n"
              "Time=9:00:00\r\nAutoTime=60\r\nNoFile=.tmp\r\n[Screen]\r\nLeft=0\r\nTop=0\r\n");
}

}  // namespace
}  // namespace pelvane
