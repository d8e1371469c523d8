#include "runs/RunStatus.h"

#include "core/post/PostResult.h"
#include "runs/ResultText.h"
#include "runs/RunLog.h"
#include "runs/RunPreparation.h"

CRunStatus::CRunStatus(bool dry, QObject* parent)
    : QObject(parent)
    , m_bDry(dry)
{
    m_clockTimer.setInterval(1000);
    connect(&m_clockTimer, &QTimer::timeout, this, &CRunStatus::Changed);
}

void CRunStatus::Start()
{
    m_bStarted = true;
    m_bStopped = false;
    m_succeeded = m_failed = m_unchanged = m_recorded = 0;
    m_recordNotice = m_notRecorded = CText();
    m_clock.start();
    m_clockTimer.start();
}

void CRunStatus::End()
{
    m_elapsedMs = m_clock.elapsed();
    m_clockTimer.stop();
}

void CRunStatus::Count(const CPostResult& result)
{
    if (result.m_outcome == PostOutcome::Unchanged)
        ++m_unchanged;
    else if (result.m_outcome == PostOutcome::Baseline)
        ++m_recorded;
    else
        ++(result.Succeeded() || result.m_outcome == PostOutcome::WouldPost ? m_succeeded
                                                                            : m_failed);
}

void CRunStatus::Follow(const CRunPreparation& preparation, const CRunLog& log)
{
    connect(&preparation, &CRunPreparation::RecordNotice, this, [this](const CText& notice) {
        m_recordNotice = notice;
        Q_EMIT Changed();
    });
    connect(&log, &CRunLog::Recorded, this, [this](const CText& notRecorded) {
        if (!notRecorded.IsEmpty())
            m_recordNotice = m_notRecorded = notRecorded;
        Q_EMIT Changed();
    });
}

QString CRunStatus::NotRecorded() const
{
    return m_notRecorded.IsEmpty() ? QString() : CResultText::Translated(m_notRecorded);
}

CRunStatus::CProgress CRunStatus::Progress(std::size_t outstanding, bool growing) const
{
    CProgress progress;
    progress.m_done = m_succeeded + m_failed + m_unchanged + m_recorded;
    progress.m_known = progress.m_done + outstanding;
    progress.m_bGrowing = growing;
    return progress;
}

QString CRunStatus::WithMore(QString text) const
{
    if (m_unchanged != 0)
        //: After the status line, the targets that had nothing to post: "… · 3 unchanged"
        text = tr("%1 · %2 unchanged").arg(text, CResultText::Count(m_unchanged));
    if (m_recorded != 0)
        //: After the status line, the targets whose first run recorded their site's
        //: addresses and posted nothing: "… · 1 recorded"
        text = tr("%1 · %2 recorded").arg(text, CResultText::Count(m_recorded));
    if (!m_recordNotice.IsEmpty())
        text = tr("%1 · %2").arg(text, CResultText::Translated(m_recordNotice));
    return text;
}

QString CRunStatus::Text(bool running, std::size_t outstanding) const
{
    if (!m_bStarted)
        return QString();
    if (running) {
        const CProgress progress = Progress(outstanding, false);
        //: The status line while a run lasts: "3 of 10 done · 2 succeeded · 1 failed · 0:12"
        return WithMore(
            tr("%1 of %2 done · %3 succeeded · %4 failed · %5")
                .arg(CResultText::Count(progress.m_done), CResultText::Count(progress.m_known),
                    CResultText::Count(m_succeeded), CResultText::Count(m_failed),
                    CResultText::Clock(m_clock.elapsed())));
    }
    if (m_bDry)
        //: The status line after a dry run, which posted nothing: "Dry run: 3 would post, 1
        //: would fail"
        return WithMore(tr("Dry run: %1 would post, %2 would fail")
                            .arg(CResultText::Count(m_succeeded), CResultText::Count(m_failed)));
    //: The status line after a run that Stop ended; %3 is its time taken, as "0:12"
    const QString stoppedText = tr("Stopped: %1 succeeded, %2 failed in %3");
    //: The status line after a run; %3 is its time taken, as "0:12"
    const QString doneText = tr("Done: %1 succeeded, %2 failed in %3");
    return WithMore((m_bStopped ? stoppedText : doneText)
                        .arg(CResultText::Count(m_succeeded), CResultText::Count(m_failed),
                            CResultText::Clock(m_elapsedMs)));
}
