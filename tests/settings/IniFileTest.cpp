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
    IniFile ini(dir.Path(L"a.ini"));
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ini.ReadInteger("Defaults", "K" + std::to_string(i), 5), cases[i].second) << cases[i].first;
    EXPECT_EQ(ini.ReadInteger("Defaults", "Missing", 5), 5);
}

TEST(IniFile, WritesReplaceKeysWhereTheyStandMatchingNamesInAnyCase) {
    ScratchFolder dir;
    std::wstring path = dir.Path(L"a.ini");
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
    IniFile ini(dir.Path(L""));
    try {
        ini.WriteInteger("Screen", "Left", 1);
        FAIL() << "no error";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + dir.Path());
    }
    IniFile lost(dir.Path(L"gone\\Pelvane.ini"));
    EXPECT_THROW(lost.WriteString("A", "B", "C"), IniWriteError);
}

// A program folder outside the code page (a user "Hélène", with the è
// Windows-1250 lacks): the file is reached by its true name, and it stays a
// code-page file with the same bytes as anywhere else.
TEST(IniFile, AFolderOutsideTheCodePageKeepsTheFileInTheCodePage) {
    ScratchFolder dir;
    const std::wstring folder = L"Hélène Мария";
    dir.MakeFolder(folder);
    const std::wstring path = dir.Path(folder + L"\\Pelvane.ini");
    {
        IniFile ini(path);
        EXPECT_EQ(ini.ReadString("Defaults", "NoFile", "<default>"), "<default>");
        ini.WriteString("Defaults", "NoFile", ".\xF5\xFB;.tmp");  // ő ű in cp1250
        ini.WriteInteger("Screen", "Left", 7);
    }
    const std::string created = "[Defaults]\r\nNoFile=.\xF5\xFB;.tmp\r\n[Screen]\r\nLeft=7\r\n";
    EXPECT_EQ(ReadBytes(path), created);
    EXPECT_EQ(IniFile(path).ReadString("defaults", "nofile", ""), ".\xF5\xFB;.tmp");

    // An existing file: a key replaced where it stands, every other byte kept.
    WriteBytes(path, "[Defaults]\r\nNoFile=\xE1rv\xED\r\nMode=1\r\n");
    IniFile(path).WriteInteger("Defaults", "NoFile", 2);
    EXPECT_EQ(ReadBytes(path), "[Defaults]\r\nNoFile=2\r\nMode=1\r\n");

    // The message shows the path in the code page, a missing letter as "?".
    dir.MakeFolder(folder + L"\\locked.ini");
    try {
        IniFile(dir.Path(folder + L"\\locked.ini")).WriteString("A", "B", "C");
        FAIL() << "no error";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + dir.Path() + "\\H\xE9l?ne ?????\\locked.ini");
    }
}

}  // namespace
}  // namespace pelvane
