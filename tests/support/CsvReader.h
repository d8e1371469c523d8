#pragma once

#include <optional>
#include <string>
#include <vector>

using CsvRows = std::vector<std::vector<std::string>>;

// A strict reader of RFC 4180 text: every record ends in CRLF, a quote appears only around
// a whole field or doubled inside one. Anything else is no CSV at all.
std::optional<CsvRows> ReadCsv(const std::string& text);
