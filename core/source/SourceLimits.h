#pragma once

#include <cstddef>

// How much of a site's source (its sitemaps, indexes and feeds) is read. What lies beyond a
// limit is left out and noted, and the source is marked as cut; the notes name these
// defaults, which only tests lower.
struct CSourceLimits
{
    // Over all the files of one source.
    std::size_t m_maxAddresses = 200000;
    // The memory the addresses kept take (CSourceEntries counts it): this, not the count,
    // bounds what a source of long addresses takes, to about what 200,000 ordinary ones do.
    std::size_t m_maxAddressBytes = 64 * 1024 * 1024;
    // Unpacked, over all the files.
    std::size_t m_maxBytes = 100 * 1024 * 1024;
    std::size_t m_maxFiles = 1000;
    long m_maxReadMs = 10 * 60 * 1000;
    int m_maxIndexDepth = 3;

    // Of one file.
    std::size_t m_maxFileAddresses = 50000;
    std::size_t m_maxFileBytes = 50 * 1024 * 1024;

    // In characters, as the sitemap protocol has it: a longer address is left out.
    std::size_t m_maxAddressLength = 2048;
};
