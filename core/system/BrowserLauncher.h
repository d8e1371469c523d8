#pragma once

struct CPostRequest;

// Opens a browser window that performs a POST and shows the answer. The program's one
// starts the browser helper program; core/ only knows this seam, so it stays free of Qt.
class CBrowserLauncher
{
public:
    virtual ~CBrowserLauncher();

    // Starts the navigation and returns at once; nothing waits for the page.
    virtual void Navigate(const CPostRequest& request) = 0;
};
