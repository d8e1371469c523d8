#pragma once

#include <QString>

#include <functional>

// The one way the program hands a web address to the user's browser. Tests swap the handler
// to see which address would open without starting a browser.
class CUrlOpener
{
public:
    // Returns whether the address was handed over; callers ignore it, since a failure to
    // open shows nothing.
    using Handler = std::function<bool(const QString& address)>;

    static bool Open(const QString& address);

    // Installs a handler and returns the one it replaces; an empty handler restores the
    // desktop's own.
    static Handler SetHandler(Handler handler);

    // Replaces the handler for the guard's lifetime.
    class CScope
    {
    public:
        explicit CScope(Handler handler);
        ~CScope();
        CScope(const CScope&) = delete;
        CScope& operator=(const CScope&) = delete;

    private:
        Handler m_previous;
    };
};
