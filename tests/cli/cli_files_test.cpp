// Writes real files with sweepwav-cli and reads them back with libsndfile,
// an independent WAV reader; checks exit statuses, messages and what is
// left on disk when a write fails.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string err;
};

struct RunOptions {
    long fileSizeLimit = -1;             // RLIMIT_FSIZE in bytes for the child
    std::string interruptWhenErrHas;     // send SIGINT once stderr shows this
};

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class CliFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "sweepwav-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    Outcome Run(std::vector<std::string> args, const RunOptions& opt = {}) {
        const fs::path errFile = dir / ".stderr";
        args.insert(args.begin(), SWEEPWAV_CLI);
        const pid_t pid = fork();
        if (pid == 0) {
            const int fd = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, STDERR_FILENO);
            const int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, STDOUT_FILENO);
            if (opt.fileSizeLimit >= 0) {
                rlimit limit{static_cast<rlim_t>(opt.fileSizeLimit), static_cast<rlim_t>(opt.fileSizeLimit)};
                setrlimit(RLIMIT_FSIZE, &limit);
                signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
            }
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        Outcome o;
        if (pid < 0) {
            ADD_FAILURE() << "fork failed";
            return o;
        }
        int status = 0;
        if (!opt.interruptWhenErrHas.empty()) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            bool sent = false;
            while (!sent && std::chrono::steady_clock::now() < deadline) {
                if (waitpid(pid, &status, WNOHANG) == pid) break;
                if (ReadAll(errFile).find(opt.interruptWhenErrHas) != std::string::npos) {
                    kill(pid, SIGINT);
                    sent = true;
                } else {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
            }
            EXPECT_TRUE(sent) << "the run ended before it could be interrupted";
            if (sent) waitpid(pid, &status, 0);
        } else {
            waitpid(pid, &status, 0);
        }
        o.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        o.err = ReadAll(errFile);
        fs::remove(errFile);
        return o;
    }

    std::vector<std::string> Args(std::vector<std::string> more) const {
        std::vector<std::string> args = {"--output-dir", dir.string(), "--quiet"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    std::vector<fs::path> Files() const {
        std::vector<fs::path> out;
        for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename());
        return out;
    }

    fs::path dir;
};

struct Sound {
    SF_INFO info{};
    std::vector<int> samples;  // interleaved, scaled to 32 bits by the reader
};

Sound ReadSound(const fs::path& p) {
    Sound s;
    SNDFILE* f = sf_open(p.c_str(), SFM_READ, &s.info);
    EXPECT_NE(f, nullptr) << sf_strerror(nullptr);
    if (!f) return s;
    s.samples.resize(static_cast<std::size_t>(s.info.frames * s.info.channels));
    EXPECT_EQ(sf_readf_int(f, s.samples.data(), s.info.frames), s.info.frames);
    sf_close(f);
    return s;
}

// The rounded sine of frame n: amplitude in steps of the word.
double Ideal(double freq, int rate, double amplitude, long n) {
    const double pi = 4 * std::atan(1.0);
    return std::nearbyint(std::sin(n * ((pi + pi) / rate) * freq) * amplitude);
}

TEST_F(CliFiles, SixteenBitStereoSine) {
    const auto o = Run(Args({"--rate", "48000", "--channels", "2", "--bits", "16", "--steps", "0",
                             "--start-freq", "1000", "--tone-ms", "100", "--shift-mode", "0",
                             "--no-dither", "--file", "sine"}));
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.err, "");
    const auto s = ReadSound(dir / "sine.wav");
    EXPECT_EQ(s.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(s.info.channels, 2);
    EXPECT_EQ(s.info.samplerate, 48000);
    ASSERT_EQ(s.info.frames, 4800);
    for (long n = 0; n < 4800; ++n) {
        const int expected = static_cast<int>(Ideal(1000, 48000, 32766, n)) * 65536;
        ASSERT_EQ(s.samples[2 * n], expected) << "frame " << n;
        ASSERT_EQ(s.samples[2 * n + 1], expected) << "frame " << n;
    }
    EXPECT_EQ(s.samples[24], 32766 * 65536);
    EXPECT_EQ(fs::file_size(dir / "sine.wav"), 44u + 4800 * 4);
}

