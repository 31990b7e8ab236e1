// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace trevalo::test {

// A real folder tree in a fresh temporary folder, removed with everything in it (also folders
// whose permissions were taken away) when the object goes. Relative paths use "/" and may hold
// any bytes. Each call creates the missing parent folders and returns the full path.
class TempTree {
public:
    // In base, or else in $TMPDIR or /tmp.
    explicit TempTree(const char* base = nullptr);
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The tree's folder, without a trailing "/".
    const std::string& root() const { return root_; }
    std::string path(std::string_view rel) const;

    std::string file(std::string_view rel, std::string_view content = {});
    // A sparse file of `size` bytes (zeros) with `lastByte` at its end; rewrites an existing one.
    std::string sparse(std::string_view rel, std::int64_t size, char lastByte);
    std::string dir(std::string_view rel);
    std::string symlink(std::string_view target, std::string_view rel);
    std::string hardlink(std::string_view existingRel, std::string_view rel);
    std::string fifo(std::string_view rel);
    std::string socket(std::string_view rel); // a bound Unix socket, closed afterwards
    void setMtime(std::string_view rel, std::time_t when);
    // A chain of `depth` folders called `name` below the folder rel, made relative to open
    // folders, so its paths may be far longer than the system takes in one call. fileAt(level)
    // gives the content of a file "f" at that level, or nothing. Returns the files made.
    int chain(std::string_view rel, int depth, std::string_view name,
              const std::function<std::optional<std::string>(int)>& fileAt);
    void chmod(std::string_view rel, mode_t mode);

private:
    std::string made(std::string_view rel); // path(rel) with its parent folders created
    std::string root_;
};

// The bytes of a file; empty when it cannot be read.
std::string readFile(const std::string& path);
// True when anything, even a dangling symlink, is at path.
bool exists(const std::string& path);

// Runs fn in a child process that, when started as root, first becomes the unprivileged user
// "nobody", so that permission cases test something. Returns fn's result (false if the child
// failed in any other way).
bool runUnprivileged(const std::function<bool()>& fn);
// Runs fn in a child process that may have at most `limit` files open (soft and hard limit).
bool runWithOpenFileLimit(unsigned long limit, const std::function<bool()>& fn);

} // namespace trevalo::test
