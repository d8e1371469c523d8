#pragma once

#include <string>

// The form encoding of parameter values: a fixed set of characters, every control
// byte, the blank, every byte from 0x7B up and every byte with the high bit set become
// "%" and two upper-case hex digits. A blank is "%20", never "+".
class CUrlEncoder
{
public:
    virtual ~CUrlEncoder();

    std::string Encode(std::string text) const;
    // Appends the encoding of text to out, without a temporary.
    void AppendEncoded(std::string& out, const std::string& text) const;

    static std::string EscapeChar(char c);
    static std::string ToHex(char c);
    static bool NeedsEscape(char c);
};
