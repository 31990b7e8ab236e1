// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <thread>
#include <utility>

namespace trevalo {

// One worker thread at a time: starting another joins the one before, and the worker is
// joined by join() and, at the latest, when its owner goes, so no path out leaves it running.
class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread() { join(); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    template <class Work> void start(Work&& work) {
        join();
        thread_ = std::thread(std::forward<Work>(work));
    }
    // Waits until the worker has returned; nothing when none runs.
    void join() {
        if (thread_.joinable())
            thread_.join();
    }

private:
    std::thread thread_;
};

} // namespace trevalo
