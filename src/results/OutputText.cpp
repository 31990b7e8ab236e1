// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/OutputText.h"

#include <QDateTime>

#include "platform/ByteText.h"
#include "platform/WholeFile.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace trevalo {

std::string isoUtcText(std::int64_t seconds) {
    // The pattern rather than Qt::ISODate, which writes nothing past the year 9999.
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC)
        .toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"))
        .toStdString();
}

std::optional<std::int64_t> isoUtcSeconds(std::string_view text) {
    if (!text.ends_with('Z'))
        return std::nullopt;
    const QDateTime time = QDateTime::fromString(
        QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), Qt::ISODate);
    if (!time.isValid())
        return std::nullopt;
    return time.toSecsSinceEpoch();
}

namespace {

constexpr std::size_t kWriteChunk = 1 << 20;

void appendEscape(std::string& out, const char* form, unsigned value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, form, value);
    out += buf;
}

} // namespace

namespace {

// The two ways names are written: for a terminal (control characters and invalid bytes as
// \xNN, C1 controls as \u00NN) and as a JSON string (controls as \u00NN, invalid bytes as
// \udcNN, the "surrogateescape" convention, so that a reader can get every byte back).
enum class Escaping { Terminal, Json };

// Printable ASCII but the backslash and the quote: written as it is in both forms.
bool isPlain(char c) {
    return c >= 0x20 && c < 0x7F && c != '\\' && c != '"';
}

// Where the plain bytes from `at` on end: eight at a time while a word holds none that needs a
// closer look (below 0x20, from 0x7F on, a quote, a backslash), then byte by byte.
std::size_t plainEnd(std::string_view bytes, std::size_t at) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHighs = 0x8080808080808080;
    // Whether some byte of v is below n (n <= 0x80), or is zero.
    const auto below = [](std::uint64_t v, std::uint64_t n) {
        return (v - kOnes * n) & ~v & kHighs;
    };
    const auto holds = [&](std::uint64_t v, unsigned char c) { return below(v ^ (kOnes * c), 1); };
    for (; bytes.size() - at >= sizeof(std::uint64_t); at += sizeof(std::uint64_t)) {
        std::uint64_t v = 0;
        std::memcpy(&v, bytes.data() + at, sizeof v);
        const std::uint64_t from7F = ((v + kOnes) | v) & kHighs;
        if ((below(v, 0x20) | from7F | holds(v, '"') | holds(v, '\\')) != 0)
            break;
    }
    while (at < bytes.size() && isPlain(bytes[at]))
        ++at;
    return at;
}

void appendEscaped(std::string& out, std::string_view bytes, Escaping how) {
    const bool json = how == Escaping::Json;
    for (std::size_t i = 0; i < bytes.size();) {
        // Most of a path is plain: it goes out a run at a time, not a byte at a time.
        const std::size_t plain = plainEnd(bytes, i);
        if (plain > i) {
            out.append(bytes.substr(i, plain - i));
            i = plain;
            continue;
        }
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '"':
                out += json ? "\\\"" : "\"";
                break;
            default:
                if (c < 0x20 || c == 0x7F)
                    appendEscape(out, json ? "\\u%04x" : "\\x%02x", c);
                else
                    out.push_back(static_cast<char>(c));
            }
            ++i;
            continue;
        }
        const std::size_t len = utf8SequenceLength(bytes, i);
        if (len == 0) {
            appendEscape(out, json ? "\\udc%02x" : "\\x%02x", c);
            ++i;
            continue;
        }
        if (!json && c == 0xC2 && static_cast<unsigned char>(bytes[i + 1]) < 0xA0) {
            // U+0080..U+009F: C2 80..C2 9F
            appendEscape(out, "\\u%04x", static_cast<unsigned char>(bytes[i + 1]));
        } else {
            out.append(bytes.substr(i, len));
        }
        i += len;
    }
}

} // namespace

void appendTerminalText(std::string& out, std::string_view bytes) {
    appendEscaped(out, bytes, Escaping::Terminal);
}

std::string terminalText(std::string_view bytes) {
    std::string out;
    appendTerminalText(out, bytes);
    return out;
}

void appendJsonText(std::string& out, std::string_view bytes) {
    appendEscaped(out, bytes, Escaping::Json);
}

void appendJsonString(std::string& out, std::string_view bytes) {
    out.push_back('"');
    appendEscaped(out, bytes, Escaping::Json);
    out.push_back('"');
}

void CheckedOutput::write(std::string_view bytes) {
    if (error_ != 0 || bytes.empty())
        return;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        error_ = errno != 0 ? errno : EIO;
}

void CheckedOutput::writeIfLarge(std::string& out) {
    if (out.size() > kWriteChunk) {
        write(out);
        out.clear();
    }
}

bool CheckedOutput::close() {
    errno = 0;
    if (std::fflush(file_) != 0 && error_ == 0)
        error_ = errno != 0 ? errno : EIO;
    errno = 0;
    if (std::fclose(file_) != 0 && error_ == 0)
        error_ = errno != 0 ? errno : EIO;
    return error_ == 0;
}

bool writeFileWhole(const std::string& path, const std::function<void(CheckedOutput&)>& write,
                    std::string& error) {
    const std::string refused = writeWholeFile(path, [&write](std::FILE* file) {
        CheckedOutput out(file);
        write(out);
        out.close();
        return out.error();
    });
    if (refused.empty())
        return true;
    error = "'" + path + "' could not be written: " + refused;
    return false;
}

} // namespace trevalo
