#include "runs/RunListLock.h"

#include "runs/ListHolderText.h"

CRunListLock::CRunListLock()
    : m_strFolder(CListLock::UserFolder())
{
}

CRunListLock::~CRunListLock() = default;

QString CRunListLock::Hold(const std::string& listPath)
{
    // The window's own runs share the lock it holds.
    if (m_lock)
        return QString();
    auto lock = std::make_unique<CListLock>(m_strFolder, listPath);
    std::string reason;
    switch (lock->TryTake(CListLock::Window, reason)) {
    case CListLock::Outcome::Taken:
        m_lock = std::move(lock);
        return QString();
    case CListLock::Outcome::Failed:
        // No lock can be had (no folder for it is known): the runs go on as they did before
        // there were locks, rather than never.
        return QString();
    case CListLock::Outcome::Busy:
        break;
    }
    //: %1 names the run, as "the command line (process 4242, since 2026-12-08 14:45:07)"
    return tr("This list is being posted by %1: try again once it has ended.")
        .arg(CListHolderText::Of(*lock));
}

void CRunListLock::Release()
{
    m_lock.reset();
}
