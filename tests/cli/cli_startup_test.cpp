// sweepwav-cli from its first moment: start-up with hostile settings files
// or without a home folder, and a Ctrl-C before synthesis begins.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "support/hostile_settings.h"

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

struct Ran {
    int exitCode;  // minus the signal when one ended it
    bool hung;
    std::string err;
};

fs::path TemporaryFolder(const char* name) {
    std::string pattern = (fs::temp_directory_path() / name).string() + "-XXXXXX";
    if (!mkdtemp(pattern.data())) return {};
    chmod(pattern.c_str(), 0755);
    return pattern;
}

// Runs the program with args. `prepare` runs in the child before the
// program starts (environment, user), `meanwhile` here while it runs. A run
// that has not ended after 120 seconds (far more than one takes on a busy
// machine) is stopped and counts as hung.
Ran RunCli(const Args& args, const std::function<void()>& prepare, const std::function<void(pid_t)>& meanwhile = {},
           int out = -1) {
    const fs::path errFile = TemporaryFolder("sweepwav-startup") / "err";
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out >= 0 ? out : open("/dev/null", O_WRONLY), STDOUT_FILENO);
        dup2(open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
        prepare();
        std::vector<std::string> all = {SWEEPWAV_CLI};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (meanwhile) meanwhile(pid);
    int status = 0;
    bool hung = true;
    for (int ms = 0; ms < 120000 && hung; ms += 5) {
        hung = waitpid(pid, &status, WNOHANG) == 0;
        if (hung) usleep(5000);
    }
    if (hung) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    std::ifstream in(errFile);
    Ran ran{WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status), hung,
            std::string(std::istreambuf_iterator<char>(in), {})};
    fs::remove_all(errFile.parent_path());
    return ran;
}

const Args kTinySweep = {"--file", "x", "--steps", "0", "--tone-ms", "1", "--tone-cycles", "0"};

TEST(StartUp, HostileSettingsFiles) {
    // Each gives the start-up folder, without a message, and no crash or
    // wait, on the smallest stack a thread is commonly given (1 MiB).
    const std::string expected =
        "sweepwav-cli: Setting up calculations\nsweepwav-cli: Could not write the file /opt/corvalis/olvane Vexlor/User "
        "Wavetables/x.wav: the folder /opt/corvalis/olvane Vexlor/User Wavetables/ does not exist\n";
    for (const auto& hostile : sweepwav::testing::kHostileSettings) {
        SCOPED_TRACE(hostile.name);
        const fs::path config = TemporaryFolder("sweepwav-hostile");
        hostile.plant(config);
        const Ran ran = RunCli(kTinySweep, [&] {
            setenv("XDG_CONFIG_HOME", config.c_str(), 1);
            const rlimit stack{1 << 20, 1 << 20};
            setrlimit(RLIMIT_STACK, &stack);
        });
        EXPECT_FALSE(ran.hung);
        EXPECT_EQ(ran.exitCode, 1);
        EXPECT_EQ(ran.err, expected);
        fs::remove_all(config);
    }
}

#if !defined(__SANITIZE_ADDRESS__)  // where a deep value is slow to read (see hostile_settings.h)
TEST(StartUp, TheDeepestValueReadNeedsNoMoreStackThanAPlainRun) {
    // The smallest stack, to 4 KiB, on which a run writes its file into the
    // analyser's folder; on that stack, start-up reads a value nested as deep
    // as it reads any, and refuses deeper ones as before, without a crash.
    // (8 KiB more: the system starts the stack up to 8 KiB lower in a random
    // place, so a run on the smallest stack may need that much more.)
    const fs::path config = TemporaryFolder("sweepwav-stack");
    fs::create_directories(config / "analyser/User Wavetables");
    const auto plant = [&](const std::string& value) {
        sweepwav::testing::PlantText(config / "Corvalis/Olvane.conf", "[Paths]\nApplication%20directory=" + value + "\n");
    };
    const auto runOn = [&](rlim_t kib) {
        return RunCli(kTinySweep, [&] {
            setenv("XDG_CONFIG_HOME", config.c_str(), 1);
            const rlimit stack{kib << 10, kib << 10};
            setrlimit(RLIMIT_STACK, &stack);
        });
    };
    plant((config / "analyser").string());
    rlim_t fails = 4, passes = 1024;
    ASSERT_EQ(runOn(passes).exitCode, 0);
    while (passes - fails > 4) {
        const rlim_t middle = (fails + passes) / 8 * 4;
        (runOn(middle).exitCode == 0 ? passes : fails) = middle;
    }
    for (const int depth : {sweepwav::testing::kDeepestRead, sweepwav::testing::kDeepestRead + 1, 100, 250}) {
        plant(sweepwav::testing::NestedValue(depth));
        const Ran ran = runOn(passes + 8);
        EXPECT_EQ(ran.exitCode, 1) << depth << " levels on " << passes + 8 << " KiB";
        EXPECT_NE(ran.err.find("Could not write the file /opt/corvalis/olvane Vexlor/"), std::string::npos) << ran.err;
    }
    fs::remove_all(config);
}
#endif

