#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace trevalo::test {

// A real folder tree in a fresh temporary folder, removed with everything in it (also folders
// whose permissions were taken away) when the object goes. Relative paths use "/" and may hold
// any bytes.
class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The tree's folder, without a trailing "/".
    const std::string& root() const { return root_; }
    std::string path(std::string_view rel) const;

    // Creates a file (and its missing parent folders) with the given bytes; returns its path.
    std::string file(std::string_view rel, std::string_view content = {});
    // A file of `size` bytes whose content is fixed by `seed`; equal seeds give equal bytes.
    std::string patterned(std::string_view rel, std::int64_t size, unsigned seed);
    // A sparse file of `size` bytes (zeros), with `lastByte` written at its end.
    std::string sparse(std::string_view rel, std::int64_t size, char lastByte);
    std::string dir(std::string_view rel);
    std::string symlink(std::string_view target, std::string_view rel);
    std::string hardlink(std::string_view existingRel, std::string_view rel);
    std::string fifo(std::string_view rel);
    std::string socket(std::string_view rel); // a bound Unix socket, closed afterwards
    void setMtime(std::string_view rel, std::time_t when);
    void chmod(std::string_view rel, mode_t mode);
    // Overwrites one byte of an existing file.
    void poke(std::string_view rel, std::int64_t offset, char byte);

private:
    void ensureParent(const std::string& full);
    std::string root_;
};

// True when the process runs as root, where permission bits deny nothing.
bool runningAsRoot();

// Runs fn in a child process that, when started as root, first becomes the unprivileged user
// "nobody", so that permission cases test something. Returns fn's result (false if the child
// failed in any other way).
bool runUnprivileged(const std::function<bool()>& fn);

} // namespace trevalo::test
