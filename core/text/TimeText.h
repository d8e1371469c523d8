#pragma once

#include "core/text/Text.h"

#include <chrono>
#include <string>

// Where the program writes times: ISO 8601 in UTC for other programs and file names, and local
// time for people.

enum class IsoPrecision
{
    // "2026-12-08T13:45:07.123Z"
    Milliseconds,
    // "2026-12-08T13:45:07Z"
    Seconds,
    // "2026-12-08"
    Day,
};

// Floored to the precision, so a time before 1970 still counts its milliseconds forward from
// its second. Empty for a time the calendar cannot hold.
std::string IsoUtc(std::chrono::system_clock::time_point time,
    IsoPrecision precision = IsoPrecision::Milliseconds);

// "8 Dec 2026 14:02" in local time: English as it stands, and as the user's language writes a
// time once translated (CResultText::Translated).
CText LocalTime(std::chrono::system_clock::time_point time);
// "2026-12-08 14:02:07" in local time, where the second matters (how long a list is held).
std::string LocalStamp(std::chrono::system_clock::time_point time);
// "14:02" in local time.
std::string LocalClock(std::chrono::system_clock::time_point time);
