#pragma once

#include "core/history/PostLogEntry.h"
#include "core/post/PostResult.h"

#include <QCoreApplication>
#include <QString>

// The texts a post's result shows in, made in this one place, so that they read and translate
// alike wherever they show.
class CResultText
{
    Q_DECLARE_TR_FUNCTIONS(CResultText)

public:
    // "404 Not Found · 0.42 s", "200 OK · 3 addresses, 1 removed, 2 left out · 0.41 s",
    // "200 OK · Thanks for the ping. · 0.31 s", "200 OK · moved to
    // https://new.example/ping · 0.31 s", "Connection refused · 15.00 s", "Not posted ·
    // Unknown body kind “x”": one line of at most SummaryLength characters. A longer one is
    // cut before its seconds, which stay, at a whole character, and marked "…".
    static QString Summary(const CPostResult& result);
    // What the service said in full, libcurl's message, the final address, the start of the
    // answer and the first LeftOutShown addresses the page checks left out with their
    // reasons, as rich text in which everything that came from outside is escaped.
    static QString Details(const CPostResult& result);
    // A text that came from outside as it may be shown: control characters (C0, DEL and
    // C1), the bidirectional overrides, isolates and marks, and the byte order mark as
    // spaces, so that it can neither break a line nor turn what follows it around.
    // keepLines spares line feeds and tabs.
    static QString Printable(QString text, bool keepLines = false);

    // Characters, not UTF-16 units: a surrogate pair counts once.
    static constexpr qsizetype SummaryLength = 200;
    static constexpr std::size_t LeftOutShown = 20;
    // A text of the core's in the user's language.
    static QString Translated(const CText& text);
    // "1,000": grouped as the program's language writes it, whatever the system's locale.
    static QString Count(std::size_t number);
    // "0.42", to two places, with the program's language's decimal point.
    static QString Seconds(double seconds);
    // "0:12", "3:12", "1:02:03".
    static QString Clock(qint64 milliseconds);
    // What became of a page in a post, as people read it: "sent", "removed", "baseline",
    // "left out".
    static QString Fate(AddressFate fate);
    // A reason as the post log keeps it, in English as the command line prints it, in the
    // program's language where it is one of the program's own: "Connection refused", "not
    // found", "moved to https://…", "could not check: 503 Service Unavailable". Addresses
    // and the server's words stay as they are.
    static QString Logged(const QString& reason);
};
