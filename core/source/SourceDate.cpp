#include "core/source/SourceDate.h"

#include "core/text/AsciiText.h"

#include <array>
#include <cctype>

namespace {

// Reads a date's text from left to right; every step fails without moving on a mismatch.
class CCursor
{
public:
    explicit CCursor(std::string_view text)
        : m_text(TrimmedBlanks(text))
    {
    }

    bool AtEnd() const { return m_text.empty(); }
    char Peek() const { return m_text.empty() ? '\0' : m_text.front(); }
    bool PeekDigit() const { return std::isdigit(static_cast<unsigned char>(Peek())) != 0; }
    bool PeekLetter() const { return std::isalpha(static_cast<unsigned char>(Peek())) != 0; }

    bool Skip(char ch)
    {
        if (Peek() != ch)
            return false;
        m_text.remove_prefix(1);
        return true;
    }

    bool SkipAnyOf(std::string_view chars)
    {
        return !m_text.empty() && chars.find(m_text.front()) != std::string_view::npos
            && Skip(m_text.front());
    }

    bool SkipBlanks()
    {
        const std::size_t before = m_text.size();
        while (!m_text.empty() && IsBlank(m_text.front()))
            m_text.remove_prefix(1);
        return m_text.size() != before;
    }

    // Between min and max digits; how many in digits, when asked.
    bool Number(int& value, std::size_t min, std::size_t max, std::size_t* digits = nullptr)
    {
        std::size_t count = 0;
        int read = 0;
        while (count < max && count < m_text.size()
            && std::isdigit(static_cast<unsigned char>(m_text[count]))) {
            read = read * 10 + (m_text[count] - '0');
            ++count;
        }
        if (count < min)
            return false;
        value = read;
        if (digits)
            *digits = count;
        m_text.remove_prefix(count);
        return true;
    }

    // Digits, as many as there are; a fraction of a second is dropped.
    bool Digits()
    {
        std::size_t count = 0;
        while (count < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[count])))
            ++count;
        m_text.remove_prefix(count);
        return count > 0;
    }

    std::string_view Word()
    {
        std::size_t count = 0;
        while (count < m_text.size() && std::isalpha(static_cast<unsigned char>(m_text[count])))
            ++count;
        const std::string_view word = m_text.substr(0, count);
        m_text.remove_prefix(count);
        return word;
    }

    // A comment in parentheses, as RFC 2822 allows after a date ("+0000 (UTC)").
    bool SkipComment()
    {
        if (Peek() != '(')
            return false;
        int depth = 0;
        std::size_t i = 0;
        for (; i < m_text.size(); ++i) {
            depth += m_text[i] == '(' ? 1 : m_text[i] == ')' ? -1 : 0;
            if (depth == 0)
                break;
        }
        if (depth != 0)
            return false;
        m_text.remove_prefix(i + 1);
        return true;
    }

private:
    std::string_view m_text;
};

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> Days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : Days[static_cast<std::size_t>(month - 1)];
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
}

struct CDateParts
{
    int m_year = 0;
    int m_month = 1;
    int m_day = 1;
    int m_hour = 0;
    int m_minute = 0;
    int m_second = 0;
    // East of UTC, in minutes.
    int m_offset = 0;
};

// A leap second (:60) is the next minute's first.
std::optional<std::int64_t> Instant(const CDateParts& parts)
{
    if (parts.m_month < 1 || parts.m_month > 12 || parts.m_day < 1
        || parts.m_day > DaysInMonth(parts.m_year, parts.m_month) || parts.m_hour > 23
        || parts.m_minute > 59 || parts.m_second > 60)
        return std::nullopt;
    return DaysFromCivil(parts.m_year, parts.m_month, parts.m_day) * 86400 + parts.m_hour * 3600
        + parts.m_minute * 60 + parts.m_second - parts.m_offset * 60;
}

// "+02:00", "-0530", "+02".
bool NumericOffset(CCursor& cursor, int& offset)
{
    const bool east = cursor.Peek() == '+';
    if (!cursor.SkipAnyOf("+-"))
        return false;
    int hours = 0;
    int minutes = 0;
    if (!cursor.Number(hours, 2, 2))
        return false;
    const bool colon = cursor.Skip(':');
    if ((colon || cursor.PeekDigit()) && !cursor.Number(minutes, 2, 2))
        return false;
    if (hours > 23 || minutes > 59)
        return false;
    offset = (east ? 1 : -1) * (hours * 60 + minutes);
    return true;
}

bool SameWord(std::string_view word, std::string_view name)
{
    if (word.size() != name.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(word[i])) != name[i])
            return false;
    }
    return true;
}

// The index of a name written as its first three letters or in full, in any case; -1 if
// none.
template <std::size_t Count>
int NameIndex(std::string_view word, const std::array<std::string_view, Count>& names)
{
    for (std::size_t i = 0; i < Count; ++i) {
        if (SameWord(word, names[i].substr(0, 3)) || SameWord(word, names[i]))
            return static_cast<int>(i);
    }
    return -1;
}

