#include <windows.h>

#include <gtest/gtest.h>

#include "common/Seged.h"
#include "common/Text.h"

using namespace pelvane;

TEST(GetToken, FieldsCountFromOneAndKeepBlanks) {
    EXPECT_EQ(GetToken(';', ".tmp;.temp", 1), ".tmp");
    EXPECT_EQ(GetToken(';', ".tmp;.temp", 2), ".temp");
    EXPECT_EQ(GetToken(';', ".tmp;.temp", 3), "");
    EXPECT_EQ(GetToken(';', ".tmp; .temp", 2), " .temp");
    EXPECT_EQ(GetToken(';', ";;.x", 3), ".x");
    EXPECT_EQ(GetToken(';', ";;.x", 2), "");
    EXPECT_EQ(GetToken(';', "abc", 1), "abc");
    EXPECT_EQ(GetToken(';', "", 1), "");
    EXPECT_EQ(GetToken(';', "a;", 2), "");
}

TEST(TryStrToInt, AcceptsDecimalAndHexForms) {
    int32_t v = 0;
    EXPECT_TRUE(TryStrToInt("  -42", v));
    EXPECT_EQ(v, -42);
    EXPECT_TRUE(TryStrToInt("$10", v));
    EXPECT_EQ(v, 16);
    EXPECT_TRUE(TryStrToInt("0x1F", v));
    EXPECT_EQ(v, 31);
    EXPECT_TRUE(TryStrToInt("X10", v));
    EXPECT_EQ(v, 16);
    EXPECT_TRUE(TryStrToInt("2147483647", v));
    EXPECT_TRUE(TryStrToInt("-2147483648", v));
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_FALSE(TryStrToInt("2147483648", v));
    EXPECT_FALSE(TryStrToInt("12a", v));
    EXPECT_FALSE(TryStrToInt("", v));
    EXPECT_FALSE(TryStrToInt("yes", v));
    EXPECT_FALSE(TryStrToInt("1 ", v));
}

TEST(VariantConversions, NullReadsAsEmptyAndZero) {
    EXPECT_EQ(VariantToText(Variant{}), "");
    EXPECT_EQ(VariantToInt(Variant{}), 0);
    EXPECT_EQ(VariantToText(Variant{int32_t{7}}), "7");
    EXPECT_EQ(VariantToInt(Variant{std::string("12")}), 12);
}

TEST(AppDir, IsTheLowerCasedProgramFolder) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring expected(path);
    expected.resize(expected.find_last_of(L'\\'));
    CharLowerBuffW(expected.data(), static_cast<DWORD>(expected.size()));
    EXPECT_EQ(AppDir(), expected);
    EXPECT_NE(AppDir().back(), L'\\');
}

TEST(GetFileAge, PacksTheLocalLastWriteTime) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    std::string path = std::string(tmp) + "pelvane_age.txt";
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SYSTEMTIME local{2008, 3, 0, 14, 15, 9, 27, 0};  // 2008-03-14 15:09:27
    FILETIME lft, ft;
    SystemTimeToFileTime(&local, &lft);
    LocalFileTimeToFileTime(&lft, &ft);
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
    int32_t expected = ((2008 - 1980) << 25) | (3 << 21) | (14 << 16) | (15 << 11) | (9 << 5) | (27 / 2);
    EXPECT_EQ(GetFileAge(path), expected);

    SYSTEMTIME old{1975, 1, 0, 1, 0, 0, 0, 0};
    SystemTimeToFileTime(&old, &lft);
    LocalFileTimeToFileTime(&lft, &ft);
    h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
    EXPECT_EQ(GetFileAge(path), -1);
    DeleteFileA(path.c_str());
    EXPECT_EQ(GetFileAge(path), -1);
    EXPECT_EQ(GetFileAge(tmp), -1);  // a folder
}

TEST(Text, ConvertsCp1250ToUtf8AndBack) {
    std::string ansi = "Összesen ő ű";
    std::string utf8 = AnsiToUtf8(ansi);
    EXPECT_EQ(utf8, "\xC3\x96sszesen \xC5\x91 \xC5\xB1");
    EXPECT_EQ(Utf8ToAnsi(utf8), ansi);
    EXPECT_EQ(AsciiLower("A.TMP\xC9"), "a.tmp\xC9");
}
