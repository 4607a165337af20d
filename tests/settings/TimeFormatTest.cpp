#include "settings/TimeFormat.h"

#include <gtest/gtest.h>

namespace pelvane {
namespace {

TimeFormat TwelveHour(bool designatorBefore) {
    TimeFormat f;
    f.clock24 = false;
    f.hourLeadingZero = true;
    f.separator = ".";
    f.am = "de.";
    f.pm = "du.";
    f.designatorBefore = designatorBefore;
    f.decimalSeparator = ",";
    return f;
}

TimeOfDay Parsed(const TimeFormat& f, const std::string& text) {
    TimeOfDay t{99, 99, 99, 99};  // stays when the text is rejected
    f.Parse(text, t);
    return t;
}

const TimeOfDay kRejected{99, 99, 99, 99};

TEST(TimeFormat, TwentyFourHourWithoutLeadingZero) {
    TimeFormat f;
    EXPECT_EQ(f.Format({20, 5, 0, 0}), "20:05:00");
    EXPECT_EQ(f.Format({8, 0, 7, 500}), "8:00:07");
    EXPECT_EQ(f.Format({0, 0, 0, 0}), "0:00:00");
    f.hourLeadingZero = true;
    EXPECT_EQ(f.Format({8, 0, 7, 0}), "08:00:07");
}

TEST(TimeFormat, TwelveHourDesignatorAfterOrBefore) {
    TimeFormat after = TwelveHour(false), before = TwelveHour(true);
    EXPECT_EQ(after.Format({20, 5, 0, 0}), "08.05.00 du.");
    EXPECT_EQ(after.Format({0, 30, 0, 0}), "12.30.00 de.");
    EXPECT_EQ(after.Format({12, 0, 0, 0}), "12.00.00 du.");
    EXPECT_EQ(before.Format({20, 5, 0, 0}), "du. 08.05.00");
    EXPECT_EQ(before.Format({11, 59, 59, 0}), "de. 11.59.59");
    // What is written reads back the same, with the designator on either side.
    for (const TimeFormat& f : {after, before})
        for (TimeOfDay t : {TimeOfDay{0, 0, 0, 0}, TimeOfDay{12, 1, 2, 0}, TimeOfDay{23, 59, 59, 0}})
            EXPECT_EQ(Parsed(f, f.Format(t)), t) << f.Format(t);
    EXPECT_EQ(Parsed(after, "du. 8.05"), (TimeOfDay{20, 5, 0, 0}));
    EXPECT_EQ(Parsed(before, "8.05.00 DU."), (TimeOfDay{20, 5, 0, 0}));
}

TEST(TimeFormat, DesignatorsReadInAnyCaseAndAlsoAsAmPm) {
    TimeFormat f = TwelveHour(false);
    EXPECT_EQ(Parsed(f, "12.00 am"), (TimeOfDay{0, 0, 0, 0}));
    EXPECT_EQ(Parsed(f, "PM 12.00"), (TimeOfDay{12, 0, 0, 0}));
    EXPECT_EQ(Parsed(f, "1.00 pM"), (TimeOfDay{13, 0, 0, 0}));
    // With a designator the hour runs 1..12.
    EXPECT_EQ(Parsed(f, "0.30 pm"), kRejected);
    EXPECT_EQ(Parsed(f, "13.00 pm"), kRejected);
    // A designator on both sides is one too many.
    EXPECT_EQ(Parsed(f, "pm 1.00 pm"), kRejected);
    // The 24-hour format reads designators as well.
    EXPECT_EQ(Parsed(TimeFormat{}, "8:15 PM"), (TimeOfDay{20, 15, 0, 0}));
}

TEST(TimeFormat, ReadsPartialTimesBlanksAndMilliseconds) {
    TimeFormat f;
    EXPECT_EQ(Parsed(f, "8"), (TimeOfDay{8, 0, 0, 0}));
    EXPECT_EQ(Parsed(f, "8:5"), (TimeOfDay{8, 5, 0, 0}));
    EXPECT_EQ(Parsed(f, " 8 : 05 : 09 "), (TimeOfDay{8, 5, 9, 0}));
    EXPECT_EQ(Parsed(f, "8:05:09.250"), (TimeOfDay{8, 5, 9, 250}));
    EXPECT_EQ(Parsed(TwelveHour(false), "08.05.09,250 de."), (TimeOfDay{8, 5, 9, 250}));
}

TEST(TimeFormat, RejectsWhatBreaksTheRules) {
    TimeFormat f;
    for (const char* text : {"", "  ", "25:00:00", "24:00", "8:60", "8:00:60", "8:00:00.1000", "8:", "8:00:",
                             "2024.05.01 8:00:00", "8:00:00 x", "8.00", "x8", "8:00:00:00", "-1:00"})
        EXPECT_EQ(Parsed(f, text), kRejected) << '"' << text << '"';
}

TEST(TimeFormat, RegionalValuesComeFromTheLocale) {
    // English (United States): 12-hour, designator after, no leading zero.
    TimeFormat us =
        TimeFormat::FromLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT));
    EXPECT_FALSE(us.clock24);
    EXPECT_FALSE(us.designatorBefore);
    EXPECT_EQ(us.Format({20, 5, 0, 0}), "8:05:00 " + us.pm);
    // Hungarian: 24-hour H:mm:ss.
    TimeFormat hu =
        TimeFormat::FromLocale(MAKELCID(MAKELANGID(LANG_HUNGARIAN, SUBLANG_DEFAULT), SORT_DEFAULT));
    EXPECT_TRUE(hu.clock24);
    EXPECT_EQ(hu.Format({20, 5, 0, 0}), "20:05:00");
}

TEST(TimeFormat, TheRegionalFormatCanBeSetAndReloaded) {
    SetRegionalTimeFormat(TwelveHour(true));
    EXPECT_EQ(RegionalTimeFormat().Format({13, 0, 0, 0}), "du. 01.00.00");
    ReloadRegionalTimeFormat();
    EXPECT_EQ(RegionalTimeFormat().Format({13, 0, 0, 0}), TimeFormat::FromLocale().Format({13, 0, 0, 0}));
}

}  // namespace
}  // namespace pelvane
