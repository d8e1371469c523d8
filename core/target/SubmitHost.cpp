#include "core/target/SubmitHost.h"

#include "core/post/UrlEncoder.h"

#include <algorithm>
#include <utility>

CSubmitHost::CSubmitHost()
    : m_cursor(m_params.cend())
{
}

CSubmitHost::~CSubmitHost()
{
    DeleteAllParams();
}

void CSubmitHost::AddParam(CPostParam param)
{
    m_params.push_back(std::move(param));
}

bool CSubmitHost::EditParam(CPostParam oldParam, CPostParam newParam)
{
    const auto match = std::find(m_params.begin(), m_params.end(), oldParam);
    if (match == m_params.end())
        return false;
    match->m_strName = std::move(newParam.m_strName);
    match->m_strValue = std::move(newParam.m_strValue);
    return true;
}

bool CSubmitHost::DeleteParam(CPostParam param)
{
    const auto match = std::find(m_params.begin(), m_params.end(), param);
    if (match == m_params.end())
        return false;
    // A cursor standing on the removed parameter would dangle; every walk starts anew
    // with GetFirstParam anyway, so park it at the end.
    if (m_cursor == match)
        m_cursor = m_params.cend();
    m_params.erase(match);
    return true;
}

void CSubmitHost::DeleteAllParams()
{
    m_params.clear();
    m_cursor = m_params.cend();
}

bool CSubmitHost::GetFirstParam(CPostParam& param)
{
    return GetFirstParam(m_cursor, param);
}

bool CSubmitHost::GetNextParam(CPostParam& param)
{
    return GetNextParam(m_cursor, param);
}

bool CSubmitHost::GetFirstParam(ParamPosition& pos, CPostParam& param) const
{
    pos = m_params.cbegin();
    return GetNextParam(pos, param);
}

bool CSubmitHost::GetNextParam(ParamPosition& pos, CPostParam& param) const
{
    if (pos == m_params.cend())
        return false;
    param = *pos;
    ++pos;
    return true;
}

std::string CSubmitHost::GetPostData() const
{
    const CUrlEncoder encoder;
    std::string body;
    ParamPosition pos;
    CPostParam param;
    bool first = true;
    for (bool more = GetFirstParam(pos, param); more; more = GetNextParam(pos, param)) {
        if (!first)
            body += '&';
        first = false;
        body += param.m_strName;
        body += '=';
        encoder.AppendEncoded(body, param.m_strValue);
    }
    return body;
}

std::unique_ptr<CSubmitHost> CSubmitHost::Copy() const
{
    auto copy = std::make_unique<CSubmitHost>();
    copy->m_strUrl = m_strUrl;
    copy->m_strBodyKind = m_strBodyKind;
    copy->m_strChanges = m_strChanges;
    copy->m_bCheckPages = m_bCheckPages;
    copy->m_strCheckUnknown = m_strCheckUnknown;
    ParamPosition pos;
    CPostParam param;
    for (bool more = GetFirstParam(pos, param); more; more = GetNextParam(pos, param))
        copy->AddParam(param);
    return copy;
}

std::optional<std::string> CSubmitHost::FirstValue(const std::string& name) const
{
    ParamPosition pos;
    CPostParam param;
    for (bool more = GetFirstParam(pos, param); more; more = GetNextParam(pos, param)) {
        if (param.m_strName == name)
            return param.m_strValue;
    }
    return std::nullopt;
}
