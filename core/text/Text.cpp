#include "core/text/Text.h"

#include "core/net/Address.h"

#include <cstring>
#include <utility>

CText::CText(const char* source, std::vector<std::string> args)
    : m_source(source)
{
    m_args.reserve(args.size());
    for (std::string& arg : args)
        m_args.push_back(Verbatim(ShownAddress(arg)));
}

CText CText::Nested(const char* source, std::vector<CText> args)
{
    CText nested(source);
    nested.m_args = std::move(args);
    return nested;
}

CText CText::Verbatim(std::string text)
{
    CText verbatim;
    verbatim.m_strVerbatim = std::move(text);
    return verbatim;
}

CText CText::Counted(const char* source, const char* englishOne, std::uint64_t count)
{
    CText counted(source);
    counted.m_one = englishOne;
    counted.m_count = count;
    return counted;
}

bool CText::IsEmpty() const
{
    return m_source ? *m_source == '\0' : m_strVerbatim.empty();
}

std::string CText::English() const
{
    if (!m_source)
        return m_strVerbatim;
    std::vector<std::string> args;
    args.reserve(m_args.size());
    for (const CText& arg : m_args)
        args.push_back(arg.English());
    if (!m_count)
        return Filled(m_source, args);
    // "1,000", as English groups digits.
    std::string number = std::to_string(*m_count);
    for (std::size_t i = number.size(); i > 3; i -= 3)
        number.insert(i - 3, 1, ',');
    std::string source = *m_count == 1 ? m_one : m_source;
    for (std::size_t at = 0; (at = source.find("%Ln", at)) != std::string::npos;
         at += number.size())
        source.replace(at, 3, number);
    return Filled(source, args);
}

std::string CText::Filled(const std::string& source, const std::vector<std::string>& args)
{
    std::string text;
    text.reserve(source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        const char next = i + 1 < source.size() ? source[i + 1] : '\0';
        if (source[i] == '%' && next >= '1' && next <= '9') {
            const auto index = static_cast<std::size_t>(next - '1');
            if (index < args.size()) {
                text += args[index];
                ++i;
                continue;
            }
        }
        text += source[i];
    }
    return text;
}

bool CText::operator==(const CText& other) const
{
    const bool sameSource = m_source == other.m_source
        || (m_source && other.m_source && std::strcmp(m_source, other.m_source) == 0);
    return sameSource && m_count == other.m_count && m_args == other.m_args
        && m_strVerbatim == other.m_strVerbatim;
}
