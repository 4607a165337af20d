#include "settings/Autostart.h"

#include <gtest/gtest.h>

#include "common/Seged.h"
#include "settings/RegistryAccessor.h"
#include "tests/settings/RegistryTestSupport.h"

namespace pelvane {
namespace {

using test::QueryRegValue;
using test::RegKeyExists;

const char* const kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kScratch = "Software\\PelvaneTest";

class AutostartTest : public ::testing::Test {
  protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRun, kAutostartValue);
    }
};

TEST_F(AutostartTest, EntryIsWrittenOverwrittenAndDeletedInTheRunKey) {
    ApplyAutostartEntry(true);
    auto value = QueryRegValue(HKEY_CURRENT_USER, kRun, "Pelvane");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    // The program's path in its own case, no quotes, stored with its zero.
    EXPECT_EQ(value->bytes, ExecutablePath() + '\0');
    EXPECT_NE(ExecutablePath().find("settings_tests.exe"), std::string::npos);
    EXPECT_NE(ExecutablePath().front(), '"');

    // Another copy's path is replaced, and the delete removes whatever it holds.
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kRunKeyWrite, "Pelvane", "D:\\Other Place\\Pelvane.exe"));
    EXPECT_EQ(QueryRegValue(HKEY_CURRENT_USER, kRun, "Pelvane")->bytes,
              "D:\\Other Place\\Pelvane.exe" + std::string(1, '\0'));
    ApplyAutostartEntry(true);
    EXPECT_EQ(QueryRegValue(HKEY_CURRENT_USER, kRun, "Pelvane")->bytes, ExecutablePath() + '\0');
    ApplyAutostartEntry(false);
    EXPECT_FALSE(QueryRegValue(HKEY_CURRENT_USER, kRun, "Pelvane"));
    // Deleting again, with nothing there, is silent.
    ApplyAutostartEntry(false);
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kRun));
}

TEST_F(AutostartTest, WriteCreatesAMissingKeyAndDeleteNeverCreatesOne) {
    DeleteRegValue(HKEY_CURRENT_USER, "\\Software\\PelvaneTest\\Sub\\", "X");
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kScratch));

    EXPECT_TRUE(WriteRegString(HKEY_CURRENT_USER, "\\Software\\PelvaneTest\\Sub", "X", "a b"));
    EXPECT_EQ(QueryRegValue(HKEY_CURRENT_USER, "Software\\PelvaneTest\\Sub", "X")->bytes,
              std::string("a b\0", 4));
    // Without the leading backslash a path counts from the root as well.
    EXPECT_TRUE(WriteRegString(HKEY_CURRENT_USER, "Software\\PelvaneTest\\Sub", "Y", ""));
    EXPECT_EQ(QueryRegValue(HKEY_CURRENT_USER, "Software\\PelvaneTest\\Sub", "Y")->bytes,
              std::string(1, '\0'));

    DeleteRegValue(HKEY_CURRENT_USER, "\\Software\\PelvaneTest\\Sub\\", "X");
    EXPECT_FALSE(QueryRegValue(HKEY_CURRENT_USER, "Software\\PelvaneTest\\Sub", "X"));
    EXPECT_TRUE(QueryRegValue(HKEY_CURRENT_USER, "Software\\PelvaneTest\\Sub", "Y"));
}

TEST_F(AutostartTest, AKeyThatCannotBeOpenedWritesNothingAndAFailedWriteNamesTheValue) {
    HKEY bogus = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1234));
    EXPECT_FALSE(WriteRegString(bogus, "\\Software\\PelvaneTest", "Pelvane", "x"));
    EXPECT_NO_THROW(DeleteRegValue(bogus, "\\Software\\PelvaneTest\\", "Pelvane"));

    RegistryAccessor reg;
    try {
        reg.WriteString("Pelvane", "x");  // no key open
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Failed to set data for 'Pelvane'");
    }
}

TEST_F(AutostartTest, RelativePathsCountFromTheOpenKey) {
    RegistryAccessor reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\PelvaneTest", true));
    ASSERT_TRUE(reg.OpenKey("Inner", true));
    reg.WriteString("V", "1");
    EXPECT_TRUE(QueryRegValue(HKEY_CURRENT_USER, "Software\\PelvaneTest\\Inner", "V"));
}

}  // namespace
}  // namespace pelvane
