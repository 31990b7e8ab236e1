#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace trevalo {

// Work handed from a search's worker thread to the thread that waits for the search, for a
// host without an event loop of its own (RunHost::runOnHostThread).
class HostQueue {
public:
    // Called from any thread.
    void post(std::function<void()> fn) {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(fn));
        }
        ready_.notify_one();
    }

    // Runs, in order, everything handed over so far; waits up to `wait` for the first.
    void runPending(std::chrono::milliseconds wait) {
        std::unique_lock lock(mutex_);
        ready_.wait_for(lock, wait, [&] { return !queue_.empty(); });
        while (!queue_.empty()) {
            auto fn = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            fn();
            lock.lock();
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> queue_;
};

} // namespace trevalo
