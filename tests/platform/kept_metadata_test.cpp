// What a replaced file keeps: owner, group, access control list, extended
// attributes, and permissions that never grant more than before, whoever
// replaces it; and the one line that says what could not be kept.
#include <acl/libacl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/safe_file.h"

namespace {

namespace fs = std::filesystem;

constexpr uid_t kColleague = 61001, kMember = 61002, kStranger = 61003;
constexpr gid_t kTeam = 61100;

std::string AclText(const fs::path& file) {
    acl_t acl = acl_get_file(file.c_str(), ACL_TYPE_ACCESS);
    if (!acl) return "";
    char* text = acl_to_any_text(acl, nullptr, ',', TEXT_ABBREVIATE | TEXT_NUMERIC_IDS);
    std::string result = text ? text : "";
    acl_free(text);
    acl_free(acl);
    return result;
}

std::string Attribute(const fs::path& file, const char* name) {
    char value[64] = {};
    const ssize_t n = getxattr(file.c_str(), name, value, sizeof value);
    return n < 0 ? "" : std::string(value, static_cast<std::size_t>(n));
}

// Replaces the file as the given user (0: as the test runs); returns the
// warning, or "failed: <reason>".
std::string ReplaceAs(const fs::path& file, uid_t user, gid_t group, bool teamMember) {
    int result[2];
    if (pipe(result) != 0) return "failed: no pipe";
    const pid_t pid = fork();
    if (pid == 0) {
        const gid_t teams[] = {kTeam};
        if (user != 0 && (setgroups(teamMember ? 1 : 0, teams) != 0 || setgid(group) != 0 || setuid(user) != 0)) {
            _exit(3);
        }
        std::string said;
        auto opened = sweepwav::CreateSafeFile(file.string());
        const std::uint8_t byte = 'n';
        sweepwav::Status done = opened ? opened.value()->write({&byte, 1}) : opened.status();
        if (done) done = opened.value()->commit();
        said = done ? done.warning() : "failed: " + done.reason();
        _exit(write(result[1], said.data(), said.size()) == static_cast<ssize_t>(said.size()) ? 0 : 3);
    }
    close(result[1]);
    std::string said;
    char buffer[512];
    for (ssize_t n; (n = read(result[0], buffer, sizeof buffer)) > 0;) said.append(buffer, static_cast<std::size_t>(n));
    close(result[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? said : "failed: child " + std::to_string(status);
}

TEST(KeptMetadata, ReplacedFileKeepsWhatItHad) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as several users";
    std::string pattern = (fs::temp_directory_path() / "sweepwav-kept-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path root = pattern;
    chmod(root.c_str(), 0755);
    {
        // Some file systems have neither; then there is nothing to keep.
        std::ofstream(root / "probe") << "p";
        acl_t probe = acl_from_text("u::rw-,u:61005:r--,g::r--,m::r--,o::---");
        const bool acls = acl_set_file((root / "probe").c_str(), ACL_TYPE_ACCESS, probe) == 0;
        acl_free(probe);
        const bool attributes = setxattr((root / "probe").c_str(), "user.probe", "p", 1, 0) == 0;
        if (!acls || !attributes) {
            fs::remove_all(root);
            GTEST_SKIP() << "the temporary folder's file system lacks access control lists or user attributes";
        }
    }
    const struct {
        const char* who;
        mode_t folderMode;
        const char* acl;  // the old file's access control list, or nullptr
        mode_t mode;      // without a list
        uid_t user;       // 0: the test's own (root)
        bool teamMember;
        mode_t keptMode;
        uid_t owner;
        gid_t group;
        std::string unkept;  // what the warning names; empty: no warning
    } cases[] = {
        // The group's bits (rw) are the list's mask: the group itself may only read.
        {"root", 0755, "u::rw-,u:61005:rw-,g::r--,m::rw-,o::---", 0, 0, false, 0660, kColleague, kTeam, ""},
        {"root, a set-group-id file", 0755, nullptr, 02750, 0, false, 02750, kColleague, kTeam, ""},
        // A member of the group keeps it, but cannot give the file away.
        {"a member of the group", 0770, "u::rw-,g::rw-,u:61005:r--,m::rw-,o::---", 0, kMember, true, 0660, kMember,
         kTeam, "the owner"},
        // Anyone else: the group's bits shrink to those of others, and the
        // set-user-id bit goes with the owner.
        {"anyone", 0777, nullptr, 04676, kStranger, false, 0666, kStranger, kStranger, "the owner and the group"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.who);
        const fs::path folder = root / "f", file = folder / "t.wav";
        fs::remove_all(folder), fs::create_directory(folder);
        ASSERT_EQ(chown(folder.c_str(), kColleague, kTeam), 0);
        ASSERT_EQ(chmod(folder.c_str(), c.folderMode), 0);
        std::ofstream(file) << "old";
        ASSERT_EQ(chown(file.c_str(), kColleague, kTeam), 0);
        if (c.acl) {
            acl_t acl = acl_from_text(c.acl);
            ASSERT_EQ(acl_set_file(file.c_str(), ACL_TYPE_ACCESS, acl), 0);
            acl_free(acl);
        } else {
            ASSERT_EQ(chmod(file.c_str(), c.mode), 0);
        }
        ASSERT_EQ(setxattr(file.c_str(), "user.take", "7", 1, 0), 0);
        const std::string aclBefore = AclText(file);

        const std::string said = ReplaceAs(file, c.user, c.user, c.teamMember);
        EXPECT_EQ(said, c.unkept.empty() ? ""
                                         : "Could not keep " + c.unkept + " of the file " + file.string() +
                                               ": Operation not permitted");
        struct stat st {};
        ASSERT_EQ(stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_size, 1);
        EXPECT_EQ(st.st_mode & 07777, c.keptMode);
        EXPECT_EQ(st.st_uid, c.owner);
        EXPECT_EQ(st.st_gid, c.group);
        if (c.acl) {
            EXPECT_EQ(AclText(file), aclBefore);
        } else {
            EXPECT_EQ(acl_extended_file(file.c_str()), 0);
        }
        EXPECT_EQ(Attribute(file, "user.take"), "7");
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
    }
    fs::remove_all(root);
}

}  // namespace
