#include "core/source/SourceEntries.h"

#include <functional>
#include <utility>

namespace {

constexpr std::size_t FirstSlots = 1024;
// A slot's upper half holds hash bits, its lower half a position + 1.
constexpr std::uint64_t HashBits = 0xFFFFFFFF00000000u;

std::uint64_t Held(std::uint64_t hash)
{
    return hash & HashBits;
}

std::size_t Position(std::uint64_t slot)
{
    return static_cast<std::size_t>(slot & ~HashBits) - 1;
}

// Where a slot holding these hash bits goes first.
std::size_t Home(std::uint64_t held, std::size_t mask)
{
    return static_cast<std::size_t>(held >> 32) & mask;
}

} // namespace

CSourceEntries::CSourceEntries(std::size_t maxCount, std::size_t maxBytes)
    : m_maxCount(maxCount)
    , m_maxBytes(maxBytes)
{
}

CSourceEntries::Added CSourceEntries::Add(
    std::string_view address, std::optional<std::int64_t> modified)
{
    if (m_slots.empty())
        m_slots.assign(FirstSlots, 0);
    const std::uint64_t hash = std::hash<std::string_view>()(address);
    const std::size_t slot = Find(address, hash);
    if (m_slots[slot] != 0) {
        std::optional<std::int64_t>& date = m_entries[Position(m_slots[slot])].m_modified;
        if (modified && (!date || *modified > *date))
            date = modified;
        return Added::Known;
    }
    const std::size_t bytes = address.size() + EntryBytes;
    if (m_entries.size() >= m_maxCount || bytes > m_maxBytes - m_bytes)
        return Added::Full;
    m_entries.push_back(CSourceEntry{std::string(address), modified});
    m_bytes += bytes;
    m_slots[slot] = Held(hash) | m_entries.size();
    if (m_entries.size() * 2 > m_slots.size())
        Grow();
    return Added::New;
}

std::size_t CSourceEntries::Find(std::string_view address, std::uint64_t hash) const
{
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = Home(Held(hash), mask);; slot = (slot + 1) & mask) {
        const std::uint64_t held = m_slots[slot];
        if (held == 0
            || ((held & HashBits) == Held(hash)
                && m_entries[Position(held)].m_strAddress == address))
            return slot;
    }
}

// A slot's place comes from the hash bits it holds, so no address is hashed again.
void CSourceEntries::Grow()
{
    std::vector<std::uint64_t> slots(m_slots.size() * 2, 0);
    const std::size_t mask = slots.size() - 1;
    for (const std::uint64_t held : m_slots) {
        if (held == 0)
            continue;
        std::size_t slot = Home(held, mask);
        while (slots[slot] != 0)
            slot = (slot + 1) & mask;
        slots[slot] = held;
    }
    m_slots = std::move(slots);
}

std::vector<CSourceEntry> CSourceEntries::Take()
{
    m_slots.clear();
    m_bytes = 0;
    return std::move(m_entries);
}
