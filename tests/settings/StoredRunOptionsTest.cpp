#include "settings/StoredRunOptions.h"

#include <gtest/gtest.h>

#include "tests/settings/TestFolder.h"

namespace pelvane {
namespace {

using test::ReadBytes;
using test::TestFolder;
using test::WriteBytes;

FILETIME WriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

TEST(StoredRunOptions, ReadsTheRunOptionsAndLeavesTheFileAlone) {
    TestFolder dir;
    std::string path = dir.File("Pelvane.ini");
    const std::string bytes = "[defaults]\r\nmode=7\r\nDelArchived=2\r\nNoFile=\r\n";
    WriteBytes(path, bytes);
    FILETIME before = WriteTime(path);
    StoredRunOptions o = ReadStoredRunOptions(path);
    EXPECT_EQ(o.mode, 2);
    EXPECT_TRUE(o.delArchived);
    EXPECT_EQ(o.excludedTypes, "");
    EXPECT_EQ(ReadBytes(path), bytes);
    FILETIME after = WriteTime(path);
    EXPECT_EQ(CompareFileTime(&before, &after), 0);

    WriteBytes(path, "[Defaults]\r\nMode=-3\r\nDelArchived=yes\r\n");
    o = ReadStoredRunOptions(path);
    EXPECT_EQ(o.mode, -1);
    EXPECT_FALSE(o.delArchived);
    EXPECT_EQ(o.excludedTypes, ".tmp;.temp");
}

TEST(StoredRunOptions, AMissingFileGivesTheDefaultsAndStaysMissing) {
    TestFolder dir;
    std::string path = dir.File("Pelvane.ini");
    StoredRunOptions o = ReadStoredRunOptions(path);
    EXPECT_EQ(o.mode, 0);
    EXPECT_FALSE(o.delArchived);
    EXPECT_EQ(o.excludedTypes, ".tmp;.temp");
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace pelvane
