#pragma once

#include "core/history/PostLogEntry.h"
#include "core/text/Text.h"

#include <QObject>

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

class CRunPreparation;
struct CPostResult;

// The post log of the runs that post: every post and every target that posted nothing, kept
// by run until the run ends, then handed to the worker to record (CRunPreparation::Worker),
// which tells afterwards what it could not.
class CRunLog : public QObject
{
    Q_OBJECT

public:
    explicit CRunLog(CRunPreparation& preparation, QObject* parent = nullptr);

    // A post's or a target's end. token: the record's note of the addresses the post carries,
    // by which the worker finds them for the log; 0 for none.
    void Add(std::uint64_t run, const CPostResult& result, std::uint64_t token = 0);
    // The run has ended: its entries go into the post log. False when it had none.
    bool End(std::uint64_t run);
    // Forgets the entries, and the writes not done yet: the window is closing, and the worker
    // writes what it has before it ends, with no one to tell.
    void Abort();
    // A run has ended, and what it sent is still being written.
    bool IsRecording() const { return m_recording != 0; }

Q_SIGNALS:
    // A run's entries are written; what could not be recorded or logged, empty when all was.
    void Recorded(const CText& notRecorded);

private:
    CRunPreparation& m_preparation;
    std::map<std::uint64_t, std::vector<CPostLogEntry>> m_entries;
    // Runs ended whose writes are not done yet.
    std::size_t m_recording = 0;
};
