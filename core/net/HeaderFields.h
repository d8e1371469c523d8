#pragma once

#include <string>
#include <vector>

// One header of an answer, as it came: several of one name stay several.
struct CHeaderField
{
    std::string m_strName;
    std::string m_strValue;
};
using CHeaderFields = std::vector<CHeaderField>;
