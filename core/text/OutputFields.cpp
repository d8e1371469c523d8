#include "core/text/OutputFields.h"

#include "core/net/Address.h"
#include "core/text/TimeText.h"
#include "core/text/Utf8.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <string_view>

namespace {

// At most MaxWords characters of text, the last one "…" when there were more.
std::string Cut(std::string text)
{
    if (FirstCharacters(text, COutputFields::MaxWords).size() == text.size())
        return text;
    return std::string(FirstCharacters(text, COutputFields::MaxWords - 1)) + "\xE2\x80\xA6";
}

std::string CsvField(std::string text)
{
    // A spreadsheet runs a cell that starts so as a formula, or may; a quote keeps it text.
    if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
        text.insert(0, 1, '\'');
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string CsvText(const std::vector<std::string>& texts)
{
    std::string joined;
    for (const std::string& text : texts)
        joined += (joined.empty() ? "" : " ") + text;
    return joined;
}

struct CCsvValue
{
    std::string operator()(const std::string& text) const { return text; }
    std::string operator()(bool value) const { return value ? "true" : "false"; }
    std::string operator()(long long value) const { return std::to_string(value); }
    // As JSON writes it, so both say the same.
    std::string operator()(double value) const { return nlohmann::json(value).dump(); }
    std::string operator()(const std::vector<std::string>& texts) const { return CsvText(texts); }
};

std::string CsvLineOf(const std::vector<std::string>& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i)
        line += (i ? "," : "") + CsvField(fields[i]);
    return line + "\r\n";
}

} // namespace

COutputFields& COutputFields::Add(const char* key, CValue value)
{
    m_fields.emplace_back(key, std::move(value));
    return *this;
}

COutputFields& COutputFields::Text(const char* key, const std::string& text)
{
    return Add(key, ShownUtf8(text));
}

COutputFields& COutputFields::Words(const char* key, const std::string& text)
{
    return Add(key, Cut(ShownUtf8(text)));
}

COutputFields& COutputFields::Address(const char* key, const std::string& url)
{
    return Text(key, MaskPassword(url));
}

COutputFields& COutputFields::Addresses(const char* key, const std::vector<std::string>& urls)
{
    std::vector<std::string> shown;
    shown.reserve(urls.size());
    for (const std::string& url : urls)
        shown.push_back(ShownUtf8(MaskPassword(url)));
    return Add(key, std::move(shown));
}

COutputFields& COutputFields::Flag(const char* key, bool value)
{
    return Add(key, value);
}

COutputFields& COutputFields::Number(const char* key, long long value)
{
    return Add(key, value);
}

COutputFields& COutputFields::Seconds(const char* key, double seconds)
{
    return Add(key, std::round(seconds * 1000) / 1000);
}

COutputFields& COutputFields::Time(const char* key, std::chrono::system_clock::time_point time)
{
    return Add(key, IsoUtc(time));
}

std::string COutputFields::CsvHeader() const
{
    std::vector<std::string> keys;
    keys.reserve(m_fields.size());
    for (const auto& [key, value] : m_fields)
        keys.emplace_back(key);
    return CsvLineOf(keys);
}

std::string COutputFields::CsvLine() const
{
    std::vector<std::string> values;
    values.reserve(m_fields.size());
    for (const auto& [key, value] : m_fields)
        values.push_back(std::visit(CCsvValue(), value));
    return CsvLineOf(values);
}

std::string COutputFields::JsonLine() const
{
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    for (const auto& [key, value] : m_fields)
        std::visit([&object, key = key](const auto& held) { object[key] = held; }, value);
    return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + '\n';
}
