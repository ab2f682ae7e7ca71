// The safe file writer on real folders: only the named file changes, the
// permissions a file keeps or gets, and what termination by a signal leaves.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <string>

#include "platform/safe_file.h"
#include "platform/system_services.h"
#include "injected_faults.h"
#include "platform/temporary_files.h"
#include "safe_file_hidden.h"

#include "support/files.h"
#include "support/not_regular_files.h"

namespace {

namespace fs = std::filesystem;
using sweepwav::CreateSafeFile;
using sweepwav::CreateSafeFileWithHiddenName;

// The two routes to a new file: an unnamed temporary file where the system
// offers one, or a hidden named one.
enum class Route { Unnamed, Hidden };

auto Open(const std::string& path, Route route) {
    return route == Route::Hidden ? CreateSafeFileWithHiddenName(path) : CreateSafeFile(path);
}

using sweepwav::testing::ReadAll;

void WriteAll(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

// Everything under a folder: each entry's kind, mode, owner and content
// (a link's target), so that any change shows.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> seen;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        struct stat st {};
        lstat(it->path().c_str(), &st);
        std::string what = std::to_string(st.st_mode) + " " + std::to_string(st.st_uid) + " ";
        if (it->is_symlink()) {
            what += "-> " + fs::read_symlink(it->path()).string();
        } else if (it->is_regular_file()) {
            what += ReadAll(it->path());
        }
        seen[it->path().lexically_relative(root).string()] = what;
    }
    return seen;
}

// Writes text as the new content of path through the real writer.
std::optional<std::string> Replace(const std::string& path, const std::string& text,
                                   Route route = Route::Unnamed) {
    auto opened = Open(path, route);
    if (!opened) return opened.reason();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    sweepwav::Status written = opened.value()->write({bytes, text.size()});
    if (written) written = opened.value()->commit();
    if (!written) return written.reason();
    return std::nullopt;
}

class SafeFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "sweepwav-safe-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        chmod(root.c_str(), 0755);
    }
    void TearDown() override { fs::remove_all(root); }
    fs::path root;
};

TEST_F(SafeFile, OnlyTheNamedFileChanges) {
    struct Case {
        const char* name;
        std::function<std::string(const fs::path&)> plant;  // sets up; returns the path to write
        bool mayBeRefused = false;  // the system may refuse; then nothing at all changes
    };
    const Case cases[] = {
        {"link to a file elsewhere",
         [](const fs::path& r) {
             fs::create_directories(r / "home"), fs::create_directories(r / "out");
             WriteAll(r / "home/notes.txt", "my notes");
             fs::create_symlink(r / "home/notes.txt", r / "out/t.wav");
             return (r / "out/t.wav").string();
         }},
        {"relative link, in a folder reached through a relative link",
         [](const fs::path& r) {
             fs::create_directories(r / "real"), fs::create_directories(r / "other");
             WriteAll(r / "real/notes.txt", "beside"), WriteAll(r / "other/t.wav", "unrelated");
             fs::create_directory_symlink("real", r / "out");
             fs::create_symlink("../other/t.wav", r / "real/t.wav");
             fs::current_path(r);
             return std::string("out/t.wav");
         }},
        {"link chain",
         [](const fs::path& r) {
             WriteAll(r / "victim", "v");
             fs::create_symlink("victim", r / "l2"), fs::create_symlink("l2", r / "l1");
             fs::create_symlink("l1", r / "t.wav");
             return (r / "t.wav").string();
         }},
        {"dangling link",
         [](const fs::path& r) {
             fs::create_symlink(r / "nowhere/x", r / "t.wav");
             return (r / "t.wav").string();
         }},
        {"link to a folder",
         [](const fs::path& r) {
             fs::create_directories(r / "dir");
             WriteAll(r / "dir/keep", "k");
             fs::create_directory_symlink(r / "dir", r / "t.wav");
             return (r / "t.wav").string();
         }},
        {"a regular file",
         [](const fs::path& r) {
             WriteAll(r / "t.wav", "old content, longer than the new one");
             WriteAll(r / "t.wavx", "neighbour");
             return (r / "t.wav").string();
         }},
    };
    const fs::path cwd = fs::current_path();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(root), fs::create_directory(root);
        const std::string path = c.plant(root);
        const auto before = Snapshot(root);
        ASSERT_EQ(Replace(path, "new"), std::nullopt);
        fs::current_path(cwd);
        auto after = Snapshot(root);
        const std::string named = fs::relative(fs::canonical(root / fs::path(path).parent_path()) /
                                                   fs::path(path).filename(), fs::canonical(root)).string();
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(root / named)));
        EXPECT_EQ(ReadAll(root / named), "new");
        after.erase(named);
        auto expected = before;
        expected.erase(named);
        EXPECT_EQ(after, expected);  // nothing else changed, nothing was left behind
    }
}

