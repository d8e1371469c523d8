#include "runs/ListHolderText.h"

#include "core/text/TimeText.h"

#include <QDateTime>

#include <chrono>

QString CListHolderText::Of(const CListLock& lock)
{
    CListLock::CHolder holder;
    if (!lock.ReadHolder(holder))
        //: Who holds a list, when the lock does not say: "This list is being posted by another run"
        return tr("another run");
    return Describe(holder);
}

QString CListHolderText::Describe(const CListLock::CHolder& holder)
{
    QString side = QString::fromStdString(holder.m_strSide);
    if (holder.m_strSide == CListLock::Window)
        //: Who holds a list: "This list is being posted by the window (process 42, since ...)"
        side = tr("the window");
    else if (holder.m_strSide == CListLock::CommandLine)
        //: Who holds a list: "This list is being posted by the command line (process 42, since
        //: ...)"
        side = tr("the command line");
    // The lock keeps the time in UTC; the user reads it in their own.
    const QDateTime since
        = QDateTime::fromString(QString::fromStdString(holder.m_strSince), Qt::ISODate);
    const QString when = since.isValid()
        ? QString::fromStdString(LocalStamp(std::chrono::system_clock::time_point(
            std::chrono::milliseconds(since.toMSecsSinceEpoch()))))
        : QString::fromStdString(holder.m_strSince);
    //: Who holds a list: "the command line (process 4242, since 2026-12-08 14:45:07)"
    return tr("%1 (process %2, since %3)").arg(side, QString::number(holder.m_pid), when);
}
