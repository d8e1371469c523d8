#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The dates sitemaps and feeds give, as whole seconds since 1970-01-01 UTC, so that two
// dates compare as instants whatever zone each was written in. A text that is no such date
// is none: the page counts as one without a date.
class CSourceDate
{
public:
    // A sitemap's lastmod (W3C date and time) or an Atom updated (RFC 3339): "2024",
    // "2024-05", "2024-05-06", "2024-05-06T07:08Z", "2024-05-06T07:08:09.5+02:00". A bare
    // date is its midnight UTC; a time without a zone is read as UTC, since many sitemaps
    // leave it out and the same text must give the same instant run after run.
    static std::optional<std::int64_t> FromW3c(std::string_view text);
    // An RSS pubDate as RFC 2822 reads RFC 822 dates: "Mon, 06 May 2024 07:08:09 GMT",
    // with two-digit years, zone names and military letters. A feed that writes its
    // pubDate as a W3C date is read as that.
    static std::optional<std::int64_t> FromRfc2822(std::string_view text);

private:
    static std::optional<std::int64_t> FromRfc2822Only(std::string_view text);
};