TEST_F(CliFiles, TwentyBitMonoOddLength) {
    // 441 frames of 3 bytes: 1323 audio bytes, padded to an even file.
    const auto o = Run(Args({"--rate", "44100", "--channels", "1", "--bits", "20", "--steps", "0",
                             "--start-freq", "440", "--start-level", "-6", "--tone-ms", "10",
                             "--shift-mode", "0", "--no-dither", "--file", "odd.wav"}));
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const fs::path path = dir / "odd.wav";
    EXPECT_EQ(fs::file_size(path), 44u + 1323 + 1);
    const std::string raw = ReadAll(path);
    EXPECT_EQ(raw.back(), '\0');
    const auto s = ReadSound(path);
    EXPECT_EQ(s.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    EXPECT_EQ(s.info.channels, 1);
    EXPECT_EQ(s.info.samplerate, 44100);
    ASSERT_EQ(s.info.frames, 441);
    const double amplitude = std::pow(10.0, -6.0 / 20) * 524288;
    for (long n = 0; n < 441; ++n) {
        const int v = s.samples[n];
        ASSERT_EQ(v & 0xFFF, 0) << "frame " << n;  // 8 bits of the reader + 4 of the container
        ASSERT_EQ(v / 4096, static_cast<int>(Ideal(440, 44100, amplitude, n))) << "frame " << n;
    }
}

TEST_F(CliFiles, TwentyFourBitThreeChannelSweepWithDither) {
    const auto o = Run(Args({"--rate", "96000", "--channels", "3", "--bits", "24", "--steps", "4",
                             "--start-freq", "100", "--end-freq", "10000", "--start-level", "-1",
                             "--end-level", "-41", "--tone-ms", "50", "--tone-cycles", "0",
                             "--shift-mode", "0", "--seed", "7", "--file", "sweep24.wav"}));
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const auto s = ReadSound(dir / "sweep24.wav");
    EXPECT_EQ(s.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    EXPECT_EQ(s.info.channels, 3);
    EXPECT_EQ(s.info.samplerate, 96000);
    ASSERT_EQ(s.info.frames, 5 * 4800);
    for (int k = 0; k < 5; ++k) {
        const double freq = 100 * std::pow(100.0, k / 4.0);
        const double amplitude = std::pow(10.0, (-1 - 10.0 * k) / 20) * 8388608;
        for (long n = 0; n < 4800; ++n) {
            const long frame = k * 4800 + n;
            const int v = s.samples[3 * frame] / 256;
            ASSERT_EQ(s.samples[3 * frame + 1], s.samples[3 * frame]);
            ASSERT_EQ(s.samples[3 * frame + 2], s.samples[3 * frame]);
            // Dither moves a sample by at most one step.
            ASSERT_LE(std::fabs(v - Ideal(freq, 96000, amplitude, n)), 1.0) << "frame " << frame;
        }
    }
}

TEST_F(CliFiles, SeedMakesDitherReproducible) {
    const std::vector<std::string> sweep = {"--steps", "3", "--tone-ms", "20", "--start-level", "-60"};
    auto with = [&](const std::string& file, std::vector<std::string> more) {
        auto args = Args(sweep);
        args.insert(args.end(), more.begin(), more.end());
        args.insert(args.end(), {"--file", file});
        EXPECT_EQ(Run(args).exitCode, 0);
        return ReadAll(dir / file);
    };
    const std::string a = with("a.wav", {"--seed", "42"});
    const std::string b = with("b.wav", {"--seed", "42"});
    const std::string c = with("c.wav", {"--seed", "43"});
    const std::string d = with("d.wav", {});
    const std::string e = with("e.wav", {});
    ASSERT_GT(a.size(), 1000u);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_NE(d, e);  // unseeded runs differ
    EXPECT_EQ(a.size(), d.size());
}

TEST_F(CliFiles, RefusedInputExitsWithTwo) {
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"--steps", "1001"}, "sweepwav-cli: Please check the number of steps is between 0 and 1000\n"},
        {{"--end-freq", "x"}, "sweepwav-cli: Please check the End frequency is a valid number.\n"},
        {{"--end-level", ""}, "sweepwav-cli: Please check the end amplitude is a valid number\n"},
        {{"--rate", "32000", "--end-freq", "15680.001"},
         "sweepwav-cli: Please check the sweep end frequency is between 10 and 15680Hz\n"},
        {{"--file", "a/b"}, "sweepwav-cli: The file name cannot contain path information.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        const auto o = Run(Args(c.args));
        EXPECT_EQ(o.exitCode, 2);
        EXPECT_EQ(o.err, c.err);
        EXPECT_TRUE(Files().empty());
    }
}

TEST_F(CliFiles, UnknownRateIsRefusedNamingTheAllowedValues) {
    const auto o = Run(Args({"--rate", "44000"}));
    EXPECT_EQ(o.exitCode, 2);
    EXPECT_EQ(o.err.rfind("sweepwav-cli: ", 0), 0u) << o.err;
    for (const char* rate : {"32000", "44100", "48000", "96000", "192000", "44000"}) {
        EXPECT_NE(o.err.find(rate), std::string::npos) << rate << " in " << o.err;
    }
    EXPECT_TRUE(Files().empty());
}

