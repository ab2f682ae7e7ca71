// How an operation that can fail says so. There are two styles, each with
// its own place:
//
// - The services of the system (files, settings, viewers) and the engine's
//   own writers return a Status, or a Result<T> when they also give a value.
//   A failure always carries its reason in words, as the system states it
//   ("Permission denied"), ready to be shown after "Could not write ...: ",
//   and its kind, for a caller that acts on what went wrong: callers look
//   at the kind, never at the words.
//   A success may carry a warning: something that could not be done in full
//   and that the user should hear of ("Could not keep the group of ...").
// - The window's commands (start-up, Generate, Show Info, Make file name)
//   leave their outcome in the state's flags (bDataOK, iCalcResult, bAbort,
//   bFileWritten) and have already shown any message themselves.
//
// Faults nobody expects, such as running out of memory, are exceptions; only
// the front ends catch them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/text.h"

namespace sweepwav {

// What kind of failure a Status carries.
enum class FailureKind {
    Other,
    Missing,   // what was looked for is not there: a setting, a file, a folder on the way
    Unusable,  // it is there but cannot be used: unreadable, malformed, not text
    Denied,    // the system does not allow it
    NoSpace,   // the disk, a quota or a size limit is full
};

class [[nodiscard]] Status {
public:
    // Success.
    Status() = default;

    static Status Failure(std::string reason) { return Failure(FailureKind::Other, std::move(reason)); }

    static Status Failure(FailureKind kind, std::string reason) {
        Status s;
        s.failed_ = true;
        s.kind_ = kind;
        s.reason_ = std::move(reason);
        return s;
    }

    // Success, with one line for the user about what was not done in full.
    static Status Warning(std::string text) {
        Status s;
        s.warning_ = std::move(text);
        return s;
    }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }

    // Why it failed; empty on success.
    const std::string& reason() const { return reason_; }
    FailureKind kind() const { return kind_; }

    // A success's warning; usually empty.
    const std::string& warning() const { return warning_; }

private:
    bool failed_ = false;
    FailureKind kind_ = FailureKind::Other;
    std::string reason_;
    std::string warning_;
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    // A failure; a successful Status here would be a result without a value.
    Result(Status failure) : failure_(std::move(failure)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }

    T& value() & { return *value_; }
    const T& value() const& { return *value_; }
    T&& value() && { return std::move(*value_); }

    const std::string& reason() const { return failure_.reason(); }
    FailureKind kind() const { return failure_.kind(); }
    Status status() const { return ok() ? Status() : failure_; }

private:
    std::optional<T> value_;
    Status failure_;
};

// How a message names a file it writes: "the file <path>".
inline std::string FileDestination(std::string_view path) { return "the file " + ShownName(path); }

// The one text for a write that failed: "Could not write <destination>:
// <reason>", where the destination is FileDestination(path) or another
// destination such as "to standard output".
inline std::string WriteFailureText(std::string_view destination, std::string_view reason) {
    return "Could not write " + std::string(destination) + ": " + std::string(reason);
}

// The text for a failed write of the file at path: the system's reason, or
// for a folder that is not there, which folder.
inline std::string FileWriteFailureText(std::string_view path, const Status& failure) {
#ifdef _WIN32
    const auto end = path.find_last_of("/\\");
#else
    const auto end = path.find_last_of('/');
#endif
    if (failure.kind() != FailureKind::Missing || end == std::string_view::npos) {
        return WriteFailureText(FileDestination(path), failure.reason());
    }
    return WriteFailureText(FileDestination(path),
                            "the folder " + ShownName(path.substr(0, end + 1)) + " does not exist");
}

}  // namespace sweepwav
