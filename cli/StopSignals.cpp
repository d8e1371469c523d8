#include "cli/StopSignals.h"

#include "cli/Command.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <iterator>

#include <fcntl.h>
#include <unistd.h>

namespace {

const int Signals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

// Written by the signal handler, read on the object's thread.
int g_pipe[2] = {-1, -1};
struct sigaction g_oldActions[std::size(Signals)];

void OnSignal(int number)
{
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

CStopSignals::CStopSignals()
{
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        if (Take())
            Q_EMIT Stopped();
    });
    struct sigaction action = {};
    action.sa_handler = &OnSignal;
    // One handler at a time, so that the numbers reach the pipe in the order the signals
    // were taken; otherwise a second one taken at once would run first, on top of the first.
    sigemptyset(&action.sa_mask);
    for (const int number : Signals)
        sigaddset(&action.sa_mask, number);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (std::size_t i = 0; i < std::size(Signals); ++i)
        ::sigaction(Signals[i], &action, &g_oldActions[i]);
}

CStopSignals::~CStopSignals()
{
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < std::size(Signals); ++i)
        ::sigaction(Signals[i], &g_oldActions[i], nullptr);
    m_notifier.reset();
    for (int& fd : g_pipe) {
        ::close(fd);
        fd = -1;
    }
}

bool CStopSignals::Take()
{
    char bytes[16];
    bool any = false;
    for (ssize_t got; g_pipe[0] >= 0 && (got = ::read(g_pipe[0], bytes, sizeof bytes)) > 0;) {
        // The first signal read is the first that came.
        if (!m_status)
            m_status = CCommand::SignalStatus(static_cast<unsigned char>(bytes[0]));
        any = true;
    }
    return any;
}
