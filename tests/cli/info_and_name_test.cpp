// Runs sweepwav-cli with --info and --auto-name and checks what it prints,
// what it writes and how it exits.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string out, err;
};

class CliInfoAndName : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "sweepwav-info-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the three-tone example sweep (1000 Hz to 3000 Hz linear at
    // -20 dBFS, 200 ms, 48 kHz) into the test's folder, with more options.
    Outcome Run(const std::vector<std::string>& more) {
        std::vector<std::string> args = {
            SWEEPWAV_CLI, "--output-dir", dir.string(), "--quiet", "--linear", "--shift-mode", "0",
            "--rate", "48000", "--start-freq", "1000", "--end-freq", "3000", "--start-level", "-20",
            "--end-level", "-20", "--steps", "2", "--tone-cycles", "0"};
        args.insert(args.end(), more.begin(), more.end());
        const std::string errFile = dir.string() + ".err";
        std::string command;
        for (const auto& a : args) {
            command += " '";
            command += a;  // no test argument holds a quote
            command += "'";
        }
        command += " 2>'";
        command += errFile;
        command += "'";
        Outcome o;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return o;
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) o.out.append(buf, n);
        const int status = pclose(pipe);
        o.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::ifstream err(errFile, std::ios::binary);
        o.err.assign(std::istreambuf_iterator<char>(err), {});
        fs::remove(errFile);
        return o;
    }

    fs::path dir;
};

const std::string kExampleReport =
    "The current settings will result a sweep \nwith 2 steps / 3 tones as follows:\n\n"
    "0:   1000Hz at -20dBFS for 200ms\n1:   2000Hz at -20dBFS for 200ms\n"
    "2:   3000Hz at -20dBFS for 200ms\n\nNominal frequency step = 1000Hz\n"
    "Amplitude step size = 0dB\nTotal Duration = 0.6s\nFile size = 112.54KB (115244 bytes)\n";

TEST_F(CliInfoAndName, InfoPrintsTheWholeReportAndWritesNothing) {
    Outcome o = Run({"--info"});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.out, kExampleReport);
    EXPECT_EQ(o.err, "");

    // A report too long for a box is printed whole as well.
    o = Run({"--info", "--steps", "100"});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 3 + 101 + 1 + 4);
    EXPECT_EQ(o.out.find('\r'), std::string::npos);
    EXPECT_NE(o.out.find("\n100:   3000Hz at -20dBFS for 200ms\n"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(CliInfoAndName, AutoNamePrintsTheNameAndGoesOnWithIt) {
    Outcome o = Run({"--auto-name", "--info"});
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_EQ(o.out, "SW 1kHz to 3kHz at -20dBFS.wav\n" + kExampleReport);

    // The run takes the name up to its first full stop.
    o = Run({"--auto-name", "--tone-ms", "10", "--end-freq", "1500.6"});
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out, "SW 1kHz to 1.501kHz at -20dBFS.wav\n");
    EXPECT_TRUE(fs::exists(dir / "SW 1kHz to 1.wav"));

    // The name makes no range test; the run that follows does.
    o = Run({"--auto-name", "--start-freq", "5"});
    EXPECT_EQ(o.exitCode, 2);
    EXPECT_EQ(o.out, "SW 5Hz to 3kHz at -20dBFS.wav\n");
    EXPECT_EQ(o.err, "sweepwav-cli: Please check the sweep start frequency is is between 10 and 23520Hz\n");
}

TEST_F(CliInfoAndName, RefusalsPrintTheirMessageAndExitCode) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    };
    const Case cases[] = {
        {{"--info", "--start-freq", "abc"}, 2, "Please check the start frequency is a valid number."},
        {{"--info", "--end-freq", "30000"}, 2,
         "Please check the sweep end frequency is between 10 and 23520Hz"},
        {{"--info", "--steps", "1000", "--tone-ms", "10000", "--rate", "192000", "--bits", "24",
          "--channels", "8"},
         1,
         "The resulting file would be larger than 2 GB. Please reduce the number of steps, the "
         "tone duration, the sample rate, the word length or the number of channels."},
        {{"--auto-name", "--info", "--end-freq", "x", "--start-freq", "y"}, 2,
         "Please check the end frequency is a valid number."},
        {{"--auto-name", "--steps", "ten"}, 2,
         "Please check the number of sweep steps is a valid number."},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.args);
        EXPECT_EQ(o.exitCode, c.exitCode);
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(o.err, "sweepwav-cli: " + c.message + "\n");
        EXPECT_TRUE(fs::is_empty(dir));
    }
}

}  // namespace
