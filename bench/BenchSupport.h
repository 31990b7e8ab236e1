// SPDX-License-Identifier: GPL-2.0-or-later
// What the benchmarks share: a large made-up result, and a probe of the event loop's stalls.
#pragma once

#include "results/ResultsFile.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace trevalo::bench {

// Duplicates as a search of a big photo library gives them: a few thousand folders under
// `root` (ending in "/"), groups of four.
inline SavedResults photoLibraryResults(std::int64_t count, const std::string& root) {
    SavedResults r;
    auto& rows = r.lists[ListDuplicates];
    rows.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        ResultRow row;
        row.setFolder(root + std::to_string(2000 + i % 25) + "/album " + std::to_string(i % 4000) +
                      "/");
        row.name = "IMG_" + std::to_string(100000 + i) + ".JPG";
        row.group = i - i % 4;
        row.size = 1000000 + (i / 4) * 13;
        row.mtime = 1700000000 + i;
        row.mtimeKnown = true;
        std::memcpy(row.date.data(), "2023/11/14 22:13:20", 19);
        rows.push_back(std::move(row));
    }
    r.summary = {count, 812.5, false};
    r.searchedAt = 1700000000;
    return r;
}

// The process's resident memory now and its peak since start or since resetPeakMemory, in MB
// (VmRSS and VmHWM of /proc/self/status).
struct Memory {
    long residentMb = 0;
    long peakMb = 0;
};
inline Memory memoryNow() {
    Memory m;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        long kb = 0;
        while (std::fgets(line, sizeof line, f)) {
            if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1)
                m.residentMb = kb / 1024;
            else if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1)
                m.peakMb = kb / 1024;
        }
        std::fclose(f);
    }
    return m;
}
// Starts the peak (VmHWM) again from the present resident memory.
inline bool resetPeakMemory() {
    FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (!f)
        return false;
    const bool ok = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

// The longest stretch, in milliseconds, in which the event loop could not run: a timer ticks
// every 5 ms between start() and stop(), and note() counts the stretch since the last tick.
class StallProbe {
public:
    StallProbe() {
        probe_.setInterval(5);
        QObject::connect(&probe_, &QTimer::timeout, [this] { note(); });
    }
    void start() {
        sinceTick_.start();
        probe_.start();
    }
    void stop() { probe_.stop(); }
    void note() {
        longest_ = std::max(longest_, static_cast<double>(sinceTick_.nsecsElapsed()) / 1e6);
        sinceTick_.restart();
    }
    double longestMs() const { return longest_; }

private:
    QTimer probe_;
    QElapsedTimer sinceTick_;
    double longest_ = 0;
};

} // namespace trevalo::bench
