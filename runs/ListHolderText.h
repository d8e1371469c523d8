#pragma once

#include "core/system/ListLock.h"

#include <QCoreApplication>
#include <QString>

// Who holds a list's lock, in words for the user: "the command line (process 4242, since
// 2026-12-08 14:45:07)", or "another run" when its file does not say.
class CListHolderText
{
    Q_DECLARE_TR_FUNCTIONS(CListHolderText)

public:
    static QString Of(const CListLock& lock);
    static QString Describe(const CListLock::CHolder& holder);
};
