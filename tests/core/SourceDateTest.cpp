#include "core/source/SourceDate.h"

#include <gtest/gtest.h>

#include <ctime>
#include <optional>
#include <string>

namespace {

// The expected instant by the C library's own reckoning, not ours.
std::int64_t Utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    std::tm parts = {};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    return static_cast<std::int64_t>(timegm(&parts));
}

struct DateCase
{
    const char* name;
    bool rss;
    const char* text;
    std::optional<std::int64_t> expected;
};

class SourceDateTest : public testing::TestWithParam<DateCase>
{
};

TEST_P(SourceDateTest, ReadsAsUtcInstant)
{
    const DateCase& row = GetParam();
    const auto read = row.rss ? CSourceDate::FromRfc2822(row.text) : CSourceDate::FromW3c(row.text);
    EXPECT_EQ(read, row.expected) << row.text;
}

const std::optional<std::int64_t> None;

INSTANTIATE_TEST_SUITE_P(Dates, SourceDateTest,
    testing::Values(DateCase{"YearOnly", false, "2024", Utc(2024, 1, 1)},
        DateCase{"YearMonth", false, "2024-02", Utc(2024, 2, 1)},
        DateCase{"LeapDay", false, "2024-02-29", Utc(2024, 2, 29)},
        DateCase{"NoLeapDay", false, "2023-02-29", None},
        DateCase{"CenturyLeapDay", false, "2000-02-29", Utc(2000, 2, 29)},
        DateCase{"CenturyNoLeapDay", false, "2100-02-29", None},
        DateCase{"MinutesZ", false, "2024-05-06T07:08Z", Utc(2024, 5, 6, 7, 8)},
        DateCase{"SecondsZ", false, "2024-05-06T07:08:09Z", Utc(2024, 5, 6, 7, 8, 9)},
        DateCase{
            "FractionEastOffset", false, "2024-05-06T07:08:09.999+02:00", Utc(2024, 5, 6, 5, 8, 9)},
        DateCase{
            "WestOffsetCrossesDay", false, "2024-05-06T20:00:00-05:30", Utc(2024, 5, 7, 1, 30)},
        DateCase{"LowerCase", false, "2024-05-06t07:08:09z", Utc(2024, 5, 6, 7, 8, 9)},
        DateCase{"Blanks", false, " 2024-05-06T07:08:09Z \n", Utc(2024, 5, 6, 7, 8, 9)},
        DateCase{"NoZoneIsUtc", false, "2024-05-06T07:08:09", Utc(2024, 5, 6, 7, 8, 9)},
        DateCase{"BeforeEpoch", false, "1969-12-31T23:59:59Z", -1},
        DateCase{"LeapSecond", false, "2016-12-31T23:59:60Z", Utc(2017, 1, 1)},
        DateCase{"Month13", false, "2024-13-01", None},
        DateCase{"Hour24", false, "2024-05-06T24:00Z", None},
        DateCase{"Minute60", false, "2024-05-06T07:60Z", None},
        DateCase{"ShortOffset", false, "2024-05-06T07:08+2:00", None},
        DateCase{"OneDigitParts", false, "2024-5-6", None},
        DateCase{"TwoDigitYear", false, "24-05-06", None},
        DateCase{"BlankForT", false, "2024-05-06 07:08Z", None},
        DateCase{"TimeWithoutDay", false, "2024-05T07:08Z", None},
        DateCase{"TrailingJunk", false, "2024-05-06T07:08:09Zjunk", None},
        DateCase{"Empty", false, "", None}, DateCase{"Words", false, "yesterday", None},
        DateCase{"Rfc822Gmt", true, "Mon, 06 May 2024 07:08:09 GMT", Utc(2024, 5, 6, 7, 8, 9)},
        DateCase{"NumericZone", true, "Mon, 06 May 2024 07:08:09 +0200", Utc(2024, 5, 6, 5, 8, 9)},
        DateCase{"NoDayNameNoSeconds", true, "6 May 2024 07:08 -0500", Utc(2024, 5, 6, 12, 8)},
        DateCase{"TwoDigitYearEdt", true, "Mon, 06 May 24 07:08:09 EDT", Utc(2024, 5, 6, 11, 8, 9)},
        DateCase{
            "TwoDigitYear1999Pst", true, "Thu, 06 May 99 07:08:09 PST", Utc(1999, 5, 6, 15, 8, 9)},
        DateCase{"ThreeDigitYear", true, "Mon, 06 May 124 07:08:09 UT", Utc(2024, 5, 6, 7, 8, 9)},
        DateCase{"FullNames", true, "Thursday, 06 June 2024 07:08:09 Z", Utc(2024, 6, 6, 7, 8, 9)},
        DateCase{"MilitaryIsUtc", true, "Mon, 06 may 2024 07:08:09 A", Utc(2024, 5, 6, 7, 8, 9)},
        DateCase{
            "UnknownZoneIsUtc", true, "Mon, 06 May 2024 07:08:09 CEST", Utc(2024, 5, 6, 7, 8, 9)},
        DateCase{
            "Comment", true, "Mon, 06 May 2024 07:08:09 +0000 (UTC)", Utc(2024, 5, 6, 7, 8, 9)},
        DateCase{"NoZone", true, "Mon, 06 May 2024 07:08:09", Utc(2024, 5, 6, 7, 8, 9)},
        DateCase{"NoComma", true, "Mon 06 May 2024 07:08:09 GMT", Utc(2024, 5, 6, 7, 8, 9)},
        DateCase{"Rfc850Hyphens", true, "06-May-24 07:08:09 GMT", Utc(2024, 5, 6, 7, 8, 9)},
        DateCase{"W3cInPubDate", true, "2024-05-06T07:08:09+01:00", Utc(2024, 5, 6, 6, 8, 9)},
        DateCase{"June31", true, "Mon, 31 Jun 2024 07:08:09 GMT", None},
        DateCase{"ForeignMonth", true, "Mon, 06 Mai 2024 07:08:09 GMT", None},
        DateCase{"UnknownDayName", true, "Funday, 06 May 2024 07:08:09 GMT", None},
        DateCase{"OneDigitMinute", true, "Mon, 06 May 2024 07:8:09 GMT", None},
        DateCase{"NoTime", true, "Mon, 06 May 2024", None},
        DateCase{"JunkAfterZone", true, "Mon, 06 May 2024 07:08:09 GMT x1", None}),
    [](const testing::TestParamInfo<DateCase>& info) { return std::string(info.param.name); });

} // namespace