TEST_F(SafeFile, NamesThatAreNotFilesAreNeverReplaced) {
    // What is at the name stays what it was: a FIFO, the null device and the
    // process's own descriptors are written through, anything else that is
    // not a file is refused, and no temporary file is left behind.
    int pipeFds[2];
    ASSERT_EQ(pipe2(pipeFds, O_NONBLOCK), 0);
    const std::string ownFd = "/proc/self/fd/" + std::to_string(pipeFds[1]);
    // How "t" is planted: a FIFO, a socket, a device (as root), a link to a
    // FIFO "f" or a socket "s", a link to a link "l" to ownFd, or a link to
    // the path given.
    const auto plant = [&](const std::string& how) {
        const fs::path t = root / "t";
        if (how == "FIFO") return mkfifo(t.c_str(), 0644) == 0;
        if (how == "socket") return sweepwav::testing::MakeSocket(t);
        if (how.starts_with("device ")) {
            return geteuid() == 0 && mknod(t.c_str(), S_IFCHR, makedev(1, std::stoi(how.substr(7)))) == 0;
        }
        if (how == "link to FIFO") return mkfifo((root / "f").c_str(), 0644) == 0 && symlink("f", t.c_str()) == 0;
        if (how == "link to socket") return sweepwav::testing::MakeSocket(root / "s") && symlink("s", t.c_str()) == 0;
        if (how == "chain") return symlink(ownFd.c_str(), (root / "l").c_str()) == 0 && symlink("l", t.c_str()) == 0;
        return symlink(how.c_str(), (how == "/dev/fd" ? root / "fd" : t).c_str()) == 0;
    };
    enum Reader { Fifo, Pipe, None };
    const struct {
        const char* how;
        Reader reader;
        std::optional<std::string> failure;  // nothing: written through
    } cases[] = {
        {"FIFO", Fifo, std::nullopt},
        {"link to FIFO", Fifo, std::nullopt},
        {"device 3", None, std::nullopt},  // the null device
        {"/dev/null", None, std::nullopt},
        {"device 5", None, "it is a device, not a file"},
        {"/dev/zero", None, "it is a device, not a file"},
        {"socket", None, "it is a socket, not a file"},
        {"link to socket", None, "it is a socket, not a file"},
        {ownFd.c_str(), Pipe, std::nullopt},  // as /dev/stdout is
        {"chain", Pipe, std::nullopt},
        {"/dev/fd", Pipe, std::nullopt},  // written as fd/N
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        fs::remove_all(root), fs::create_directory(root);
        if (!plant(c.how)) continue;  // a device needs root
        const auto before = Snapshot(root);
        std::optional<sweepwav::testing::FifoReader> reader;
        if (c.reader == Fifo) reader.emplace(fs::exists(root / "f") ? root / "f" : root / "t");
        const fs::path path = fs::exists(root / "fd") ? root / "fd" / std::to_string(pipeFds[1]) : root / "t";
        EXPECT_EQ(Replace(path.string(), "new"), c.failure);
        EXPECT_EQ(Snapshot(root), before);
        char piped[8] = {};
        const std::string got = c.reader == Fifo ? reader->read()
                                : c.reader == Pipe && read(pipeFds[0], piped, sizeof piped) > 0 ? std::string(piped)
                                                                                                 : "";
        EXPECT_EQ(got, c.reader == None ? "" : "new");
    }
    close(pipeFds[0]), close(pipeFds[1]);
}

