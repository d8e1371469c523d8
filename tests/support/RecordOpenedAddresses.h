#pragma once

#include "ui/UrlOpener.h"

#include <QStringList>

// While it lives, the addresses the program would open are kept here instead of reaching a
// browser. A test object keeps one for all its tests and clears it before each.
class RecordOpenedAddresses
{
public:
    RecordOpenedAddresses()
        : m_scope([this](const QString& address) {
            m_opened << address;
            return true;
        })
    {
    }

    const QStringList& Opened() const { return m_opened; }
    void Clear() { m_opened.clear(); }

private:
    QStringList m_opened;
    CUrlOpener::CScope m_scope;
};
