#include "tests/support/CsvReader.h"

std::optional<CsvRows> ReadCsv(const std::string& text)
{
    CsvRows rows;
    std::vector<std::string> row;
    std::string field;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '"') {
            for (++i;; ++i) {
                if (i >= text.size())
                    return std::nullopt;
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"')
                        ++i;
                    else
                        break;
                }
                field += text[i];
            }
            ++i;
        } else {
            while (i < text.size() && text[i] != ',' && text[i] != '\r') {
                if (text[i] == '"' || text[i] == '\n')
                    return std::nullopt;
                field += text[i++];
            }
        }
        row.push_back(std::move(field));
        field.clear();
        if (text.compare(i, 2, "\r\n") == 0) {
            rows.push_back(std::move(row));
            row.clear();
            i += 2;
        } else if (i < text.size() && text[i] == ',') {
            ++i;
        } else {
            return std::nullopt;
        }
    }
    if (!row.empty())
        return std::nullopt;
    return rows;
}