TEST_F(SafeFile, AReaderThatGoesAwayIsAFailedWrite) {
    // The reader of a FIFO reads a little and goes: the write fails, and the
    // signal that comes with it does not end the process.
    ASSERT_EQ(mkfifo((root / "t").c_str(), 0644), 0);
    sweepwav::testing::FifoReader reader(root / "t", 10);
    auto opened = CreateSafeFile((root / "t").string());
    ASSERT_TRUE(opened.ok()) << opened.reason();
    const std::string big(1 << 20, 'x');
    sweepwav::Status written;
    for (int i = 0; i < 64 && written; ++i) {
        written = opened.value()->write({reinterpret_cast<const std::uint8_t*>(big.data()), big.size()});
    }
    EXPECT_EQ(written.reason(), "Broken pipe");
    EXPECT_EQ(reader.read(), std::string(10, 'x'));
    EXPECT_EQ(sweepwav::testing::KindAt(root / "t"), "FIFO");
}

TEST_F(SafeFile, DropBoxFolders) {
    // A folder others may write into but not read (mode 733, or 1733 with
    // the sticky bit): as root, another user writes there; else its owner,
    // who may not read it either.
    for (const mode_t mode : {0733, 01733}) {
        for (Route route : {Route::Unnamed, Route::Hidden}) {
            SCOPED_TRACE(::testing::Message() << std::oct << mode << (route == Route::Hidden ? " hidden" : ""));
            fs::remove_all(root), fs::create_directories(root / "box");
            chmod((root / "box").c_str(), mode);
            const pid_t pid = fork();
            if (pid == 0) {
                if (geteuid() == 0 && (setgid(61001) != 0 || setuid(61001) != 0)) _exit(3);
                _exit(Replace((root / "box/t.wav").string(), "new", route) ? 1 : 0);
            }
            int status = 0;
            waitpid(pid, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
            chmod((root / "box").c_str(), 0755);
            EXPECT_EQ(ReadAll(root / "box/t.wav"), "new");
            EXPECT_EQ(std::distance(fs::directory_iterator(root / "box"), {}), 1);
        }
    }
}

TEST_F(SafeFile, LinkPlantedByAnotherUserInASharedFolder) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as two users";
    // A sticky folder anyone may write to; Alice's notes elsewhere; another
    // user's link in the shared folder at the name Alice writes.
    const uid_t alice = 61001, mallory = 61002;
    fs::create_directories(root / "alice"), fs::create_directories(root / "shared");
    chmod((root / "shared").c_str(), 01777);
    WriteAll(root / "alice/notes.txt", "Alice's notes");
    ASSERT_EQ(chown((root / "alice").c_str(), alice, alice), 0);
    ASSERT_EQ(chown((root / "alice/notes.txt").c_str(), alice, alice), 0);
    fs::create_symlink(root / "alice/notes.txt", root / "shared/t.wav");
    ASSERT_EQ(lchown((root / "shared/t.wav").c_str(), mallory, mallory), 0);
    const auto notes = Snapshot(root / "alice");

    const pid_t pid = fork();
    if (pid == 0) {
        if (setgid(alice) != 0 || setuid(alice) != 0) _exit(3);
        const auto failure = Replace((root / "shared/t.wav").string(), "a sweep");
        // Either the link is replaced (a system without the sticky rule for
        // renames) or the rename is refused: never is the notes file written.
        _exit(failure ? 1 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 3);
    EXPECT_EQ(Snapshot(root / "alice"), notes);
    if (WEXITSTATUS(status) == 0) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(root / "shared/t.wav")));
    } else {
        EXPECT_TRUE(fs::is_symlink(root / "shared/t.wav"));
    }
    // No temporary file stayed behind in the shared folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "shared"), {}), 1);
}

