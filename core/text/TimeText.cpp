#include "core/text/TimeText.h"

#include <cstdio>
#include <ctime>

namespace {

using Clock = std::chrono::system_clock;

// The time's calendar fields, in UTC or in local time; false when it has none.
bool Fields(Clock::time_point time, bool local, std::tm& fields)
{
    const std::time_t whole = static_cast<std::time_t>(
        std::chrono::floor<std::chrono::seconds>(time.time_since_epoch()).count());
    if (!local)
        return gmtime_r(&whole, &fields) != nullptr;
    // TZ may have changed since the last look.
    tzset();
    return localtime_r(&whole, &fields) != nullptr;
}

std::string Formatted(Clock::time_point time, bool local, const char* format)
{
    std::tm fields{};
    char text[64];
    if (!Fields(time, local, fields) || std::strftime(text, sizeof text, format, &fields) == 0)
        return std::string();
    return text;
}

// Marked for translation one by one, as a language may write them otherwise.
const char* const Months[] = {
    QT_TRANSLATE_NOOP("Quillpost", "Jan"),
    QT_TRANSLATE_NOOP("Quillpost", "Feb"),
    QT_TRANSLATE_NOOP("Quillpost", "Mar"),
    QT_TRANSLATE_NOOP("Quillpost", "Apr"),
    //: The short name of the month of May, in a time: "8 May 2026 14:02"
    QT_TRANSLATE_NOOP("Quillpost", "May"),
    QT_TRANSLATE_NOOP("Quillpost", "Jun"),
    QT_TRANSLATE_NOOP("Quillpost", "Jul"),
    QT_TRANSLATE_NOOP("Quillpost", "Aug"),
    QT_TRANSLATE_NOOP("Quillpost", "Sep"),
    QT_TRANSLATE_NOOP("Quillpost", "Oct"),
    QT_TRANSLATE_NOOP("Quillpost", "Nov"),
    QT_TRANSLATE_NOOP("Quillpost", "Dec"),
};

} // namespace

std::string IsoUtc(Clock::time_point time, IsoPrecision precision)
{
    if (precision == IsoPrecision::Day)
        return Formatted(time, false, "%Y-%m-%d");
    const std::string whole = Formatted(time, false, "%Y-%m-%dT%H:%M:%S");
    if (whole.empty() || precision == IsoPrecision::Seconds)
        return whole.empty() ? whole : whole + 'Z';
    using namespace std::chrono;
    const auto millis = floor<milliseconds>(time.time_since_epoch());
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%03dZ",
        static_cast<int>((millis - floor<seconds>(millis)).count()));
    return whole + fraction;
}

CText LocalTime(Clock::time_point time)
{
    std::tm fields{};
    if (!Fields(time, true, fields))
        return CText();
    char clock[8];
    std::snprintf(clock, sizeof clock, "%02d:%02d", fields.tm_hour, fields.tm_min);
    //: A time: %1 the day of the month, %2 the month's short name, %3 the year, %4 the hour
    //: and minute: "8 Dec 2026 14:02"
    return CText::Nested(QT_TRANSLATE_NOOP("Quillpost", "%1 %2 %3 %4"),
        {CText::Verbatim(std::to_string(fields.tm_mday)), CText(Months[fields.tm_mon]),
            CText::Verbatim(std::to_string(fields.tm_year + 1900)), CText::Verbatim(clock)});
}

std::string LocalStamp(Clock::time_point time)
{
    return Formatted(time, true, "%Y-%m-%d %H:%M:%S");
}

std::string LocalClock(Clock::time_point time)
{
    return Formatted(time, true, "%H:%M");
}
