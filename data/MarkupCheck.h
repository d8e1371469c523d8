#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The checks a document's text passes before pugixml parses it, and the check on the
// names the cursor writes.
namespace MarkupCheck {

// What pugixml lets through of XML that is not well-formed, or reads differently from
// other tools: several attributes of one name, "<" in an attribute value, undeclared
// entities, a bare "&", references to characters XML does not allow, text outside the
// root, a late declaration, "--" in a comment. One pass, no recursion; wherever the
// markup is broken in another way the scan gives up and leaves the fault to the parser.
struct MarkupFault
{
    std::size_t offset = 0;
    std::string reason; // empty when none was found
};

MarkupFault FindMarkupFault(std::string_view text);

// "line L, column C" of a byte offset, both counted from 1 (columns in bytes).
std::string Place(std::string_view text, std::size_t offset);

// Enough of XML's Name rule that nothing written can break the markup around it.
bool IsValidName(const std::string& name);

} // namespace MarkupCheck
