// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// A walk cut into parts walked side by side, and the replay that turns the steps of any walk
// into the catalogue.
//
// Three paths give the same catalogue. The whole walk: one FolderWalk writes its steps depth
// first and the replay takes them folder by folder as they come. Split levels: the search path
// and a few levels below it are walked with Depth::Split, which writes a folder's own files and,
// where each sub-folder's subtree would come, a Part step. Shared parts: threads walk those
// subtrees whole, each into its part's own steps, and a walker gives the back half of the
// sub-folders it has not entered yet to a thread that waits, again as Part steps where it would
// have walked them. The replay follows each Part step into its part, so it reads the steps in
// the order one walker would have written them. Each walker knows only the folders it walked;
// the replay knows them all: a folder found walked already is passed over from its Enter to
// its Leave, and each file is taken once.

#include "catalogue/FileCatalogue.h"
#include "catalogue/FolderWalk.h"
#include "platform/Process.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace trevalo {

// Where a walker gives away sub-folders it has not entered yet, to a thread that has run out of
// work. A sub-folder given away is a Part step where the walker would have walked it.
class WalkShare {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    virtual ~WalkShare() = default;
    // Whether a thread waits for work.
    virtual bool wanted() const = 0;
    // How many more parts can be taken.
    virtual std::size_t room() const = 0;
    // Takes the sub-folder `name` of `parent` as a part to walk apart; the part's index.
    virtual std::size_t give(std::shared_ptr<FolderHandle> parent, std::string name,
                             std::string path, WalkPlace place) = 0;
};

// A subtree walked apart: opened from its parent folder (held open for all of its parts), its
// steps written by whichever thread took it, and replayed once done. Part 0 is the search path.
struct Part {
    std::shared_ptr<FolderHandle> parent;
    std::string name;
    std::string path; // ending in "/"
    WalkPlace place;
    std::vector<WalkStep> steps;
    std::atomic<bool> done{false};
};
using Parts = std::vector<std::unique_ptr<Part>>;

// Replays the steps of a walk's parts in walk order: a folder already walked through another
// path is passed over whole, and every file is taken once. Parts not done yet hold it up.
struct FileCatalogue::Replay {
    Replay(FileCatalogue& files, Parts& parts) : files_(files), parts_(parts) {}

    // The part this thread is walking: replayed as far as it goes while it is walked.
    void setLive(const Part* part) { live_ = part; }
    // Takes the folders replayed so far (once the replay is over).
    FileIdSet takeWalked() { return std::move(seen_); }
    // Replays as far as the parts done, and the live part so far, allow.
    void run();

private:
    void take(WalkStep& step);

    FileCatalogue& files_;
    Parts& parts_;
    FileIdSet seen_;                                              // folders walked
    std::vector<std::pair<std::size_t, std::size_t>> at_{{0, 0}}; // part and step
    const Part* live_ = nullptr;
};

// The parts left to walk, in walk order, and those given away by a walker while another
// thread waits for work.
class PartQueue final : public WalkShare {
public:
    PartQueue(Parts& parts, const std::vector<std::size_t>& first,
              const std::atomic<bool>& stopped);

    bool wanted() const override { return wanted_.load(std::memory_order_relaxed); }
    std::size_t room() const override;
    std::size_t give(std::shared_ptr<FolderHandle> parent, std::string name, std::string path,
                     WalkPlace place) override;
    Part& part(std::size_t index);
    // Lets go of the part held (if any) without taking another.
    void release(bool& holding);
    // Waits until every part is walked or the walk stopped, calling `idle` each time a part is
    // given or done.
    void waitUntilWalked(const std::function<void()>& idle);
    // The next part to walk, after the one held (if any) is done; kNone once every part is walked
    // or the walk stopped. While it waits, `idle` (when given) is called each time a part is
    // given or done. A walker that stops ends its part, so the stop wakes the waiters too.
    std::size_t next(bool& holding, const std::function<void()>* idle);

private:
    static constexpr std::size_t kMostGiven = 8192;

    Parts& parts_;
    std::deque<std::size_t> queue_;
    const std::atomic<bool>& stopped_;
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::atomic<bool> wanted_{false};
    std::size_t most_ = 0;
    int busy_ = 0;
};

// A recursive walk on several threads, from the search path walked with Depth::Split as part 0.
class PartWalk {
public:
    struct Threads {
        int walking = 1; // threads that take parts
        int most = 1;    // threads that take parts while the folders come from a storage device
    };
    PartWalk(const WalkRules& rules, Parts& parts, FileCatalogue::Replay& replay, Threads threads,
             DeviceReadWatch& disk, std::function<bool()> shouldStop);

    // Cuts the walk into parts below the folder `first` walked with Split and left open in
    // `open`, then walks them; returns how many folders were opened.
    std::int64_t run(FolderWalk& first, std::shared_ptr<FolderHandle> open);

private:
    std::vector<std::size_t> splitLevels(FolderWalk& first, std::shared_ptr<FolderHandle> open);
    void take(PartQueue& queue, FolderWalk& walker, bool asks);
    void walkOn(PartQueue& queue, int count);
    void moreForDisk(PartQueue& queue);

    const WalkRules& rules_;
    Parts& parts_;
    FileCatalogue::Replay& replay_;
    Threads threads_;
    DeviceReadWatch& disk_;
    std::function<bool()> shouldStop_;
    std::atomic<std::int64_t> walked_{0};
    std::int64_t opened_ = 0;
    std::vector<std::unique_ptr<FolderWalk>> others_;
    std::vector<std::jthread> helpers_;
};

// Opens a part's folder and walks it to `depth` into the part's steps, or says there why it
// could not be opened.
void walkPart(FolderWalk& walker, Part& part, FolderWalk::Depth depth,
              std::shared_ptr<FolderHandle>* split = nullptr);

} // namespace trevalo
