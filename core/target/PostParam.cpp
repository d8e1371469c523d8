#include "core/target/PostParam.h"

#include <utility>

CPostParam::CPostParam(std::string name, std::string value)
    : m_strName(std::move(name))
    , m_strValue(std::move(value))
{
}

CPostParam::~CPostParam() = default;

bool CPostParam::operator==(const CPostParam& other) const
{
    return m_strName == other.m_strName && m_strValue == other.m_strValue;
}
