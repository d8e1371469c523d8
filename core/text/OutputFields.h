#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <utility>
#include <variant>
#include <vector>

// One record of the output for other programs (a result, a post-log entry, a key file's
// verdict), made of its fields in order, and the one writer of CSV and JSON lines: a record's
// type supplies its fields and nothing else. The keys and their order are the interface; the
// CSV's columns follow them.
//
// Every text is UTF-8, bytes that are not shown as U+FFFD. CSV is as RFC 4180 has it, each
// line ending in CRLF; a field that starts with "=", "+", "-", "@", a tab or a carriage return
// gets a "'" before it, so that a spreadsheet shows it rather than runs it as a formula. JSON
// is one compact object a line, ending in "\n".
class COutputFields
{
public:
    COutputFields& Text(const char* key, const std::string& text);
    // What a service or a failure said, cut to MaxWords characters, the last one "…".
    COutputFields& Words(const char* key, const std::string& text);
    // An address, with any password as "***".
    COutputFields& Address(const char* key, const std::string& url);
    // Addresses, each masked: an array in JSON, one field in CSV, apart by spaces.
    COutputFields& Addresses(const char* key, const std::vector<std::string>& urls);
    COutputFields& Flag(const char* key, bool value);
    COutputFields& Number(const char* key, long long value);
    // To the millisecond: more digits would only be noise.
    COutputFields& Seconds(const char* key, double seconds);
    // ISO 8601 in UTC with milliseconds.
    COutputFields& Time(const char* key, std::chrono::system_clock::time_point time);

    std::string CsvHeader() const;
    std::string CsvLine() const;
    std::string JsonLine() const;

    static constexpr std::size_t MaxWords = 1000;

private:
    using CValue = std::variant<std::string, bool, long long, double, std::vector<std::string>>;

    COutputFields& Add(const char* key, CValue value);

    std::vector<std::pair<const char*, CValue>> m_fields;
};
