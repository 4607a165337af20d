#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include "tests/settings/TestSupport.h"

namespace pelvane {
namespace {

using namespace test;

TEST(IniFile, IntegersTakeDecimalAndHexFormsWithinThirtyTwoBits) {
    ScratchFolder dir;
    const std::pair<const char*, int32_t> cases[] = {
        {"-42", -42},      {"$1F", 31},       {"0x10", 16},
        {"x10", 16},       {"+7", 7},         {"-2147483648", INT32_MIN},
        {"2147483648", 5}, {"$FFFFFFFF", -1}, {"12a", 5},
        {"yes", 5},        {"", 5},           {"1.5", 5},
        {"- 1", 5}};
    std::string file = "[Defaults]\r\n";
    for (size_t i = 0; i < std::size(cases); ++i)
        file += "K" + std::to_string(i) + "=" + cases[i].first + "\r\n";
    WriteBytes(dir.Path("a.ini"), file);
    IniFile ini(dir.Path("a.ini"));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ini.ReadInteger("Defaults", "K" + std::to_string(i), 5), cases[i].second) << cases[i].first;
    EXPECT_EQ(ini.ReadInteger("Defaults", "Missing", 5), 5);
}

TEST(IniFile, WritesReplaceKeysWhereTheyStandMatchingNamesInAnyCase) {
    ScratchFolder dir;
    std::string path = dir.Path("a.ini");
    WriteBytes(path, "[Defaults]\r\nFirst=a\r\nmode=9\r\nLast=z\r\n[Screen]\r\nLeft=1\r\n");
    {
        IniFile ini(path);
        ini.WriteInteger("DEFAULTS", "Mode", -1);
        ini.WriteBool("Defaults", "DelArchived", true);
        ini.WriteString("Defaults", "NoFile", "\xE1rv\xED.tmp");  // cp1250 bytes go in unchanged
        ini.WriteString("New", "Key", "");
    }
    EXPECT_EQ(ReadBytes(path),
              "[Defaults]\r\nFirst=a\r\nmode=-1\r\nLast=z\r\nDelArchived=1\r\nNoFile=\xE1rv\xED.tmp\r\n"
              "[Screen]\r\nLeft=1\r\n[New]\r\nKey=\r\n");
}

TEST(IniFile, AFileThatCannotBeWrittenRaisesTheMessageWithItsPath) {
    ScratchFolder dir;
    // A read-only file is writable for root under Wine; a folder in the
    // file's place is not, for anyone.
    IniFile ini(dir.Path());
    try {
        ini.WriteInteger("Screen", "Left", 1);
        FAIL() << "no error";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + dir.Path());
    }
    IniFile lost(dir.Path("gone\\Pelvane.ini"));
    EXPECT_THROW(lost.WriteString("A", "B", "C"), IniWriteError);
}

}  // namespace
}  // namespace pelvane
