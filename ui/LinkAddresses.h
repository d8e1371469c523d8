#pragma once

// The maker's web pages the program links to. The query part tells the servers which
// control the visitor came from; the pages are the same.
namespace LinkAddresses {

// The banner picture at the top of the main window.
inline constexpr char kBanner[] = "http://www.quillpost.example/?ref=banner";
// Every text link: the banner's product lines and the About box's two lines.
inline constexpr char kText[] = "http://www.quillpost.example/?ref=text";
// The "Download Now!" button: the advertised product's own page.
inline constexpr char kDownload[] = "http://www.quillpost.example/pro/?ref=download";

} // namespace LinkAddresses
