#include "file_metadata.h"

#ifndef _WIN32

#include <acl/libacl.h>
#include <attr/error_context.h>
#include <attr/libattr.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "posix_io.h"

namespace sweepwav {

namespace {

// What could not be kept, and the system's reason for the first of them.
class Unkept {
public:
    void add(const char* what, int error) {
        what_.push_back(what);
        if (error_ == 0) error_ = error;
    }

    std::string line(const std::string& destination) const {
        if (what_.empty()) return {};
        std::string list;
        for (std::size_t i = 0; i < what_.size(); ++i) {
            if (i > 0) list += i + 1 == what_.size() ? " and " : ", ";
            list += what_[i];
        }
        return "Could not keep " + list + " of " + destination + ": " + SystemReason(error_);
    }

private:
    std::vector<const char*> what_;
    int error_ = 0;
};

// The libraries report every failure through an error context; this one
// keeps the first error number.
struct ErrorRecord {
    error_context context;
    int error = 0;

    int error_or(int fallback) const { return error != 0 ? error : fallback; }
};

void Record(error_context* context, const char*, ...) {
    auto* record = reinterpret_cast<ErrorRecord*>(context);
    if (record->error == 0) record->error = errno;
}

// Extended attributes but those that hold permissions (copied with the
// access control list) or that only the system may set, and but the
// security label: the new file has its folder's, as the old one had.
int CopiedAttribute(const char* name, error_context* context) {
    return attr_copy_action(name, context) == 0 && std::strcmp(name, "security.selinux") != 0;
}

// The group's permission bits no wider than those of others.
mode_t NarrowGroup(mode_t mode) { return (mode & ~S_IRWXG) | (mode & S_IRWXG & ((mode & S_IRWXO) << 3)); }

}  // namespace

std::string KeepWhatTheOldFileHad(int oldFd, int newFd, const std::string& destination) {
    Unkept unkept;
    struct stat old {}, now {};
    if (::fstat(oldFd, &old) != 0 || ::fstat(newFd, &now) != 0) {
        unkept.add("the permissions", errno);
        return unkept.line(destination);
    }

    // The owner first: giving the file away clears its set-id bits, which
    // the mode below puts back where it may.
    bool ownerKept = now.st_uid == old.st_uid, groupKept = now.st_gid == old.st_gid;
    if (!ownerKept || !groupKept) {
        if (::fchown(newFd, old.st_uid, old.st_gid) == 0) ownerKept = groupKept = true;
        const int ownerError = errno;
        // Who may not give the file away may still give it a group of theirs.
        if (!groupKept && ::fchown(newFd, static_cast<uid_t>(-1), old.st_gid) == 0) groupKept = true;
        if (!ownerKept) unkept.add("the owner", ownerError);
        if (!groupKept) unkept.add("the group", errno);
    }

    mode_t mode = old.st_mode & 07777;
    ErrorRecord acl{{Record, nullptr, nullptr}};
    if (::perm_copy_fd("", oldFd, "", newFd, &acl.context) != 0 && ::acl_extended_fd(oldFd) == 1) {
        unkept.add("the access control list", acl.error_or(errno));
        mode = NarrowGroup(mode);  // the group's bits were the list's upper bound
    }
    if (!groupKept) mode = NarrowGroup(mode) & ~S_ISGID;
    if (!ownerKept) mode &= ~S_ISUID;
    if (::fchmod(newFd, mode) != 0) unkept.add("the permissions", errno);

    ErrorRecord attributes{{Record, nullptr, nullptr}};
    if (::attr_copy_fd("", oldFd, "", newFd, CopiedAttribute, &attributes.context) != 0) {
        unkept.add("the extended attributes", attributes.error_or(errno));
    }
    return unkept.line(destination);
}

}  // namespace sweepwav

#endif  // _WIN32