TEST(StartUp, WithoutHomeFolder) {
    // Without the analyser's settings the file goes to the home folder: the
    // account's when HOME is not set, and none at all rather than "/".
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as other users";
    const std::string notice = "sweepwav-cli: Couldn't find Olvane installation path\n";
    // A file that cannot be written there: how to write it elsewhere.
    const std::string advice =
        "sweepwav-cli: the analyser's folder was not found, so files go into /nonexistent/; write them elsewhere "
        "with -o DIR, or set the analyser's folder in ~/.config/Corvalis/Olvane.conf: a line "
        "\"Application%20directory=/path\" under [Paths] (your folder in place of /path)\n";
    const struct {
        const char* home;  // nullptr: not set
        uid_t user;
        std::string err;
    } cases[] = {
        {nullptr, 65534,
         notice + "sweepwav-cli: Setting up calculations\nsweepwav-cli: Could not write the file /nonexistent/x.wav: the "
                  "folder /nonexistent/ does not exist\n" + advice},
        {"", 65534,
         notice + "sweepwav-cli: Setting up calculations\nsweepwav-cli: Could not write the file /nonexistent/x.wav: the "
                  "folder /nonexistent/ does not exist\n" + advice},
        {nullptr, 61003,
         notice + "sweepwav-cli: Couldn't find a home folder to write the files into: HOME is not set and the "
                  "account has none\n"},
    };
    const fs::path config = TemporaryFolder("sweepwav-nohome");  // no settings in it
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << (c.home ? "empty " : "unset ") << c.user);
        const Ran ran = RunCli(kTinySweep, [&] {
            if (c.home) setenv("HOME", c.home, 1);
            else unsetenv("HOME");
            setenv("XDG_CONFIG_HOME", config.c_str(), 1);
            if (setgid(c.user) != 0 || setuid(c.user) != 0) _exit(3);
        });
        EXPECT_EQ(ran.exitCode, 1);
        EXPECT_EQ(ran.err, c.err);
    }
    fs::remove_all(config);
}

// Whether the process waits in a write() (to standard output, here).
bool WaitsInWrite(pid_t pid) {
    std::ifstream syscall("/proc/" + std::to_string(pid) + "/syscall");
    long number = -1;
    return syscall >> number && number == SYS_write;
}

TEST(StartUp, InterruptBeforeSynthesis) {
    // The program writes the proposed name to a pipe that nobody reads, so it
    // waits there, before synthesis, until Ctrl-C ends the run.
    for (bool quiet : {false, true}) {
        SCOPED_TRACE(quiet);
        const fs::path dir = TemporaryFolder("sweepwav-interrupt");
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        fcntl(pipeFds[1], F_SETFL, O_NONBLOCK);
        const std::string block(4096, 'x');
        while (write(pipeFds[1], block.data(), block.size()) > 0) {
        }
        fcntl(pipeFds[1], F_SETFL, 0);
        Args args = {"--auto-name", "-o", dir.string(), "--steps", "0", "--tone-ms", "1"};
        if (quiet) args.push_back("-q");
        const Ran ran = RunCli(
            args, [&] { close(pipeFds[0]); },
            [](pid_t pid) {
                for (int ms = 0; ms < 120000 && !WaitsInWrite(pid); ++ms) usleep(1000);
                kill(pid, SIGINT);
            },
            pipeFds[1]);
        close(pipeFds[0]), close(pipeFds[1]);
        EXPECT_FALSE(ran.hung);
        EXPECT_EQ(ran.exitCode, 130);
        EXPECT_EQ(ran.err, quiet ? "" : "sweepwav-cli: interrupted; nothing was written\n");
        EXPECT_TRUE(fs::is_empty(dir));
        fs::remove_all(dir);
    }
}

}  // namespace
