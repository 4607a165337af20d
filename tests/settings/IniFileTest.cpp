#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include "tests/settings/TestFolder.h"

namespace pelvane {
namespace {

using test::ReadBytes;
using test::TestFolder;
using test::WriteBytes;

class IniFileTest : public ::testing::Test {
  protected:
    // A file with the given lines under [Defaults].
    std::string WithDefaults(const std::string& lines) {
        WriteBytes(path, "[Defaults]\r\n" + lines);
        return path;
    }
    TestFolder dir;
    std::string path = dir.File("Pelvane.ini");
};

TEST_F(IniFileTest, StringsKeepEmptyApartFromMissingAndCutLongValues) {
    WithDefaults("Empty=\r\nLong=" + std::string(2048, 'x') + "y\r\nText=\xC5\x91 .tmp;.temp\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("Defaults", "Empty", "def"), "");
    EXPECT_EQ(ini.ReadString("Defaults", "Missing", "def"), "def");
    EXPECT_EQ(ini.ReadString("Nowhere", "Empty", "def"), "def");
    EXPECT_EQ(ini.ReadString("Defaults", "Long", ""), std::string(2047, 'x'));
    EXPECT_EQ(ini.ReadString("Defaults", "Text", ""), "\xC5\x91 .tmp;.temp");
}

TEST_F(IniFileTest, NamesMatchWithoutRegardToCase) {
    WithDefaults("autostart=1\r\nNOFILE=.bak\r\n");
    IniFile ini(path);
    EXPECT_TRUE(ini.ReadBool("DEFAULTS", "AutoStart", false));
    EXPECT_EQ(ini.ReadString("defaults", "NoFile", ""), ".bak");
}

TEST_F(IniFileTest, IntegersTakeDecimalAndHexFormsWithinThirtyTwoBits) {
    WithDefaults(
        "Dec=-42\r\nDollar=$1F\r\nZeroX=0x10\r\nX=x10\r\nPlus=+7\r\nMax=2147483647\r\nMin=-2147483648\r\n"
        "Over=2147483648\r\nHexAll=$FFFFFFFF\r\nTrail=12a\r\nWord=yes\r\nEmpty=\r\nBlank=  \r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("Defaults", "Dec", 5), -42);
    EXPECT_EQ(ini.ReadInteger("Defaults", "Dollar", 5), 31);
    EXPECT_EQ(ini.ReadInteger("Defaults", "ZeroX", 5), 16);
    EXPECT_EQ(ini.ReadInteger("Defaults", "X", 5), 16);
    EXPECT_EQ(ini.ReadInteger("Defaults", "Plus", 5), 7);
    EXPECT_EQ(ini.ReadInteger("Defaults", "Max", 5), 2147483647);
    EXPECT_EQ(ini.ReadInteger("Defaults", "Min", 5), INT32_MIN);
    EXPECT_EQ(ini.ReadInteger("Defaults", "Over", 5), 5);
    EXPECT_EQ(ini.ReadInteger("Defaults", "HexAll", 5), -1);
    EXPECT_EQ(ini.ReadInteger("Defaults", "Trail", 5), 5);
    EXPECT_EQ(ini.ReadInteger("Defaults", "Word", 5), 5);
    EXPECT_EQ(ini.ReadInteger("Defaults", "Empty", 5), 5);
    EXPECT_EQ(ini.ReadInteger("Defaults", "Blank", 5), 5);
    EXPECT_EQ(ini.ReadInteger("Defaults", "Missing", 5), 5);
}

TEST_F(IniFileTest, BooleansAreIntegersAndWordsGiveTheDefault) {
    WithDefaults("Two=2\r\nMinus=-1\r\nHex=$10\r\nZero=0\r\nYes=yes\r\nTrue=true\r\n");
    IniFile ini(path);
    EXPECT_TRUE(ini.ReadBool("Defaults", "Two", false));
    EXPECT_TRUE(ini.ReadBool("Defaults", "Minus", false));
    EXPECT_TRUE(ini.ReadBool("Defaults", "Hex", false));
    EXPECT_FALSE(ini.ReadBool("Defaults", "Zero", true));
    EXPECT_FALSE(ini.ReadBool("Defaults", "Yes", false));
    EXPECT_TRUE(ini.ReadBool("Defaults", "Yes", true));
    EXPECT_FALSE(ini.ReadBool("Defaults", "True", false));
}

TEST_F(IniFileTest, WritesEncodeValuesAndReplaceKeysWhereTheyStand) {
    WithDefaults("First=a\r\nmode=9\r\nLast=z\r\n[Screen]\r\nLeft=1\r\n");
    {
        IniFile ini(path);
        ini.WriteInteger("defaults", "Mode", -1);
        ini.WriteBool("Defaults", "DelArchived", true);
        ini.WriteBool("Defaults", "AutoArchive", false);
        ini.WriteString("Defaults", "NoFile", "\xE1rv\xED.tmp");  // cp1250 bytes go in unchanged
        ini.WriteString("New", "Key", "");
    }
    EXPECT_EQ(ReadBytes(path),
              "[Defaults]\r\nFirst=a\r\nmode=-1\r\nLast=z\r\nDelArchived=1\r\nAutoArchive=0\r\n"
              "NoFile=\xE1rv\xED.tmp\r\n[Screen]\r\nLeft=1\r\n[New]\r\nKey=\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("New", "Key", "def"), "");
}

TEST_F(IniFileTest, TimeIsWrittenAndReadInTheGivenFormat) {
    TimeFormat f;  // 24-hour, H:mm:ss
    TimeOfDay def{1, 2, 3, 0};
    {
        IniFile ini(path);
        ini.WriteTime("Defaults", "Time", {20, 5, 0, 999}, f);
    }
    EXPECT_EQ(ReadBytes(path), "[Defaults]\r\nTime=20:05:00\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadTime("Defaults", "Time", def, f), (TimeOfDay{20, 5, 0, 0}));
    EXPECT_EQ(ini.ReadTime("Defaults", "Missing", def, f), def);
}

TEST_F(IniFileTest, AFileThatCannotBeWrittenRaisesTheMessageWithItsPath) {
    // The path is a folder: a write fails under Wine as root too.
    IniFile ini(dir.Path());
    try {
        ini.WriteInteger("Screen", "Left", 1);
        FAIL() << "no error";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + dir.Path());
    }
    // A file in a folder that is not there fails in the same way.
    IniFile lost(dir.File("gone\\Pelvane.ini"));
    EXPECT_THROW(lost.WriteString("A", "B", "C"), IniWriteError);
}

TEST_F(IniFileTest, ReadingAMissingFileCreatesNothing) {
    {
        IniFile ini(path);
        EXPECT_EQ(ini.ReadString("Defaults", "NoFile", "d"), "d");
    }
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace pelvane
