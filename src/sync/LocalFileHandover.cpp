#include "LocalFileHandover.h"

#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

struct State {
    std::mutex mutex;
    std::condition_variable changed;
    bool mainClaim = false;
    const void* threadOwner = nullptr;
    int threadsWaiting = 0;
    double longestMainWait = 0;
};

State& state()
{
    static State s;
    return s;
}

} // namespace

namespace LocalFileHandover {

void claimForMain()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.mainClaim = true;
}

bool waitForMain(int maxWaitMSecs)
{
    State& s = state();
    std::unique_lock lock(s.mutex);
    s.mainClaim = true;
    if (!s.threadOwner)
        return true;
    QElapsedTimer timer;
    timer.start();
    const bool free = s.changed.wait_for(lock, std::chrono::milliseconds(maxWaitMSecs),
                                         [&s] { return s.threadOwner == nullptr; });
    s.longestMainWait = std::max(s.longestMainWait, timer.nsecsElapsed() / 1e6);
    return free;
}

void releaseFromMain()
{
    State& s = state();
    {
        std::lock_guard lock(s.mutex);
        s.mainClaim = false;
    }
    s.changed.notify_all();
}

bool mainClaims()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.mainClaim;
}

void acquireForThread(const void* owner)
{
    State& s = state();
    std::unique_lock lock(s.mutex);
    ++s.threadsWaiting;
    s.changed.wait(lock, [&s, owner] { return s.threadOwner == owner || (!s.mainClaim && !s.threadOwner); });
    --s.threadsWaiting;
    s.threadOwner = owner;
}

void releaseFromThread(const void* owner)
{
    State& s = state();
    {
        std::lock_guard lock(s.mutex);
        if (s.threadOwner != owner)
            return;
        s.threadOwner = nullptr;
    }
    s.changed.notify_all();
}

bool threadHolds(const void* owner)
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return owner && s.threadOwner == owner;
}

bool threadWaiting()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.threadsWaiting > 0;
}

bool anyThreadHolds()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.threadOwner != nullptr;
}

double longestMainWaitMSecs()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.longestMainWait;
}

void resetStatistics()
{
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.longestMainWait = 0;
}

} // namespace LocalFileHandover
