#pragma once

#include <string>

// One browser-window POST: where to go, the exact body bytes and the extra header lines
// ("Name: value\r\n" each).
struct CBrowserPost
{
    std::string m_strUrl;
    std::string m_postData;
    std::string m_strHeaders;
};

// Opens a browser window that performs a POST and shows the answer. The program's one
// starts the browser helper program; core/ only knows this seam, so it stays free of Qt.
class CBrowserLauncher
{
public:
    virtual ~CBrowserLauncher();

    // Starts the navigation and returns at once; nothing waits for the page.
    virtual void Navigate(const CBrowserPost& post) = 0;
};
