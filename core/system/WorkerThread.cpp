#include "core/system/WorkerThread.h"

#include <pthread.h>

CSignalMask::CSignalMask()
{
    sigset_t signals;
    sigfillset(&signals);
    for (const int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT, SIGSYS})
        sigdelset(&signals, fault);
    pthread_sigmask(SIG_BLOCK, &signals, &m_old);
}

CSignalMask::~CSignalMask()
{
    pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
}
