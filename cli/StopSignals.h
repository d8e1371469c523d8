#pragma once

#include <QObject>

#include <memory>
#include <optional>

class QSocketNotifier;

// SIGHUP, SIGINT, SIGQUIT and SIGTERM as a stop, while the object lives: the program then ends
// with 128 and the number of the first that came. Their handler only writes the number to a
// pipe, which a socket notifier watches on this thread; the same signal again ends the program
// at once, should the stop hang. One object at a time.
class CStopSignals : public QObject
{
    Q_OBJECT

public:
    CStopSignals();
    ~CStopSignals() override;

    // Takes the signals that came since the last look; true when there was one.
    bool Take();
    // The exit status of the first signal that came; none before one.
    std::optional<int> Status() const { return m_status; }

Q_SIGNALS:
    // A signal came (Take has been called for it).
    void Stopped();

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::optional<int> m_status;
};
