#pragma once

#include <cstdint>
#include <optional>
#include <string>

// One page a site's sitemap or feed lists: its address, and when the source says the page
// last changed, in whole seconds since 1970-01-01 UTC. A date the source does not give, or
// gives in a form that cannot be read, is none.
struct CSourceEntry
{
    std::string m_strAddress;
    std::optional<std::int64_t> m_modified;
};
