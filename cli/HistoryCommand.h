#pragma once

#include "cli/Command.h"
#include "core/history/PostHistory.h"
#include "core/history/PostLogEntry.h"

#include <optional>
#include <string>

// quillpost --history: the post log, oldest first, one line an entry; with --page, every time
// one page is in it, newest first. It only reads: a log that is not there yet prints nothing
// (CSV: its header), and one that cannot be read is left as it is, never made or migrated.
class CHistoryCommand : public CCommand
{
    Q_DECLARE_TR_FUNCTIONS(CHistoryCommand)

public:
    using Time = CPostHistory::Time;

    // "7d", "12h" and "30m" back from now, or a UTC date "2026-12-01" or time
    // "2026-12-01T10:00:00Z"; none for anything else.
    static std::optional<Time> SinceOf(const QString& text, Time now);

    CHistoryCommand(const char* name, const CCommandSettings& settings);

    QList<QCommandLineOption> Options() const override;
    CHelp Help() const override;
    bool Take(const QCommandLineParser& parser, QString& error) override;
    // The entries from since on of the user's own log.
    int Run() override;

private:
    // The entries from since on of the log at path, or the page's.
    int Read(const std::string& path);
    template <class Record> void Write(const Record& record);
    QString TextLine(const CPostLogEntry& entry) const;
    QString TextLine(const CPageEvent& event) const;
    // The outcome, in a column as wide as the widest, and the status with the service's words.
    QString OutcomeText(const CPostLogEntry& entry) const;
    // Collects output and writes it in pieces; false once some could not be written.
    bool Out(const std::string& bytes, bool flush = false);

    std::optional<Time> m_since;
    // As given: the log reads it as NormalAddress does.
    std::optional<std::string> m_page;
    std::string m_strPending;
};
