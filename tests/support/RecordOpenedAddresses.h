#pragma once

#include "ui/UrlOpener.h"

#include <QStringList>

// While it lives, the addresses the program would open are appended to a list instead of
// reaching a browser.
class RecordOpenedAddresses : public CUrlOpener::Scope
{
public:
    explicit RecordOpenedAddresses(QStringList& list)
        : Scope([&list](const QString& address) {
            list << address;
            return true;
        })
    {
    }
};