TEST_F(SafeFile, PermissionsKeptOrGiven) {
    const struct {
        mode_t existing;  // 0: no file there
        mode_t umask;
        mode_t expected;
    } cases[] = {
        {0, 022, 0644}, {0, 077, 0600}, {0, 0, 0666},
        {0640, 022, 0640}, {02750, 077, 02750}, {01604, 0, 01604}, {0600, 0, 0600},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::oct << c.existing << " umask " << c.umask);
        const fs::path file = root / "p.wav";
        fs::remove(file);
        if (c.existing != 0) {
            WriteAll(file, "old");
            chmod(file.c_str(), c.existing);
        }
        const mode_t old = umask(c.umask);
        const auto failure = Replace(file.string(), "new");
        umask(old);
        ASSERT_EQ(failure, std::nullopt);
        struct stat st {};
        stat(file.c_str(), &st);
        EXPECT_EQ(st.st_mode & 07777, c.expected);
    }
    // A file that may not be written, or a folder at the name, is refused.
    if (geteuid() != 0) {
        chmod((root / "p.wav").c_str(), 0444);
        EXPECT_EQ(Replace((root / "p.wav").string(), "x"), "Permission denied");
    }
    fs::create_directory(root / "d.wav");
    EXPECT_EQ(Replace((root / "d.wav").string(), "x"), "Is a directory");
    EXPECT_EQ(Replace((root / "missing/x.wav").string(), "x"), "No such file or directory");
    // A NUL would end the name early, where the system reads it.
    EXPECT_EQ(Replace((root / "p.wav").string() + std::string("\0.txt", 5), "x"), "Invalid argument");
    EXPECT_FALSE(fs::exists(root / "p.wav.txt"));
}

TEST_F(SafeFile, AbandonedWriteLeavesOnlyTheOldFile) {
    // Written in part, then given up without commit: by any user, on either route.
    for (Route route : {Route::Unnamed, Route::Hidden}) {
        SCOPED_TRACE(route == Route::Hidden ? "hidden name" : "unnamed");
        fs::remove_all(root), fs::create_directory(root);
        WriteAll(root / "t.wav", "old");
        {
            auto opened = Open((root / "t.wav").string(), route);
            ASSERT_TRUE(opened.ok()) << opened.reason();
            const std::string part(100000, 'x');
            ASSERT_TRUE(opened.value()->write({reinterpret_cast<const std::uint8_t*>(part.data()), part.size()}));
            if (route == Route::Hidden) {
                EXPECT_EQ(std::distance(fs::directory_iterator(root), {}), 2);
            }
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(root), {}), 1);
        EXPECT_EQ(ReadAll(root / "t.wav"), "old");
    }
}

// A folder of this many bytes under root: the path of a file in it is close
// to the system's limit.
fs::path DeepFolder(const fs::path& root, std::size_t bytes) {
    fs::path folder = root;
    while (folder.string().size() + 201 < bytes) folder /= std::string(200, 'd');
    folder /= std::string(bytes - folder.string().size() - 1, 'e');
    fs::create_directories(folder);
    return folder;
}

