// The paths and final lines of the command line, in-process.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli/final_line.h"
#include "cli/held_signals.h"
#include "platform/temporary_files.h"

namespace {

namespace fs = std::filesystem;
using sweepwav::GeneratorState;

TEST(FinalLine, SaysWhatWasWritten) {
    const struct {
        bool aborted, toStdout, interrupted;
        std::string line;
    } cases[] = {
        {false, false, false, "wrote /w/s.wav (1234 bytes) in 0.4 seconds"},
        {false, true, false, "wrote 1234 bytes to standard output in 0.4 seconds"},
        {true, false, false, "aborted at sweep step 39 of 100; /w/s.wav written at full length, silent from there"},
        {false, false, true, "wrote /w/s.wav (1234 bytes) in 0.4 seconds; interrupted once the file was complete"},
    };
    for (const auto& c : cases) {
        GeneratorState s;
        s.bAbort = c.aborted;
        s.iLastTone = 39;  // the status line's "Generating sweep step 39 of 100"
        s.iSteps = 100;
        s.sWrittenPath = "/w/s.wav";
        s.iWrittenBytes = 1234;
        s.dElapsed = 0.4;
        EXPECT_EQ(sweepwav::WrittenLine(s, c.toStdout, c.interrupted), c.line);
    }
}

TEST(FinalLine, PathsAreAbsoluteThroughTheRealFolders) {
    std::string pattern = (fs::temp_directory_path() / "sweepwav-paths-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::string t = fs::canonical(pattern).string();
    fs::create_directories(t + "/real/sub");
    fs::create_directory_symlink(t + "/real/sub", t + "/link");
    const fs::path before = fs::current_path();
    fs::current_path(t);
    const struct {
        std::string given, folder;
    } cases[] = {
        {".", t + "/"}, {"", t + "/"}, {"real//sub/./", t + "/real/sub/"}, {t + "/./real", t + "/real/"},
        {"link/..", t + "/real/"},  // where the system goes, not where the text points
        {"missing/x//", t + "/missing/x/"}, {"/", "/"}, {"//", "/"},
    };
    for (const auto& c : cases) EXPECT_EQ(sweepwav::AbsoluteNormalFolder(c.given), c.folder) << c.given;
    // A file keeps its name, even a link's.
    EXPECT_EQ(sweepwav::AbsoluteNormalFile("plan.csv"), t + "/plan.csv");
    EXPECT_EQ(sweepwav::AbsoluteNormalFile("./real/../link"), t + "/link");
    fs::current_path(before);
    fs::remove_all(t);
}

#ifndef _WIN32
// SIGTERM and SIGHUP stop a run at once, unless its file has begun to take
// its name: then they wait for the final line.
TEST(HeldSignals, AStopOnceTheFileIsNamedWaitsForTheReport) {
    const struct {
        bool named;
        int signal;
    } cases[] = {{false, SIGTERM}, {true, SIGTERM}, {false, SIGHUP}, {true, SIGHUP}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "signal " << c.signal << ", named " << c.named);
        const pid_t pid = fork();
        if (pid == 0) {
            sweepwav::PrepareProcessForFileWrites();
            sweepwav::HoldTerminationOnceNamed();
            sweepwav::NoteFileTakingName(c.named);
            std::raise(c.signal);
            _exit(sweepwav::HeldSignal() == c.signal ? 0 : 3);
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        if (c.named) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        } else {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
        }
    }
}

#endif

}  // namespace
