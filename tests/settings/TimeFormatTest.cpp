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

const TimeOfDay kRejected{99, 99, 99, 99};

TimeOfDay Parsed(const TimeFormat& f, const std::string& text) {
    TimeOfDay t = kRejected;  // stays when the text is rejected
    f.Parse(text, t);
    return t;
}

TEST(TimeFormat, WritesTheLongTimeFormatAndReadsItBack) {
    TimeFormat h24, after = TwelveHour(false), before = TwelveHour(true);
    EXPECT_EQ(h24.Format({20, 5, 0, 999}), "20:05:00");
    EXPECT_EQ(h24.Format({8, 0, 7, 0}), "8:00:07");
    EXPECT_EQ(after.Format({20, 5, 0, 0}), "08.05.00 du.");
    EXPECT_EQ(after.Format({0, 30, 0, 0}), "12.30.00 de.");
    EXPECT_EQ(before.Format({12, 0, 0, 0}), "du. 12.00.00");
    for (const TimeFormat& f : {h24, after, before})
        for (TimeOfDay t : {TimeOfDay{0, 0, 0, 0}, TimeOfDay{12, 1, 2, 0}, TimeOfDay{23, 59, 59, 0}})
            EXPECT_EQ(Parsed(f, f.Format(t)), t) << f.Format(t);
}

TEST(TimeFormat, ReadsPartsDesignatorsAndBlanksAndRejectsTheRest) {
    TimeFormat h24, after = TwelveHour(false);
    EXPECT_EQ(Parsed(h24, "8"), (TimeOfDay{8, 0, 0, 0}));
    EXPECT_EQ(Parsed(h24, " 8 : 05 : 09 "), (TimeOfDay{8, 5, 9, 0}));
    EXPECT_EQ(Parsed(h24, "8:05:09.250"), (TimeOfDay{8, 5, 9, 250}));
    EXPECT_EQ(Parsed(h24, "8:15 pm"), (TimeOfDay{20, 15, 0, 0}));
    EXPECT_EQ(Parsed(after, "DU. 8.05"), (TimeOfDay{20, 5, 0, 0}));  // either side, any case
    EXPECT_EQ(Parsed(after, "12.00 AM"), (TimeOfDay{0, 0, 0, 0}));
    EXPECT_EQ(Parsed(after, "08.05.09,250 de."), (TimeOfDay{8, 5, 9, 250}));
    for (const char* text : {"", "25:00:00", "24:00", "8:60", "8:00:60", "8:00:00.1000", "8:", "8.00",
                             "2024.05.01 8:00:00", "8:00:00 x", "0:30 pm", "13:00 pm", "pm 1:00 pm"})
        EXPECT_EQ(Parsed(h24, text), kRejected) << '"' << text << '"';
}

TEST(TimeFormat, RegionalValuesComeFromTheLocaleAndCanBeReplaced) {
    TimeFormat us =
        TimeFormat::FromLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT));
    EXPECT_EQ(us.Format({20, 5, 0, 0}), "8:05:00 " + us.pm);
    TimeFormat hu =
        TimeFormat::FromLocale(MAKELCID(MAKELANGID(LANG_HUNGARIAN, SUBLANG_DEFAULT), SORT_DEFAULT));
    EXPECT_EQ(hu.Format({20, 5, 0, 0}), "20:05:00");

    SetRegionalTimeFormat(TwelveHour(true));
    EXPECT_EQ(RegionalTimeFormat().Format({13, 0, 0, 0}), "du. 01.00.00");
    ReloadRegionalTimeFormat();
    EXPECT_EQ(RegionalTimeFormat().Format({13, 0, 0, 0}), TimeFormat::FromLocale().Format({13, 0, 0, 0}));
}

}  // namespace
}  // namespace pelvane