TEST_F(SafeFile, TerminationLeavesNoTemporaryFile) {
    // Both kinds of temporary file, killed in the middle of writing, by the
    // signals that end a process, also in a folder whose path is as long as
    // a path may be with the longest temporary name after it (26 bytes).
    const int signals[] = {SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGXCPU, SIGINT};
    for (Route route : {Route::Unnamed, Route::Hidden}) {
        for (std::size_t folderBytes : {std::size_t(0), std::size_t(4095 - 1 - 26)}) {
            for (int signal : signals) {
                SCOPED_TRACE(::testing::Message() << (route == Route::Hidden) << " " << folderBytes << " " << signal);
                fs::remove_all(root), fs::create_directory(root);
                const fs::path folder = folderBytes > 0 ? DeepFolder(root, folderBytes) : root;
                WriteAll(folder / "t.wav", "old");
                int ready[2];
                ASSERT_EQ(pipe(ready), 0);
                const pid_t pid = fork();
                if (pid == 0) {
                    // Whatever this test was started with (nohup ignores SIGHUP),
                    // the child ends by the signal as a user's process would,
                    // without a core file.
                    for (int s : signals) std::signal(s, SIG_DFL);
                    const rlimit noCore{0, 0};
                    setrlimit(RLIMIT_CORE, &noCore);
                    sweepwav::PrepareProcessForFileWrites();
                    auto opened = Open((folder / "t.wav").string(), route);
                    const std::uint8_t byte = 1;
                    if (!opened || !opened.value()->write({&byte, 1})) _exit(3);
                    if (write(ready[1], "x", 1) != 1) _exit(3);
                    pause();
                    _exit(4);
                }
                close(ready[1]);  // a child that ends early is then no wait
                char c;
                ASSERT_EQ(read(ready[0], &c, 1), 1);
                if (route == Route::Hidden) {
                    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 2);  // the hidden file exists
                }
                kill(pid, signal);
                int status = 0;
                waitpid(pid, &status, 0);
                close(ready[0]);
                EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
                EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
                EXPECT_EQ(ReadAll(folder / "t.wav"), "old");
            }
        }
    }
}

TEST_F(SafeFile, NameIsRememberedBeforeTheFileTakesIt) {
    // A signal that lands right after the unnamed file is linked into the
    // folder under its hidden name still removes it.
    WriteAll(root / "t.wav", "old");
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGTERM, SIG_DFL);
        sweepwav::PrepareProcessForFileWrites();
        auto opened = Open((root / "t.wav").string(), Route::Unnamed);
        const std::uint8_t byte = 1;
        if (!opened || !opened.value()->write({&byte, 1})) _exit(3);
        injected::signalAfterLink = SIGTERM;
        (void)opened.value()->commit();
        _exit(4);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_EQ(std::distance(fs::directory_iterator(root), {}), 1);
    EXPECT_EQ(ReadAll(root / "t.wav"), "old");
}

TEST_F(SafeFile, LateErrorsKeepTheOldFile) {
    // The data of a replacing file is synced before the rename, and some file
    // systems report a failure to store it only when the file is closed:
    // either way the file does not take its name, and the old one stays.
    const struct {
        std::atomic<int>& fault;
        int error;
        const char* reason;
    } faults[] = {{injected::syncError, EIO, "Input/output error"}, {injected::closeError, EDQUOT, "Disk quota exceeded"}};
    for (const auto& f : faults) {
        for (Route route : {Route::Unnamed, Route::Hidden}) {
            SCOPED_TRACE(::testing::Message() << f.reason << (route == Route::Hidden ? " hidden" : " unnamed"));
            fs::remove_all(root), fs::create_directory(root);
            WriteAll(root / "t.wav", "old");
            auto opened = Open((root / "t.wav").string(), route);
            ASSERT_TRUE(opened);
            const std::uint8_t byte = 1;
            ASSERT_TRUE(opened.value()->write({&byte, 1}));
            f.fault = f.error;
            const sweepwav::Status committed = opened.value()->commit();
            f.fault = 0;
            EXPECT_EQ(committed.reason(), f.reason);
            opened.value().reset();
            EXPECT_EQ(std::distance(fs::directory_iterator(root), {}), 1);
            EXPECT_EQ(ReadAll(root / "t.wav"), "old");
        }
    }
}

