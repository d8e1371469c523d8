#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// lupdate finds the texts core/ writes for the user by this marker, although core/ links no
// Qt; the window translates them in the context "Quillpost".
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif
#ifndef QT_TRANSLATE_N_NOOP
#define QT_TRANSLATE_N_NOOP(context, text) text
#endif

// A text for the user: an English source with places %1, %2... and what goes in them. The
// window translates the source and fills in the places; output meant for other programs takes
// English() as it is. A text that came from outside (a server's words) is verbatim: it is
// shown as it is and never translated. What goes in a place may be a text of its own, which
// is translated with the one around it.
class CText
{
public:
    CText() = default;
    // source: a literal marked with QT_TRANSLATE_NOOP("Quillpost", ...). An address in a place
    // is shown with its password as "***" (ShownAddress), so no text can show a secret.
    explicit CText(const char* source, std::vector<std::string> args = {});
    // source with texts in its places: "Key file %1 not read: %2" around "Connection refused".
    static CText Nested(const char* source, std::vector<CText> args);
    static CText Verbatim(std::string text);
    // A text that counts: source (marked with QT_TRANSLATE_N_NOOP) has %Ln in the place of
    // count and is the English for every count but one, for which englishOne is. A
    // translation has the forms its language needs.
    static CText Counted(const char* source, const char* englishOne, std::uint64_t count);

    // Null for a verbatim text.
    const char* Source() const { return m_source; }
    // What goes in the places; a verbatim text's one text.
    const std::vector<CText>& Args() const { return m_args; }
    // What a counted text counts.
    const std::optional<std::uint64_t>& Count() const { return m_count; }
    bool IsEmpty() const;
    // The source with its places filled in, or the verbatim text.
    std::string English() const;
    // The places of a source, English or translated, filled with args: "%1" to "%9", each by
    // its number, in one pass, so that an argument holding "%2" stays as it is.
    static std::string Filled(const std::string& source, const std::vector<std::string>& args);

    bool operator==(const CText& other) const;
    bool operator!=(const CText& other) const { return !(*this == other); }

private:
    const char* m_source = nullptr;
    // A counted text's English for one.
    const char* m_one = nullptr;
    std::optional<std::uint64_t> m_count;
    std::vector<CText> m_args;
    // A verbatim text's words, or a place's that is no text of its own.
    std::string m_strVerbatim;
};
