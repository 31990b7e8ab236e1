// SPDX-License-Identifier: GPL-2.0-or-later
#include "search/EntryPacking.h"

#include <cstring>
#include <xxhash.h>

namespace trevalo {

namespace {

// Numbers are worked with as 64 bits that wrap, so that any difference of two of them packs
// and unpacks to the number it came from, whatever the bytes read claim.
std::uint64_t bitsOf(std::int64_t n) {
    return static_cast<std::uint64_t>(n);
}

// A difference near 0 either way as a small number: 0, -1, 1, -2 ... as 0, 1, 2, 3 ...
std::uint64_t zigzag(std::uint64_t n) {
    return (n << 1) ^ (0 - (n >> 63));
}

std::uint64_t unzigzag(std::uint64_t n) {
    return (n >> 1) ^ (0 - (n & 1));
}

// Writes into a buffer made large enough beforehand: a number takes at most 10 bytes.
class Writer {
public:
    explicit Writer(char* at) : at_(at) {}
    char* at() const { return at_; }

    void number(std::uint64_t n) {
        while (n >= 0x80) {
            *at_++ = static_cast<char>(n | 0x80);
            n >>= 7;
        }
        *at_++ = static_cast<char>(n);
    }
    void difference(std::uint64_t d) { number(zigzag(d)); }
    void word(std::int64_t w) {
        std::memcpy(at_, &w, sizeof w);
        at_ += sizeof w;
    }

private:
    char* at_;
};

constexpr std::size_t kMostNumberBytes = 10;

std::uint64_t checksum(const void* bytes, std::size_t size) {
    return XXH3_64bits(bytes, size);
}

// Reads numbers and words from packed bytes; once anything is missing, it stays failed.
class Reader {
public:
    Reader(const unsigned char* at, const unsigned char* end) : at_(at), end_(end) {}
    bool ok() const { return ok_; }
    bool atEnd() const { return at_ == end_; }

    // 1 to 10 bytes of 7 bits each, the lowest first; a tenth byte holds the top bit only.
    std::uint64_t number() {
        std::uint64_t n = 0;
        for (int shift = 0; shift < 64 && at_ != end_; shift += 7) {
            const unsigned char b = *at_++;
            if (shift == 63 && b > 1)
                break;
            n |= std::uint64_t{b & 0x7fu} << shift;
            if (b < 0x80)
                return n;
        }
        ok_ = false;
        at_ = end_;
        return 0;
    }
    std::uint64_t difference() { return unzigzag(number()); }
    std::int64_t word() {
        std::int64_t w = 0;
        if (end_ - at_ < static_cast<std::ptrdiff_t>(sizeof w)) {
            ok_ = false;
            at_ = end_;
            return 0;
        }
        std::memcpy(&w, at_, sizeof w);
        at_ += sizeof w;
        return w;
    }

private:
    const unsigned char* at_;
    const unsigned char* end_;
    bool ok_ = true;
};

} // namespace

void packEntries(std::span<const std::int64_t> words, std::string& bytes) {
    // Each word takes at most 10 bytes, and an entry's first two words make three numbers.
    bytes.resize((words.size() + words.size() / kFixedWords + 1) * kMostNumberBytes);
    Writer out(bytes.data());
    std::int64_t inode = 0;
    std::int64_t day = 0;
    std::int64_t written = 0; // last-write time
    std::int64_t proof = 0;   // the last other than 0
    for (std::size_t at = 0; at + kFixedWords <= words.size();) {
        const std::int64_t* w = words.data() + at;
        const std::int64_t shape = w[1] & kShapeMask;
        if (at + entryWords(shape) > words.size())
            break; // not a whole entry (none is made so)
        const bool proven = w[5] != 0;
        out.number(bitsOf(w[0]) - bitsOf(inode));
        out.number(bitsOf(shape) << 1 | (proven ? 1 : 0));
        out.difference(bitsOf(dayOf(w[1])) - bitsOf(day));
        out.difference(bitsOf(w[2]));
        out.difference(bitsOf(w[3]) - bitsOf(written));
        out.difference(bitsOf(w[4]) - bitsOf(w[3]));
        if (proven) {
            out.difference(bitsOf(w[5]) - bitsOf(proof));
            proof = w[5];
        }
        std::size_t k = kFixedWords;
        if ((shape & 1) != 0) {
            out.word(w[k]);
            out.word(w[k + 1]);
            k += kHeadWords;
        }
        for (std::int64_t p = 0; p < shape >> 1; ++p, k += kPartWords) {
            out.difference(bitsOf(w[k]));
            out.word(w[k + 1]);
            out.word(w[k + 2]);
        }
        inode = w[0];
        day = dayOf(w[1]);
        written = w[3];
        at += entryWords(shape);
    }
    const auto body = static_cast<std::size_t>(out.at() - bytes.data());
    out.word(static_cast<std::int64_t>(checksum(bytes.data(), body)));
    bytes.resize(body + sizeof(std::int64_t));
}

bool unpackEntries(std::span<const unsigned char> bytes, std::size_t mostParts,
                   std::vector<std::int64_t>& words) {
    words.clear();
    std::uint64_t sum = 0;
    if (bytes.size() < sizeof sum)
        return false;
    const std::size_t body = bytes.size() - sizeof sum;
    std::memcpy(&sum, bytes.data() + body, sizeof sum);
    if (checksum(bytes.data(), body) != sum)
        return false;
    Reader in(bytes.data(), bytes.data() + body);
    std::uint64_t inode = 0;
    std::uint64_t day = 0;
    std::uint64_t written = 0;
    std::uint64_t proof = 0;
    while (in.ok() && !in.atEnd()) {
        inode += in.number();
        const std::uint64_t flags = in.number();
        const std::uint64_t shape = flags >> 1;
        if (shape > static_cast<std::uint64_t>(kShapeMask) || (shape >> 1) > mostParts)
            break;
        day += in.difference();
        const std::uint64_t size = in.difference();
        written += in.difference();
        const std::uint64_t changed = written + in.difference();
        if ((flags & 1) != 0)
            proof += in.difference();
        words.push_back(static_cast<std::int64_t>(inode));
        words.push_back(
            datedShape(static_cast<std::int64_t>(day), static_cast<std::int64_t>(shape)));
        words.push_back(static_cast<std::int64_t>(size));
        words.push_back(static_cast<std::int64_t>(written));
        words.push_back(static_cast<std::int64_t>(changed));
        words.push_back((flags & 1) != 0 ? static_cast<std::int64_t>(proof) : 0);
        if ((shape & 1) != 0) {
            words.push_back(in.word());
            words.push_back(in.word());
        }
        for (std::uint64_t p = 0; p < shape >> 1; ++p) {
            words.push_back(static_cast<std::int64_t>(in.difference()));
            words.push_back(in.word());
            words.push_back(in.word());
        }
    }
    if (in.ok() && in.atEnd())
        return true;
    words.clear();
    return false;
}

} // namespace trevalo
