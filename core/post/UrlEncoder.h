#pragma once

#include <array>
#include <string>

// The one percent-encoding of the program: every byte of the style's set becomes "%" and two
// hex digits, every other byte stays as it is.
class CUrlEncoder
{
public:
    enum class Style
    {
        // A form value: a fixed set of characters, every control byte, the blank, every byte
        // from 0x7B up and every byte with the high bit set, in upper-case digits. A blank is
        // "%20", never "+".
        FormValue,
        // A path as libcurl escapes one it is handed to escape: all but letters, digits,
        // "-._~" and "/", in lower-case digits.
        Path,
    };

    explicit CUrlEncoder(Style style = Style::FormValue);
    virtual ~CUrlEncoder();

    std::string Encode(std::string text) const;
    // Appends the encoding of text to out, without a temporary.
    void AppendEncoded(std::string& out, const std::string& text) const;

    // Of a form value.
    static std::string EscapeChar(char c);
    static std::string ToHex(char c);
    static bool NeedsEscape(char c);

private:
    const std::array<bool, 256>& m_escaped;
    const char* m_digits;
};