TEST_F(CliFiles, OversizeSweepFailsWithOne) {
    const auto o = Run(Args({"--rate", "192000", "--bits", "24", "--channels", "8", "--steps", "1000",
                             "--tone-ms", "10000", "--shift-mode", "0"}));
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_EQ(o.err,
              "sweepwav-cli: The resulting file would be larger than 2 GB. Please reduce the number "
              "of steps, the tone duration, the sample rate, the word length or the number of "
              "channels.\n");
    EXPECT_TRUE(Files().empty());
}

TEST_F(CliFiles, WriteIntoAMissingFolderFailsWithOne) {
    std::ofstream(dir / "plain.txt") << "not a folder";
    const fs::path folders[] = {dir / "missing", dir / "plain.txt"};
    for (const auto& folder : folders) {
        SCOPED_TRACE(folder.string());
        auto args = Args({"--steps", "0", "--tone-ms", "10", "--file", "x"});
        args[1] = folder.string();
        const auto o = Run(args);
        EXPECT_EQ(o.exitCode, 1);
        const std::string head = "sweepwav-cli: Could not write the file " + folder.string() + "/x.wav: ";
        EXPECT_EQ(o.err.rfind(head, 0), 0u) << o.err;
        EXPECT_GT(o.err.size(), head.size() + 1);  // the system's reason follows
        EXPECT_EQ(o.err.back(), '\n');
        EXPECT_EQ(o.err.find('\n'), o.err.size() - 1);
        EXPECT_FALSE(fs::exists(folder / "x.wav"));
    }
    EXPECT_EQ(Files(), std::vector<fs::path>{"plain.txt"});
}

TEST_F(CliFiles, FailedWriteLeavesTheExistingFileIntact) {
    const std::string old(300000, 'Q');
    std::ofstream(dir / "keep.wav", std::ios::binary) << old;
    // The system refuses files beyond 100000 bytes: the new 176444-byte file
    // cannot be completed.
    RunOptions limited;
    limited.fileSizeLimit = 100000;
    const auto o = Run(Args({"--steps", "0", "--tone-ms", "1000", "--tone-cycles", "0",
                             "--shift-mode", "0", "--file", "keep"}),
                       limited);
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_EQ(o.err.rfind("sweepwav-cli: Could not write the file " + (dir / "keep.wav").string() + ": ", 0),
              0u)
        << o.err;
    EXPECT_EQ(ReadAll(dir / "keep.wav"), old);
    EXPECT_EQ(Files(), std::vector<fs::path>{"keep.wav"});  // no temporary file left behind
}

TEST_F(CliFiles, ExistingLongerFileIsReplaced) {
    std::ofstream(dir / "short.wav", std::ios::binary) << std::string(500000, 'Z');
    const auto o = Run(Args({"--steps", "0", "--tone-ms", "10", "--tone-cycles", "0",
                             "--shift-mode", "0", "--file", "short"}));
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(fs::file_size(dir / "short.wav"), 44u + 441 * 4);
    EXPECT_EQ(ReadSound(dir / "short.wav").info.frames, 441);
}

TEST_F(CliFiles, InterruptAbortsAndStillWritesTheFile) {
    // 1001 tones of 200 ms at 192 kHz: long enough to be interrupted after
    // the second tone has started.
    std::vector<std::string> args = {"--output-dir", dir.string(), "--rate", "192000", "--channels",
                                     "1", "--steps", "1000", "--tone-ms", "200", "--tone-cycles", "0",
                                     "--shift-mode", "0", "--no-dither", "--file", "long"};
    RunOptions interrupt;
    interrupt.interruptWhenErrHas = "Generating sweep step 1 of 1000";
    const auto o = Run(args, interrupt);
    EXPECT_EQ(o.exitCode, 130) << o.err;
    EXPECT_NE(o.err.find("Calculations aborted"), std::string::npos) << o.err;
    EXPECT_EQ(o.err.find("Done in"), std::string::npos);
    const fs::path path = dir / "long.wav";
    ASSERT_TRUE(fs::exists(path));
    const std::uintmax_t audio = 1001u * 38400 * 2;
    EXPECT_EQ(fs::file_size(path), 44 + audio);
    // The header states the planned length; the first tone is there and
    // the last one is silent.
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(info.frames, 1001 * 38400);
    std::vector<short> tone(38400);
    EXPECT_EQ(sf_readf_short(f, tone.data(), 38400), 38400);
    EXPECT_EQ(tone[0], 0);
    EXPECT_NE(tone[1], 0);
    EXPECT_EQ(sf_seek(f, 1000 * 38400, SEEK_SET), 1000 * 38400);
    EXPECT_EQ(sf_readf_short(f, tone.data(), 38400), 38400);
    EXPECT_TRUE(std::all_of(tone.begin(), tone.end(), [](short v) { return v == 0; }));
    sf_close(f);
}

}  // namespace
