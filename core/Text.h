#pragma once

#include <string>
#include <vector>

// lupdate finds the texts core/ writes for the user by this marker, although core/ links no
// Qt; the window translates them in the context "Quillpost".
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif

// A text for the user: an English source with places %1, %2... and what goes in them. The
// window translates the source and fills in the places; output meant for other programs takes
// English() as it is. A text that came from outside (a server's words) is verbatim: it is
// shown as it is and never translated.
class CText
{
public:
    CText() = default;
    // source: a literal marked with QT_TRANSLATE_NOOP("Quillpost", ...).
    explicit CText(const char* source, std::vector<std::string> args = {});
    static CText Verbatim(std::string text);

    // Null for a verbatim text.
    const char* Source() const { return m_source; }
    const std::vector<std::string>& Args() const { return m_args; }
    bool IsEmpty() const;
    // The source with its places filled in, or the verbatim text.
    std::string English() const;
    // Fills the places of a source, English or translated, with this text's arguments: "%1"
    // to "%9", each by its number, in one pass, so that an argument holding "%2" stays as it
    // is.
    std::string Filled(const std::string& source) const;

    bool operator==(const CText& other) const;
    bool operator!=(const CText& other) const { return !(*this == other); }

private:
    const char* m_source = nullptr;
    std::vector<std::string> m_args;
};
