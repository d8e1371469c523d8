#include "tests/support/ResultSummary.h"

std::string Summary(const CPostResult& result)
{
    const std::string reason = result.m_reason.English();
    if (result.m_status == 0)
        return reason;
    return reason.empty() ? std::to_string(result.m_status)
                          : std::to_string(result.m_status) + " " + reason;
}
