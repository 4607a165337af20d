#include "engine/VersionName.h"

#include <gtest/gtest.h>

#include "common/Text.h"

namespace pelvane {
namespace {

LocalTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return LocalTime{y, mo, d, h, mi, s};
}

std::string Show(const std::wstring& name) {
    return WideToUtf8(name);
}

TEST(VersionName, TheStampGoesBeforeTheExtensionAndParsesBackToTheSameNameAndTime) {
    const LocalTime t = At(2026, 12, 9, 1, 30, 45);
    struct Case {
        std::wstring name, version;
    };
    const Case cases[] = {
        {L"Jelentés.docx", L"Jelentés (2026-12-09 013045).docx"},
        {L"README", L"README (2026-12-09 013045)"},
        // The extension is from the last point, whatever it holds.
        {L"archív.tar.gz", L"archív.tar (2026-12-09 013045).gz"},
        {L"v1.0 vázlat", L"v1 (2026-12-09 013045).0 vázlat"},
        {L".gitignore", L" (2026-12-09 013045).gitignore"},
        {L"pont.", L"pont (2026-12-09 013045)."},
        {L"日本語のファイル.txt", L"日本語のファイル (2026-12-09 013045).txt"},
        {L"nyaralás 😀.jpg", L"nyaralás 😀 (2026-12-09 013045).jpg"},
        // A copy whose own name looks like a version keeps it whole.
        {L"Jelentés (2025-01-02 030405).docx", L"Jelentés (2025-01-02 030405) (2026-12-09 013045).docx"},
        {L"régi (2025-01-02 030405)", L"régi (2025-01-02 030405) (2026-12-09 013045)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Show(c.name));
        EXPECT_EQ(Show(VersionFileName(c.name, t)), Show(c.version));
        auto parsed = ParseVersionFileName(c.version);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(Show(parsed->fileName), Show(c.name));
        EXPECT_EQ(parsed->replaced, t);
    }
    // Small values keep their leading zeros, so names sort by time.
    EXPECT_EQ(Show(VersionFileName(L"a.txt", At(987, 1, 2, 3, 4, 5))), "a (0987-01-02 030405).txt");
}

TEST(VersionName, NamesThatNoVersionCanHaveAreRecognised) {
    const std::wstring names[] = {
        L"Jelentés.docx",
        L"Jelentés (2026-12-09).docx",
        L"Jelentés (2026-12-09 0130).docx",
        L"Jelentés(2026-12-09 013045).docx",
        L"Jelentés (2026-12-09 013045) másolat.docx",  // the stamp is not where a version has it
        L"Jelentés (2026-12-09_013045).docx",
        L"Jelentés (2026-13-09 013045).docx",  // no 13th month
        L"Jelentés (2026-02-29 013045).docx",  // 2026 is no leap year
        L"Jelentés (2026-04-31 013045).docx",
        L"Jelentés (2026-12-00 013045).docx",
        L"Jelentés (2026-12-09 240000).docx",
        L"Jelentés (2026-12-09 016045).docx",
        L"Jelentés (2026-12-09 013060).docx",
        L"Jelentés (0000-12-09 013045).docx",
        L"Jelentés (２０２６-12-09 013045).docx",  // digits, but not ours
        L"Jelentés (2026-1٢-09 013045).docx",
        L" (2026-12-09 013045)",  // it would stand for a file without a name
        L"",
    };
    for (const std::wstring& name : names) EXPECT_FALSE(ParseVersionFileName(name).has_value()) << Show(name);
    auto leap = ParseVersionFileName(L"x (2024-02-29 235959).txt");
    ASSERT_TRUE(leap.has_value());
    EXPECT_EQ(leap->replaced, At(2024, 2, 29, 23, 59, 59));
}

TEST(VersionName, TheFolderNameIsTheWideOne) {
    EXPECT_EQ(Show(kVersionFolderName), u8"Pelvane-változatok");
}

// Versions of one file replaced on the 10th, 20th and 30th of June; the copy
// itself dates from the 25th.
class RestoreChoiceTest : public ::testing::Test {
  protected:
    RestoreChoice Choose(const std::optional<LocalTime>& asOf,
                         std::optional<LocalTime> copy = At(2026, 6, 25)) {
        return ChooseRestoreSource(copy, versions, asOf);
    }
    // Out of order, as a folder listing may give them.
    std::vector<LocalTime> versions = {At(2026, 6, 20, 12), At(2026, 6, 30, 12), At(2026, 6, 10, 12)};
    using From = RestoreChoice::From;
};

TEST_F(RestoreChoiceTest, WithoutAMomentTheCopyElseNothing) {
    EXPECT_EQ(Choose(std::nullopt).from, From::Copy);
    EXPECT_EQ(Choose(std::nullopt, std::nullopt).from, From::Nothing);
}

TEST_F(RestoreChoiceTest, TheOldestVersionReplacedAfterTheMomentHeldItsContent) {
    struct Case {
        LocalTime asOf;
        size_t version;
    };
    const Case cases[] = {
        {At(2026, 6, 1), 2},
        {At(2026, 6, 10, 11, 59, 59), 2},
        {At(2026, 6, 10, 12), 0},  // replaced at that very second: the next one held it
        {At(2026, 6, 15), 0},
        {At(2026, 6, 25), 1},  // the copy's date does not matter while a version follows
        {At(2026, 6, 30, 11), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(FormatMoment(c.asOf));
        RestoreChoice choice = Choose(c.asOf);
        EXPECT_EQ(choice.from, From::Version);
        EXPECT_EQ(choice.version, c.version);
        // The versions decide alone: the copy need not exist.
        EXPECT_EQ(Choose(c.asOf, std::nullopt).version, c.version);
    }
}

TEST_F(RestoreChoiceTest, AfterTheLastReplacementTheCopyIfItIsNotNewerThanTheMoment) {
    EXPECT_EQ(Choose(At(2026, 7, 1)).from, From::Copy);
    EXPECT_EQ(Choose(At(2026, 6, 30, 12)).from, From::Copy);
    EXPECT_EQ(Choose(At(2026, 7, 1), At(2026, 7, 1)).from, From::Copy);
    // Written after the moment, or gone: the file was not in the backup then.
    EXPECT_EQ(Choose(At(2026, 7, 1), At(2026, 7, 1, 0, 0, 1)).from, From::Nothing);
    EXPECT_EQ(Choose(At(2026, 7, 1), std::nullopt).from, From::Nothing);
    versions.clear();
    EXPECT_EQ(Choose(At(2026, 6, 24)).from, From::Nothing);
    EXPECT_EQ(Choose(At(2026, 6, 26)).from, From::Copy);
}

TEST(VersionPrune, AVersionGoesWhenItIsMoreThanTheDaysOld) {
    const LocalTime now = At(2024, 3, 30, 10, 0, 0);
    // Thirty days back from the 30th of March 2024 cross the 29th of February.
    EXPECT_FALSE(VersionExpired(At(2024, 2, 29, 10, 0, 0), now, 30));
    EXPECT_TRUE(VersionExpired(At(2024, 2, 29, 9, 59, 59), now, 30));
    EXPECT_FALSE(VersionExpired(At(2023, 12, 31, 23, 0, 0), At(2024, 1, 1, 22, 0, 0), 1));
    EXPECT_TRUE(VersionExpired(At(2023, 12, 31, 23, 0, 0), At(2024, 1, 1, 23, 0, 1), 1));
    EXPECT_TRUE(VersionExpired(At(1990, 1, 1), now, 9999));  // 34 years
    // A version from the future (a clock set wrong) is young.
    EXPECT_FALSE(VersionExpired(At(2030, 1, 1), now, 1));
}

TEST(VersionPrune, KeepingNoVersionsRemovesNone) {
    EXPECT_FALSE(VersionExpired(At(1990, 1, 1), At(2026, 12, 9), 0));
    EXPECT_FALSE(VersionExpired(At(1990, 1, 1), At(2026, 12, 9), -5));
}

TEST(RestoreMoment, TheUsersFormWithOrWithoutSecondsAndNothingElse) {
    LocalTime t;
    ASSERT_TRUE(ParseMoment("2026.12.09 01:30", t));
    EXPECT_EQ(t, At(2026, 12, 9, 1, 30, 0));
    ASSERT_TRUE(ParseMoment("  2024.02.29 23:59:59 ", t));
    EXPECT_EQ(t, At(2024, 2, 29, 23, 59, 59));
    EXPECT_EQ(FormatMoment(t), "2024.02.29 23:59:59");
    for (const char* bad : {"", "2026.12.09", "2026.12.09 1:30", "2026-12-09 01:30", "2026.12.09 01:30:5",
                            "2026.12.09 01:30 x", "2026.02.29 10:00", "2026.12.09 24:00", "2026.12.09 23:60",
                            "2026.12.09 01:30:60", "0000.01.01 00:00"}) {
        LocalTime kept = At(1999, 1, 1);
        EXPECT_FALSE(ParseMoment(bad, kept)) << bad;
        EXPECT_EQ(kept, At(1999, 1, 1)) << bad;
    }
}

}  // namespace
}  // namespace pelvane
