#pragma once

#include <csignal>
#include <thread>
#include <utility>

// Blocks on this thread, while the object lives, every signal but the faults a thread makes
// itself (SIGSEGV, SIGABRT...), which stay with the thread that made them.
class CSignalMask
{
public:
    CSignalMask();
    ~CSignalMask();
    CSignalMask(const CSignalMask&) = delete;
    CSignalMask& operator=(const CSignalMask&) = delete;

private:
    sigset_t m_old;
};

// Starts one of the program's own threads with signals blocked, from its first instruction on,
// as are the threads libcurl starts from it. A signal sent to the program then reaches only the
// thread that started the program, where the handlers of a stop run one at a time: two stop
// signals sent one after the other cannot be taken on two threads at once, their numbers
// reaching the handlers' pipe in the wrong order.
template <typename... Args> std::thread StartWorkerThread(Args&&... args)
{
    const CSignalMask masked;
    return std::thread(std::forward<Args>(args)...);
}
