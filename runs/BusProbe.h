#pragma once

#include <QDeadlineTimer>
#include <QString>

// Whether a D-Bus bus answers before a deadline, asked as a client begins: connect to its
// socket and ask to be let in. Qt's own connection waits as long as the bus takes, for good
// on one that takes connections and never answers (a stopped daemon), and the process's end
// waits for that wait; so it is only made to a bus that has just answered here.
namespace BusProbe {

enum class Answer
{
    Answered,
    // Nothing listens there, or no address could be tried.
    NoBus,
    // It took the connection, or would not, and said nothing before the deadline.
    Mute,
};

struct CResult
{
    Answer m_answer = Answer::NoBus;
    // Of the addresses asked, the one that answered, to connect to.
    QString m_strAddress;
};

// The bus that desktop notifications go to: $DBUS_SESSION_BUS_ADDRESS, or the user's bus in
// $XDG_RUNTIME_DIR; empty when there is neither.
QString SessionBusAddress();

// addresses: D-Bus addresses, ";" between them, tried in turn until one takes the
// connection. Only unix sockets (path= or abstract=) are tried: a connection to another
// kind could not be kept to the deadline.
CResult Ask(const QString& addresses, const QDeadlineTimer& deadline);

} // namespace BusProbe
