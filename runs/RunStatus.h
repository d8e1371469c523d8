#pragma once

#include "core/text/Text.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstddef>

struct CPostResult;

// The status line of the runs since none was running, summed when several run at once: the
// outcomes so far, the time taken, and a word once on the record of what was sent.
class CRunLog;
class CRunPreparation;

class CRunStatus : public QObject
{
    Q_OBJECT

public:
    // How far the runs are, for a progress bar, in the status line's counts: the posts and
    // targets decided of those known so far. Growing: a target's source or key file is still
    // read, so more posts may join.
    struct CProgress
    {
        std::size_t m_done = 0;
        std::size_t m_known = 0;
        bool m_bGrowing = false;
    };

    // dry: the runs only work out what they would post, and say so when they end.
    explicit CRunStatus(bool dry, QObject* parent = nullptr);

    // A run starts while none lasts: the counts and the clock start again.
    void Start();
    // Stop ended the runs, or a load of the list did.
    void SetStopped() { m_bStopped = true; }
    // The last run ended: its time is taken.
    void End();
    // A post, or a target that posted nothing, is decided.
    void Count(const CPostResult& result);
    // Says what the record tells: a damaged file and a new one started, or one that cannot be
    // used, and what a run could not record or log.
    void Follow(const CRunPreparation& preparation, const CRunLog& log);
    // What the runs could not record or log, in the user's language; empty when all was.
    QString NotRecorded() const;
    // outstanding: the posts and preparations that have yet to report.
    CProgress Progress(std::size_t outstanding, bool growing) const;
    // The progress of the runs, or how the last ones ended; empty before the first.
    QString Text(bool running, std::size_t outstanding) const;

Q_SIGNALS:
    // The text may read otherwise: a second of a run went by, or the record told something.
    void Changed();

private:
    // Targets with nothing to post, and a word on the record of what was sent, once.
    QString WithMore(QString text) const;

    const bool m_bDry;
    bool m_bStarted = false;
    bool m_bStopped = false;
    std::size_t m_succeeded = 0;
    std::size_t m_failed = 0;
    // Unchanged targets, and those whose first run recorded their site: neither succeeded
    // nor failed.
    std::size_t m_unchanged = 0;
    std::size_t m_recorded = 0;
    CText m_recordNotice;
    CText m_notRecorded;
    QElapsedTimer m_clock;
    qint64 m_elapsedMs = 0;
    // Keeps the clock of the status going while a run lasts.
    QTimer m_clockTimer;
};
