#pragma once

#include "core/system/ListLock.h"

#include <QCoreApplication>
#include <QString>

#include <memory>
#include <string>
#include <utility>

// The lock the window holds on its list while its runs post, as the command line does while
// it posts a list: the window's runs share it, and another program's run keeps them from
// starting.
class CRunListLock
{
    Q_DECLARE_TR_FUNCTIONS(CRunListLock)

public:
    // The locks are in the user's own folder for them.
    CRunListLock();
    ~CRunListLock();

    // Where the locks that keep runs of one list apart are, when a test gives its own.
    void SetFolder(std::string folder) { m_strFolder = std::move(folder); }

    // Takes the lock of the list at listPath for runs about to start, unless it is held
    // already. Empty when they may start; otherwise why not, for the user.
    QString Hold(const std::string& listPath);
    // Lets go of the lock: nothing of the runs is on the wire any more.
    void Release();

private:
    std::string m_strFolder;
    std::unique_ptr<CListLock> m_lock;
};
