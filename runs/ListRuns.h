#pragma once

#include <QObject>
#include <QString>

// Runs over a target list, as the command line drives them: Submit All's, which post, or a
// dry run's, which only work out what would be posted.
class CListRuns : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts a run over every row, after setting every row back to "not posted".
    virtual void SubmitAll() = 0;
    // Ends every run: what is under way ends as "Stopped".
    virtual void Stop() = 0;
    virtual bool IsRunning() const = 0;
    // A run has ended, and what it sent is still being written to the record and the post
    // log (which may wait for another process to let go of them).
    virtual bool IsRecording() const { return false; }
    // What the runs since none was running could not record or log, in the user's language;
    // empty when all was. The status line says it too.
    virtual QString NotRecorded() const { return QString(); }
    // The progress of the runs, or how the last ones ended; empty before the first.
    // Runs at once are summed.
    virtual QString StatusText() const = 0;

Q_SIGNALS:
    // StatusText or IsRunning may have changed.
    void StatusChanged();
    // The row shows what it came to, or one post of it that is decided.
    void RowDecided(int row);
};
