#pragma once

#include "cli/SubmitCommand.h"
#include "core/PostHistory.h"
#include "core/PostLogEntry.h"

#include <QCoreApplication>
#include <QString>

#include <optional>
#include <string>

// quillpost --history [--since=DURATION|DATE] [--format=text|json|csv]: the post log, oldest
// first, one line an entry. It only reads: a log that is not there yet prints nothing (CSV:
// its header), and one that cannot be read is left as it is, never made or migrated.
class CHistoryCommand
{
    Q_DECLARE_TR_FUNCTIONS(CHistoryCommand)

public:
    using Time = CPostHistory::Time;

    // "7d", "12h" and "30m" back from now, or a UTC date "2026-12-01" or time
    // "2026-12-01T10:00:00Z"; none for anything else.
    static std::optional<Time> SinceOf(const QString& text, Time now);

    explicit CHistoryCommand(CSubmitCommand::Format format);

    // The entries from since on of the user's own log, or of the file at path.
    int Run(std::optional<Time> since);
    int Run(const std::string& path, std::optional<Time> since);

    // For other programs, in English: the keys and their order are the interface.
    static std::string CsvHeader();
    static std::string CsvLine(const CPostLogEntry& entry);
    static std::string JsonLine(const CPostLogEntry& entry);

private:
    QString TextLine(const CPostLogEntry& entry) const;
    QString OutcomeText(PostOutcome outcome) const;
    // Collects output and writes it in pieces; false once some could not be written.
    bool Out(const std::string& bytes, bool flush = false);

    const CSubmitCommand::Format m_format;
    std::string m_strPending;
    bool m_bLost = false;
};
