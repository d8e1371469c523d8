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

// As QString::arg fills them: "%1" to "%9", each place by its number.
std::string CText::English() const
{
    if (!m_source)
        return m_args.empty() ? std::string() : m_args.front();
    std::string text;
    for (const char* p = m_source; *p; ++p) {
        if (p[0] == '%' && p[1] >= '1' && p[1] <= '9') {
            const auto index = static_cast<std::size_t>(p[1] - '1');
            if (index < m_args.size()) {
                text += m_args[index];
                ++p;
                continue;
            }
        }
        text += *p;
    }
    return text;
}

bool CText::operator==(const CText& other) const
{
    const bool sameSource = m_source == other.m_source
        || (m_source && other.m_source && std::strcmp(m_source, other.m_source) == 0);
    return sameSource && m_args == other.m_args;
}
