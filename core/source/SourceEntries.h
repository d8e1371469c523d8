#pragma once

#include "core/source/SourceEntry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The addresses a source lists, each once, in the order they first came, with the latest
// date any file gave them; at most maxCount of them, and maxBytes of memory, each address
// counted as its text and EntryBytes.
class CSourceEntries
{
public:
    enum class Added
    {
        New,
        // Listed before; its date is the later of the two.
        Known,
        // A new address, but maxCount are there already, or it would pass maxBytes: left out.
        Full,
    };

    // What keeping an address takes besides its text: its entry, its string's block on the
    // heap and its share of the index, each at its largest.
    static constexpr std::size_t EntryBytes = 96;

    CSourceEntries(std::size_t maxCount, std::size_t maxBytes);

    Added Add(std::string_view address, std::optional<std::int64_t> modified);
    std::size_t Size() const { return m_entries.size(); }
    std::vector<CSourceEntry> Take();

private:
    // The slot that holds the address, or the empty one where it would go.
    std::size_t Find(std::string_view address, std::uint64_t hash) const;
    void Grow();

    const std::size_t m_maxCount;
    const std::size_t m_maxBytes;
    std::size_t m_bytes = 0;
    std::vector<CSourceEntry> m_entries;
    // An open-addressing index over m_entries, at most half full: each slot is 0 when empty,
    // else the upper half of the address's hash over its entry's position + 1, so that
    // looking up a new address seldom reads an entry. No allocation for each address, and a
    // third of the memory a node for each would take.
    std::vector<std::uint64_t> m_slots;
};