TEST_F(SafeFile, LeftoversOfEndedProcessesAreRemoved) {
    // A hidden temporary file is removed by the next write into its folder
    // only when it is ours by name and owner, a regular file, its process
    // has ended, and nothing has written to it for ten minutes.
    const pid_t ended = fork();
    if (ended == 0) _exit(0);
    waitpid(ended, nullptr, 0);
    const std::string endedName = ".sweepwav-" + std::to_string(ended) + "-abcdEFG1";
    const uid_t me = geteuid();
    enum Kind { File, Fifo, Link };
    const struct {
        std::string name;
        uid_t owner;
        int minutesOld;
        bool removed;
        Kind kind = File;
    } cases[] = {
        {endedName, me, 11, true},
        {".sweepwav-" + std::to_string(getpid()) + "-abcdEFG1", me, 11, false},  // its process runs
        {endedName, me, 9, false},
        {endedName, me + 1, 11, false},  // another user's
        {".sweepwav-abcdEFG1", me, 11, false},
        {endedName + "2", me, 11, false},
        {endedName, me, 11, false, Fifo},  // not a file we made
        {endedName, me, 11, false, Link},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name + " " + std::to_string(c.owner) + " " + std::to_string(c.minutesOld));
        fs::remove_all(root), fs::create_directory(root);
        const fs::path leftover = root / c.name;
        if (c.kind == File) WriteAll(leftover, "leftover");
        if (c.kind == Fifo) {
            ASSERT_EQ(mkfifo(leftover.c_str(), 0600), 0);
        }
        if (c.kind == Link) fs::create_symlink("t.wav", leftover);
        if (c.owner != me && lchown(leftover.c_str(), c.owner, c.owner) != 0) continue;  // needs root
        const timespec old = {time(nullptr) - c.minutesOld * 60, 0};
        const timespec times[2] = {old, old};
        ASSERT_EQ(utimensat(AT_FDCWD, leftover.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
        ASSERT_EQ(Replace((root / "t.wav").string(), "new"), std::nullopt);
        EXPECT_EQ(fs::symlink_status(leftover).type() != fs::file_type::not_found, !c.removed);
    }
}

TEST_F(SafeFile, ALeftoverOfAProcessWeMayNotSignalStays) {
    // Process 1 runs, but an ordinary user may not signal it: that is no
    // sign that it ended. As root, the check runs as an ordinary user.
    fs::permissions(root, fs::perms::all);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        const fs::path leftover = root / ".sweepwav-1-abcdEFG1";
        WriteAll(leftover, "leftover");
        const timespec old = {time(nullptr) - 3600, 0};
        const timespec times[2] = {old, old};
        if (utimensat(AT_FDCWD, leftover.c_str(), times, 0) != 0) _exit(3);
        if (Replace((root / "t.wav").string(), "new") != std::nullopt) _exit(4);
        _exit(fs::exists(leftover) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace

namespace {

TEST(AnalyserSettings, WhatCountsAsTheFolder) {
    // The settings file of the analyser, in a configuration folder of our own.
    std::string pattern = (fs::temp_directory_path() / "sweepwav-conf-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path config = pattern;
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("WINEPREFIX", (config / "no-wine").c_str(), 1);  // and no analyser under Wine
    fs::create_directories(config / "Corvalis");
    const struct {
        const char* file;  // nullptr: no settings file at all
        bool ok;
        std::string valueOrStart;  // the value, or how the failure's description starts
    } cases[] = {
        {"[Paths]\nApplication%20directory=/opt/analyser\n", true, "/opt/analyser"},
        {"[Paths]\nApplication%20directory=\"/opt/a, b\"\n", true, "/opt/a, b"},
        {"[Paths]\nApplication%20directory=\n", true, ""},
        // An unquoted comma makes a list: not text, so the start-up folder stays.
        {"[Paths]\nApplication%20directory=/opt/a, b\n", false, "Type mismatch"},
        {"[Paths]\nOther=1\n", false, "Invalid"},
        {nullptr, false, "Invalid"},
    };
    sweepwav::SystemServices services;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "no file");
        fs::remove(config / "Corvalis/Olvane.conf");
        if (c.file) WriteAll(config / "Corvalis/Olvane.conf", c.file);
        const auto read = services.read_setting("HKCU\\Software\\Corvalis\\Olvane\\Paths\\Application directory");
        EXPECT_EQ(read.ok(), c.ok);
        if (c.ok) {
            EXPECT_EQ(read.value(), c.valueOrStart);
        } else {
            EXPECT_EQ(read.reason().rfind(c.valueOrStart, 0), 0u) << read.reason();
        }
    }
    fs::remove_all(config);
}

}  // namespace
