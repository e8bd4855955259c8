// The thread is never joined and its state never freed: at exit it may still be inside a
// sound server's library, and the process must end without waiting for it. Nothing here
// has a static destructor that could run under it.
#include "mci/worker.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

struct Worker {
    std::mutex lock;
    std::condition_variable wake, idle;
    std::deque<std::function<void()>> jobs;
    bool busy = false;

    void Loop()
    {
        std::unique_lock<std::mutex> hold(lock);
        for (;;) {
            wake.wait(hold, [this] { return !jobs.empty(); });
            std::function<void()> job = std::move(jobs.front());
            jobs.pop_front();
            busy = true;
            hold.unlock();
            job();
            job = nullptr;  // what it holds goes here, not under the lock
            hold.lock();
            busy = false;
            if (jobs.empty())
                idle.notify_all();
        }
    }
};

Worker* TheWorker()
{
    static Worker* const worker = [] {
        auto* w = new Worker;
        std::thread([w] { w->Loop(); }).detach();
        return w;
    }();
    return worker;
}

}  // namespace

void WorkerRun(std::function<void()> job)
{
    Worker* w = TheWorker();
    {
        std::lock_guard<std::mutex> hold(w->lock);
        w->jobs.push_back(std::move(job));
    }
    w->wake.notify_one();
}

void WorkerFinish()
{
    Worker* w = TheWorker();
    std::unique_lock<std::mutex> hold(w->lock);
    w->idle.wait(hold, [w] { return w->jobs.empty() && !w->busy; });
}
