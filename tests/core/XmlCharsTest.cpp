#include "core/text/XmlChars.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

struct Piece
{
    const char* name;
    std::string bytes;
    bool allowed;
};

// Each at either edge of a word the search takes whole, and in every lane of one.
const Piece Pieces[] = {
    {"Nul", "\0"s, false},
    {"LastControl", "\x1F", false},
    {"Escape", "\x1B", false},
    {"LoneContinuation", "\x80", false},
    {"Latin1", "\xE9", false},
    {"NotUtf8", "\xFF", false},
    {"LeadWithoutContinuation", "\xC3", false},
    {"NonCharacter", "\xEF\xBF\xBF", false},
    {"Blank", " ", true},
    {"Delete", "\x7F", true},
    {"TabAndLineBreaks", "\t\r\n", true},
    {"TwoByteCharacter", "\xC3\xA9", true},
    {"FourByteCharacter", "\xF0\x9F\x98\x80", true},
};

} // namespace

TEST(XmlChars, FindsTheFirstBadCharacterWhereverItStands)
{
    const std::string ascii = "abcdefghijklmnopqrstuvwxyz0123";
    for (const Piece& piece : Pieces) {
        for (const std::string& before : {""s, "\xC3\xA9"s}) {
            for (std::size_t at = 0; at <= 17; ++at) {
                const std::string text
                    = before + ascii.substr(0, at) + piece.bytes + ascii.substr(at);
                const std::size_t expected = piece.allowed ? std::string::npos : before.size() + at;
                EXPECT_EQ(FindBadXmlChar(text), expected)
                    << piece.name << " after " << before.size() + at << " bytes";
                // Only the bad character's bytes are replaced.
                if (!piece.allowed && piece.bytes.size() == 1) {
                    EXPECT_EQ(ToXmlChars(text),
                        before + ascii.substr(0, at) + "\xEF\xBF\xBD" + ascii.substr(at))
                        << piece.name;
                }
            }
        }
    }
}