constexpr std::array<std::string_view, 12> MonthNames = {"january", "february", "march", "april",
    "may", "june", "july", "august", "september", "october", "november", "december"};
constexpr std::array<std::string_view, 7> DayNames
    = {"monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday"};

// RFC 2822's zone names. Military letters, and any other name, are -0000 as it says: their
// meaning is not known for sure.
bool ZoneName(std::string_view name, int& offset)
{
    struct CZone
    {
        std::string_view name;
        int hours;
    };
    static constexpr std::array<CZone, 8> Zones = {{{"est", -5}, {"edt", -4}, {"cst", -6},
        {"cdt", -5}, {"mst", -7}, {"mdt", -6}, {"pst", -8}, {"pdt", -7}}};
    if (name.empty())
        return false;
    offset = 0;
    for (const CZone& zone : Zones) {
        if (SameWord(name, zone.name))
            offset = zone.hours * 60;
    }
    return true;
}

} // namespace

std::optional<std::int64_t> CSourceDate::FromW3c(std::string_view text)
{
    CCursor cursor(text);
    CDateParts parts;
    if (!cursor.Number(parts.m_year, 4, 4))
        return std::nullopt;
    bool wholeDate = false;
    if (cursor.Skip('-')) {
        if (!cursor.Number(parts.m_month, 2, 2))
            return std::nullopt;
        if (cursor.Skip('-')) {
            if (!cursor.Number(parts.m_day, 2, 2))
                return std::nullopt;
            wholeDate = true;
        }
    }
    // A time goes only with a whole date.
    if (wholeDate && cursor.SkipAnyOf("Tt")) {
        if (!cursor.Number(parts.m_hour, 2, 2) || !cursor.Skip(':')
            || !cursor.Number(parts.m_minute, 2, 2))
            return std::nullopt;
        if (cursor.Skip(':')) {
            if (!cursor.Number(parts.m_second, 2, 2))
                return std::nullopt;
            if (cursor.Skip('.') && !cursor.Digits())
                return std::nullopt;
        }
        if (!cursor.SkipAnyOf("Zz") && !cursor.AtEnd() && !NumericOffset(cursor, parts.m_offset))
            return std::nullopt;
    }
    if (!cursor.AtEnd())
        return std::nullopt;
    return Instant(parts);
}

std::optional<std::int64_t> CSourceDate::FromRfc2822(std::string_view text)
{
    const std::optional<std::int64_t> instant = FromRfc2822Only(text);
    return instant ? instant : FromW3c(text);
}

// [day-of-week ","] day month year hour ":" minute [":" second] [zone] [comment]
std::optional<std::int64_t> CSourceDate::FromRfc2822Only(std::string_view text)
{
    CCursor cursor(text);
    CDateParts parts;
    if (cursor.PeekLetter()) {
        if (NameIndex(cursor.Word(), DayNames) < 0)
            return std::nullopt;
        cursor.Skip(',');
        cursor.SkipBlanks();
    }
    // Blanks between the parts of the date, or the hyphens of RFC 850's "06-May-24".
    const auto separator = [&cursor] { return cursor.SkipBlanks() || cursor.Skip('-'); };
    if (!cursor.Number(parts.m_day, 1, 2) || !separator())
        return std::nullopt;
    parts.m_month = NameIndex(cursor.Word(), MonthNames) + 1;
    std::size_t yearDigits = 0;
    if (parts.m_month == 0 || !separator() || !cursor.Number(parts.m_year, 2, 4, &yearDigits))
        return std::nullopt;
    // As RFC 2822 reads an obsolete year: two digits are 1950 to 2049, three count from 1900.
    if (yearDigits == 2)
        parts.m_year += parts.m_year < 50 ? 2000 : 1900;
    else if (yearDigits == 3)
        parts.m_year += 1900;
    if (!cursor.SkipBlanks() || !cursor.Number(parts.m_hour, 1, 2) || !cursor.Skip(':')
        || !cursor.Number(parts.m_minute, 2, 2))
        return std::nullopt;
    if (cursor.Skip(':') && !cursor.Number(parts.m_second, 2, 2))
        return std::nullopt;
    cursor.SkipBlanks();
    // A date without a zone is read as UTC, as one with an unknown zone name is.
    if (cursor.PeekLetter()) {
        if (!ZoneName(cursor.Word(), parts.m_offset))
            return std::nullopt;
    } else if ((cursor.Peek() == '+' || cursor.Peek() == '-')
        && !NumericOffset(cursor, parts.m_offset)) {
        return std::nullopt;
    }
    cursor.SkipBlanks();
    cursor.SkipComment();
    if (!cursor.AtEnd())
        return std::nullopt;
    return Instant(parts);
}
