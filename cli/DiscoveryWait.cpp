#include "cli/DiscoveryWait.h"

#include "cli/StopSignals.h"
#include "core/site/SiteDiscovery.h"
#include "core/system/WorkerThread.h"

#include <QEventLoop>

#include <atomic>
#include <thread>

CDiscovery CDiscoveryWait::Discover(const std::string& site, CStopSignals& signals)
{
    std::atomic<bool> stop = false;
    QEventLoop loop;
    QObject::connect(&signals, &CStopSignals::Stopped, &loop, [&stop] { stop = true; });
    CDiscovery found;
    std::thread worker = StartWorkerThread([&] {
        found = CSiteDiscovery(CDiscoverySettings(), &stop).Discover(site);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    return found;
}
