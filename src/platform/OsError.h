// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QtGlobal>

#include <cerrno>
#include <string>

namespace trevalo {

// Reasons the system has no number for; errno values are positive.
inline constexpr int kReasonNone = 0;
inline constexpr int kReasonChanged = -1; // it is no longer the file the search found
// Folders passed over on purpose, said so all the same.
inline constexpr int kReasonLoop = -2;   // a link back to a folder above it (searched once)
inline constexpr int kReasonTrash = -3;  // a trash folder: never searched
inline constexpr int kReasonKernel = -4; // a kernel file system: not searched
// Files the trash does not take.
inline constexpr int kReasonInTrash = -5;     // it lies inside a trash folder already
inline constexpr int kReasonNoTrashName = -6; // no free name left in the trash

// The words of kReasonChanged: every layer tells the user so in this one text.
inline constexpr const char* kChangedSinceSearch =
    QT_TRANSLATE_NOOP("OsError", "changed since the search");

// The reason in the system's words ("Permission denied"), or this program's for the codes
// above ("changed since the search"); empty for kReasonNone.
std::string reasonText(int reason);

// The one error shape of the platform layer: an errno value, or one of the reasons above.
// A default OsError is no error.
class OsError {
public:
    constexpr OsError() = default;
    constexpr explicit OsError(int code) : code_(code) {}
    // The errno of the call that just failed.
    static OsError last() { return OsError(errno); }

    constexpr int code() const { return code_; }
    constexpr bool failed() const { return code_ != kReasonNone; }
    constexpr explicit operator bool() const { return failed(); }
    constexpr bool notFound() const { return code_ == ENOENT || code_ == ENOTDIR; }
    constexpr bool permission() const { return code_ == EACCES || code_ == EPERM; }
    constexpr bool tooManyOpen() const { return code_ == EMFILE || code_ == ENFILE; }
    constexpr bool changed() const { return code_ == kReasonChanged; }
    std::string text() const { return reasonText(code_); }

    constexpr bool operator==(const OsError&) const = default;

private:
    int code_ = kReasonNone;
};

} // namespace trevalo
