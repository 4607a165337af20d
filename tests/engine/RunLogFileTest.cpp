#include "engine/RunLogFile.h"

#include <gtest/gtest.h>

#include "common/Handles.h"
#include "tests/support/ScratchFolder.h"

namespace pelvane {
namespace {

std::wstring Wide(const std::string& ansi) {
    return std::wstring(ansi.begin(), ansi.end());  // the scratch paths are ASCII
}

TEST(RunLogFile, AppendsTrueNamesInUtf8WithCrlf) {
    test::ScratchFolder dir;
    RunLogFile log(Wide(dir.Path("Pelvane.log")));
    ASSERT_TRUE(log.Append(L"*** Mentés indul: 2026.12.08 15:20:00"));
    // Not inside the assertion: its text would become a cp1250 string.
    const std::wstring line = L"Hiba: C:\\日本語\\Ελληνικά 😀.txt : x";
    ASSERT_TRUE(log.Append(line));
    EXPECT_EQ(
        "*** Ment\xC3\xA9s indul: 2026.12.08 15:20:00\r\n"
        "Hiba: "
        "C:"
        "\\\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\\\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE"
        "\xAC "
        "\xF0\x9F\x98\x80.txt : x\r\n",
        dir.Read("Pelvane.log"));
}

TEST(RunLogFile, PastItsLimitTheFileBecomesTheOlderGenerationAndANewOneStarts) {
    test::ScratchFolder dir;
    RunLogFile log(Wide(dir.Path("Pelvane.log")), 20);
    ASSERT_TRUE(log.Append(L"first line of ten+"));  // 20 bytes with CRLF: at the limit
    ASSERT_TRUE(log.Append(L"second"));
    EXPECT_EQ("first line of ten+\r\n", dir.Read("Pelvane.log.1"));
    EXPECT_EQ("second\r\n", dir.Read("Pelvane.log"));
    ASSERT_TRUE(log.Append(L"third line, long enough"));
    ASSERT_TRUE(log.Append(L"fourth"));
    // One older generation only: the second rotation replaces it.
    EXPECT_EQ("second\r\nthird line, long enough\r\n", dir.Read("Pelvane.log.1"));
    EXPECT_EQ("fourth\r\n", dir.Read("Pelvane.log"));
    EXPECT_FALSE(dir.Exists("Pelvane.log.2"));
}

// Another program holds the file without delete sharing (a read-only older
// generation, which Wine does not refuse, fails the rename the same way): no
// line is lost, and the rotation comes later.
TEST(RunLogFile, AFileThatCannotBeRotatedKeepsEveryLine) {
    test::ScratchFolder dir;
    RunLogFile log(Wide(dir.Path("Pelvane.log")), 20);
    ASSERT_TRUE(log.Append(L"first line of ten+"));  // at the limit
    {
        FileHandle reader(CreateFileW(Wide(dir.Path("Pelvane.log")).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
        ASSERT_TRUE(reader);
        EXPECT_TRUE(log.Append(L"second"));
        EXPECT_TRUE(log.Append(L"third"));
        EXPECT_FALSE(dir.Exists("Pelvane.log.1"));
        EXPECT_EQ("first line of ten+\r\nsecond\r\nthird\r\n", dir.Read("Pelvane.log"));
    }
    EXPECT_TRUE(log.Append(L"fourth"));
    EXPECT_EQ("first line of ten+\r\nsecond\r\nthird\r\n", dir.Read("Pelvane.log.1"));
    EXPECT_EQ("fourth\r\n", dir.Read("Pelvane.log"));
}

TEST(RunLogFile, AFileThatCannotBeWrittenIsReportedNotThrown) {
    test::ScratchFolder dir;
    dir.MakeFolder("Pelvane.log");  // a folder where the file should be
    RunLogFile log(Wide(dir.Path("Pelvane.log")));
    EXPECT_FALSE(log.Append(L"line"));
    EXPECT_NE(0u, log.LastError());
    EXPECT_TRUE(log.FailureIsNew());
    EXPECT_EQ(0u, log.FailureNote().find(L"*** A naplófájl nem írható: " + log.Path() + L" : "));
    // Told once: the next failure is not new, until a line is written again.
    EXPECT_FALSE(log.Append(L"line"));
    EXPECT_FALSE(log.FailureIsNew());
    RemoveDirectoryA(dir.Path("Pelvane.log").c_str());
    EXPECT_TRUE(log.Append(L"line"));
    EXPECT_FALSE(log.FailureIsNew());
    dir.MakeFolder("Other");
    RunLogFile other(Wide(dir.Path("Other")));
    EXPECT_FALSE(other.Append(L"line"));
    EXPECT_TRUE(other.FailureIsNew());
}

}  // namespace
}  // namespace pelvane
