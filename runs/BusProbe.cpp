#include "runs/BusProbe.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace BusProbe {

namespace {

struct CSocketAddress
{
    sockaddr_un m_address = {};
    socklen_t m_length = 0;
};

// The socket of one "unix:path=..." or "unix:abstract=..." address; none for another kind,
// or one that only a server listens on (tmpdir=, dir=).
std::optional<CSocketAddress> UnixSocketOf(const QString& address)
{
    const QString transport = QStringLiteral("unix:");
    if (!address.startsWith(transport))
        return std::nullopt;
    for (const QString& pair : address.mid(transport.size()).split(QLatin1Char(','))) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        const QString key = pair.left(equals);
        // Values escape their bytes as %XX.
        const QByteArray value = QByteArray::fromPercentEncoding(pair.mid(equals + 1).toUtf8());
        const bool abstract = key == QLatin1String("abstract");
        if (equals < 0 || (!abstract && key != QLatin1String("path")))
            continue;
        CSocketAddress socket;
        const std::size_t offset = abstract ? 1 : 0;
        // A path needs room for its terminating zero; an abstract name has none.
        if (value.isEmpty()
            || offset + std::size_t(value.size()) >= sizeof socket.m_address.sun_path)
            return std::nullopt;
        socket.m_address.sun_family = AF_UNIX;
        std::memcpy(
            socket.m_address.sun_path + offset, value.constData(), std::size_t(value.size()));
        socket.m_length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset
            + std::size_t(value.size()) + (abstract ? 0 : 1));
        return socket;
    }
    return std::nullopt;
}

// poll's answer for fd, or 0 once the deadline has passed.
int WaitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    for (;;) {
        const qint64 left = deadline.remainingTime();
        if (left == 0)
            return 0;
        pollfd watched = {fd, events, 0};
        const int ready = ::poll(
            &watched, 1, left < 0 ? -1 : static_cast<int>(std::min<qint64>(left, INT_MAX)));
        if (ready >= 0 || errno != EINTR)
            return ready;
    }
}

// The start of a client's conversation: a zero byte, then the request to be known by the
// user id the kernel tells the bus.
std::string AuthRequest()
{
    const std::string uid = std::to_string(::getuid());
    std::string hex;
    for (const unsigned char digit : uid) {
        const char* const digits = "0123456789abcdef";
        hex += digits[digit >> 4];
        hex += digits[digit & 15];
    }
    return std::string(1, '\0') + "AUTH EXTERNAL " + hex + "\r\n";
}

Answer AskSocket(const CSocketAddress& socket, const QDeadlineTimer& deadline, bool& listening)
{
    listening = false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return Answer::NoBus;
    Answer answer = Answer::NoBus;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&socket.m_address), socket.m_length) != 0) {
        // A queue of connections so full that it takes no more: whoever listens is not
        // taking them.
        listening = errno == EAGAIN;
        answer = listening ? Answer::Mute : Answer::NoBus;
    } else {
        listening = true;
        // A new connection takes a line at once.
        const std::string request = AuthRequest();
        if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL)
            == static_cast<ssize_t>(request.size())) {
            answer = Answer::Mute;
            while (WaitFor(fd, POLLIN, deadline) > 0) {
                char reply[64];
                const ssize_t read = ::recv(fd, reply, sizeof reply, 0);
                if (read < 0 && (errno == EAGAIN || errno == EINTR))
                    continue;
                // Any word is an answer (OK, or the ways it would take instead); a closed
                // connection is none.
                answer = read > 0 ? Answer::Answered : Answer::NoBus;
                break;
            }
        }
    }
    ::close(fd);
    return answer;
}

} // namespace

QString SessionBusAddress()
{
    const QString session = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (!session.isEmpty())
        return session;
    // Where the user's bus listens when it is the session's; no bus is started here.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!QDir::isAbsolutePath(runtime))
        return QString();
    return QStringLiteral("unix:path=")
        + QString::fromLatin1(
            QFile::encodeName(runtime + QStringLiteral("/bus")).toPercentEncoding("/", "~"));
}

CResult Ask(const QString& addresses, const QDeadlineTimer& deadline)
{
    for (const QString& address : addresses.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const std::optional<CSocketAddress> socket = UnixSocketOf(address);
        bool listening = false;
        const Answer answer = socket ? AskSocket(*socket, deadline, listening) : Answer::NoBus;
        // The first that takes the connection is the bus, whatever it says.
        if (listening)
            return {answer, address};
    }
    return {};
}

} // namespace BusProbe
