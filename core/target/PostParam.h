#pragma once

#include <string>

// One POST parameter: a name sent as it is and a raw value that is form-encoded
// only when a body is built. Any bytes are allowed in both.
class CPostParam
{
public:
    CPostParam() = default;
    CPostParam(std::string name, std::string value);
    CPostParam(const CPostParam& other) = default;
    CPostParam& operator=(const CPostParam& other) = default;
    CPostParam(CPostParam&& other) noexcept = default;
    CPostParam& operator=(CPostParam&& other) noexcept = default;
    virtual ~CPostParam();

    // Exact, byte-for-byte comparison of name and value.
    bool operator==(const CPostParam& other) const;
    bool operator!=(const CPostParam& other) const { return !(*this == other); }

    std::string m_strName;
    std::string m_strValue;
};
