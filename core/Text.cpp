#include "core/Text.h"

#include <cstring>
#include <utility>

CText::CText(const char* source, std::vector<std::string> args)
    : m_source(source)
    , m_args(std::move(args))
{
}

CText CText::Verbatim(std::string text)
{
    CText verbatim;
    verbatim.m_args.push_back(std::move(text));
    return verbatim;
}

bool CText::IsEmpty() const
{
    return m_source ? *m_source == '\0' : m_args.empty() || m_args.front().empty();
}

std::string CText::English() const
{
    if (!m_source)
        return m_args.empty() ? std::string() : m_args.front();
    return Filled(m_source);
}

std::string CText::Filled(const std::string& source) const
{
    std::string text;
    text.reserve(source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        const char next = i + 1 < source.size() ? source[i + 1] : '\0';
        if (source[i] == '%' && next >= '1' && next <= '9') {
            const auto index = static_cast<std::size_t>(next - '1');
            if (index < m_args.size()) {
                text += m_args[index];
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
    return sameSource && m_args == other.m_args;
}
