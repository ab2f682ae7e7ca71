// Runs sweepwav-cli itself: files read back with libsndfile, what it prints,
// its exit statuses and what is left on disk when a write fails.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/not_regular_files.h"

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

struct Outcome {
    int exitCode;
    std::string out, err;
};

// Lines as the program says them on standard error, each with its prefix.
std::string Said(const std::string& lines) {
    std::string said;
    for (std::size_t at = 0; at < lines.size();) {
        const std::size_t end = lines.find('\n', at);
        said += "sweepwav-cli: " + lines.substr(at, end - at) + "\n";
        at = end == std::string::npos ? lines.size() : end + 1;
    }
    return said;
}

using sweepwav::testing::Cat;
using sweepwav::testing::ReadAll;

// The three-tone example: 1000 Hz to 3000 Hz linear at -20 dBFS, 200 ms, 48 kHz.
const Args kExample = {"--linear", "--shift-mode", "0", "--rate", "48000", "--start-freq", "1000",
                       "--end-freq", "3000", "--start-level", "-20", "--end-level", "-20",
                       "--steps", "2", "--tone-cycles", "0"};
const std::string kExampleReport =
    "The current settings will result a sweep \nwith 2 steps / 3 tones as follows:\n\n"
    "0:   1000Hz at -20dBFS for 200ms\n1:   2000Hz at -20dBFS for 200ms\n"
    "2:   3000Hz at -20dBFS for 200ms\n\nNominal frequency step = 1000Hz\n"
    "Amplitude step size = 0dB\nTotal Duration = 0.6s\nFile size = 112.54KB (115244 bytes)\n";

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "sweepwav-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    struct How {
        bool quiet = true;            // add --quiet
        bool intoDir = true;          // add --output-dir dir
        long fileSizeLimit = -1;      // RLIMIT_FSIZE of the child
        bool ignoreFileSizeSignal = true;  // a write past the limit then fails with EFBIG
        long memoryLimit = -1;        // RLIMIT_AS of the child
        std::string interruptAt = {};  // send SIGINT once stderr shows this
        bool interruptInSynthesis = false;  // and once audio goes into the file
        std::string configHome = {};   // XDG_CONFIG_HOME of the child, when set
        std::string winePrefix = {};   // WINEPREFIX of the child; with configHome, none unless set
        std::string stdoutPath = {};   // where standard output goes instead of a file read back
    };

    // Runs the program, by default into dir with --quiet.
    Outcome Run(const Args& more, const How& how) {
        const std::string outFile = dir.string() + ".out", errFile = dir.string() + ".err";
        Args args = Cat({SWEEPWAV_CLI}, more);
        if (how.intoDir) args.insert(args.begin() + 1, {"--output-dir", dir.string()});
        if (how.quiet) args.insert(args.begin() + 1, "--quiet");
        const pid_t pid = fork();
        if (pid == 0) {
            const std::string out = how.stdoutPath.empty() ? outFile : how.stdoutPath;
            dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
            dup2(open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
            if (how.fileSizeLimit >= 0) {
                const rlimit limit{rlim_t(how.fileSizeLimit), rlim_t(how.fileSizeLimit)};
                setrlimit(RLIMIT_FSIZE, &limit);
                if (how.ignoreFileSizeSignal) signal(SIGXFSZ, SIG_IGN);
            }
            if (how.memoryLimit >= 0) {
                const rlimit limit{rlim_t(how.memoryLimit), rlim_t(how.memoryLimit)};
                setrlimit(RLIMIT_AS, &limit);
            }
            if (!how.configHome.empty()) {
                setenv("XDG_CONFIG_HOME", how.configHome.c_str(), 1);
                setenv("WINEPREFIX", (how.winePrefix.empty() ? dir / "no-wine" : fs::path(how.winePrefix)).c_str(), 1);
            }
            std::vector<char*> argv;
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        int status = 0, ended = 0;
        for (int ms = 0; !how.interruptAt.empty() && ended == 0 && ms < 60000; ++ms) {
            if (ReadAll(errFile).find(how.interruptAt) != std::string::npos &&
                (!how.interruptInSynthesis || WritesAudio(pid))) {
                kill(pid, SIGINT);
                break;
            }
            usleep(1000);
            ended = waitpid(pid, &status, WNOHANG);
        }
        if (ended == 0) waitpid(pid, &status, 0);
        Outcome o{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(outFile), ReadAll(errFile)};
        if (WIFSIGNALED(status)) o.exitCode = 128 + WTERMSIG(status);
        fs::remove(outFile);
        fs::remove(errFile);
        return o;
    }
    Outcome Run(const Args& more) { return Run(more, How{}); }

    // Whether the process has a file in dir open that holds more than a
    // header: synthesis has begun.
    bool WritesAudio(pid_t pid) const {
        const fs::path fds = "/proc/" + std::to_string(pid) + "/fd";
        std::error_code error;
        for (const auto& fd : fs::directory_iterator(fds, error)) {
            struct stat st {};
            if (fs::read_symlink(fd.path(), error).string().rfind(dir.string() + "/", 0) == 0 &&
                stat(fd.path().c_str(), &st) == 0 && st.st_size > 44) {
                return true;
            }
        }
        return false;
    }

    fs::path dir;
};

TEST_F(Cli, WrittenFilesReadBack) {
    struct Case {
        Args args;
        int bits, channels, rate, frames;
        double freq, amplitude;
        std::uintmax_t size;  // 3-byte samples of an odd count get a pad byte
    };
    const Case cases[] = {
        {{"--rate", "48000", "--channels", "2", "--bits", "16", "--start-freq", "1000", "--tone-ms", "100"},
         16, 2, 48000, 4800, 1000, 32766, 44 + 4800 * 4},
        {{"--rate", "44100", "--channels", "1", "--bits", "20", "--start-freq", "440", "--start-level",
          "-6", "--tone-ms", "10"},
         20, 1, 44100, 441, 440, std::pow(10.0, -6.0 / 20) * 524288, 44 + 1323 + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        const Outcome o = Run(Cat(c.args, {"--steps", "0", "--shift-mode", "0", "--no-dither", "--file", "t"}));
        ASSERT_EQ(o.exitCode, 0) << o.err;
        const fs::path path = dir / "t.wav";
        EXPECT_EQ(fs::file_size(path), c.size);
        if (c.size % 2 != std::uintmax_t(c.frames * c.channels * ((c.bits + 7) / 8)) % 2) {
            EXPECT_EQ(ReadAll(path).back(), '\0');
        }

        SF_INFO info{};
        SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
        ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
        EXPECT_EQ(info.format, SF_FORMAT_WAV | (c.bits == 16 ? SF_FORMAT_PCM_16 : SF_FORMAT_PCM_24));
        EXPECT_EQ(info.channels, c.channels);
        EXPECT_EQ(info.samplerate, c.rate);
        ASSERT_EQ(info.frames, c.frames);
        std::vector<int> samples(std::size_t(c.frames * c.channels));  // scaled to 32 bits
        EXPECT_EQ(sf_readf_int(f, samples.data(), c.frames), c.frames);
        sf_close(f);
        for (long n = 0; n < c.frames; ++n) {
            const double ideal = std::nearbyint(std::sin(n * (2 * std::numbers::pi / c.rate) * c.freq) * c.amplitude);
            for (int ch = 0; ch < c.channels; ++ch)
                ASSERT_EQ(samples[n * c.channels + ch], int(ideal) * (1 << (32 - c.bits))) << "frame " << n;
        }
    }
}

TEST_F(Cli, SeedMakesDitherReproducible) {
    auto sweep = [&](const std::string& file, const Args& seed) {
        EXPECT_EQ(Run(Cat(seed, {"--steps", "3", "--tone-ms", "20", "--start-level", "-60", "--file", file})).exitCode, 0);
        return ReadAll(dir / file);
    };
    const std::string a = sweep("a.wav", {"--seed", "42"});
    ASSERT_GT(a.size(), 1000u);
    EXPECT_EQ(a, sweep("b.wav", {"--seed", "42"}));
    EXPECT_NE(a, sweep("c.wav", {"--seed", "43"}));
    EXPECT_NE(sweep("d.wav", {}), sweep("e.wav", {}));
}

TEST_F(Cli, PrintsAndExits) {
    struct Case {
        Args args;
        int exitCode;
        std::string out, err, written{};  // written: the one file left, if any
    };
    const std::string name = "SW 1kHz to 3kHz at -20dBFS.wav\n";
    const Case cases[] = {
        {{"--info"}, 0, kExampleReport, ""},
        // The run writes the name as proposed.
        {{"--auto-name", "--tone-ms", "10", "--end-freq", "1500.6"}, 0, "SW 1kHz to 1.501kHz at -20dBFS.wav\n",
         "", "SW 1kHz to 1.501kHz at -20dBFS.wav"},
        {{"--auto-name", "--info"}, 0, name + kExampleReport, ""},
        {{"--steps", "1001"}, 2, "",
         "sweepwav-cli: Please check the number of steps is between 0 and 1000\n"
         "sweepwav-cli: --steps \"1001\" is outside 0 to 1000\n"},
        {{"--file", "a/b"}, 2, "",
         "sweepwav-cli: The file name cannot contain path information.\n"
         "sweepwav-cli: --file \"a/b\" holds a folder: give the folder with -o DIR and only the name with --file\n"},
        {{"--rate", "44000"}, 2, "",
         "sweepwav-cli: --rate must be 32000, 44100, 48000, 96000 or 192000, not \"44000\"\n"},
        {{"--info", "--start-freq", "abc"}, 2, "",
         "sweepwav-cli: Please check the start frequency is a valid number.\n"
         "sweepwav-cli: --start-freq \"abc\" is not a number: write it with a \".\" as decimal point and no units, "
         "as in 20, 1000 or 1e3\n"},
        // A plan too large for the file is refused like any other entry.
        {{"--steps", "1000", "--tone-ms", "10000", "--rate", "192000", "--bits", "24", "--channels", "8"},
         2, "",
         "sweepwav-cli: The resulting file would be larger than 2 GB. Please reduce the number of steps, "
         "the tone duration, the sample rate, the word length or the number of channels.\n"
         "sweepwav-cli: 1001 tones (--steps 1000) of 10000 ms (--tone-ms) each at --rate 192000, --bits 24 and "
         "--channels 8 come to more than the 2 GB a WAV file can hold\n"},
        {{"--auto-name", "--info", "--end-freq", "x", "--start-freq", "y"}, 2, "",
         "sweepwav-cli: Please check the end frequency is a valid number.\n"
         "sweepwav-cli: --end-freq \"x\" is not a number: write it with a \".\" as decimal point and no units, "
         "as in 20, 1000 or 1e3\n"},
        // The name makes no range test; the run that follows does.
        {{"--auto-name", "--start-freq", "5"}, 2, "SW 5Hz to 3kHz at -20dBFS.wav\n",
         "sweepwav-cli: Please check the sweep start frequency is is between 10 and 23520Hz\n"
         "sweepwav-cli: --start-freq \"5\" is outside 10 to 23520 Hz (at --rate 48000)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args.back());
        const Outcome o = Run(Cat(kExample, c.args));
        EXPECT_EQ(o.exitCode, c.exitCode);
        EXPECT_EQ(o.out, c.out);
        EXPECT_EQ(o.err, c.err);
        if (c.written.empty()) {
            EXPECT_TRUE(fs::is_empty(dir));
        } else {
            EXPECT_TRUE(fs::exists(dir / c.written));
            fs::remove(dir / c.written);
        }
    }
    const std::string longReport = Run(Cat(kExample, {"--info", "--steps", "100"})).out;  // too long for a box
    EXPECT_NE(longReport.find("\n100:   3000Hz at -20dBFS for 200ms\n"), std::string::npos);
    EXPECT_EQ(longReport.find('\r'), std::string::npos);
}

TEST_F(Cli, RefusalsNameTheOptionAndWhatIsAccepted) {
    const std::string number = "\" is not a number: write it with a \".\" as decimal point and no units, as in 20, "
                               "1000 or 1e3";
    const struct {
        Args args;
        std::string message, detail;  // the window's message, then the option and what it accepts
    } cases[] = {
        {{"--start-freq", "1k"}, "Please check the start frequency is a valid number.", "--start-freq \"1k" + number},
        {{"--start-level", "-20dB"}, "Please check the start amplitude is a valid number.",
         "--start-level \"-20dB" + number},
        {{"--auto-name", "--end-freq", "x"}, "Please check the end frequency is a valid number.",
         "--end-freq \"x" + number},
        {{"--end-freq", "30000"}, "Please check the sweep end frequency is between 10 and 21609Hz",
         "--end-freq \"30000\" is outside 10 to 21609 Hz (at --rate 44100); a higher --rate raises the 21609 Hz limit"},
        {{"--rate", "32000"}, "Please check the sweep end frequency is between 10 and 15680Hz",
         "--end-freq \"20000\" (the default) is outside 10 to 15680 Hz (at --rate 32000); a higher --rate raises the "
         "15680 Hz limit"},
        {{"--rate", "192000", "--start-freq", "5"}, "Please check the sweep start frequency is is between 10 and 94080Hz",
         "--start-freq \"5\" is outside 10 to 94080 Hz (at --rate 192000)"},
        {{"--end-level", "3"}, "Please check sweep end amplitude is between 0 and -200dBFS",
         "--end-level \"3\" is outside -200 to 0 dBFS"},
        {{"--steps", "1e4"}, "Please check the number of steps is between 0 and 1000", "--steps \"1e4\" is outside 0 to 1000"},
        {{"--tone-ms", "10000.5"}, "Please check the tone duration is between 0 and 10000ms",
         "--tone-ms \"10000.5\" is outside 0 to 10000 ms"},
        {{"--tone-c", "200001"}, "Please check the number of cycles is between 0 and 200000",
         "--tone-cycles \"200001\" is outside 0 to 200000"},
        {{"--file", "sub\\x"}, "The file name cannot contain path information.",
         "--file \"sub\\x\" holds a folder: give the folder with -o DIR and only the name with --file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const Outcome o = Run(c.args);
        EXPECT_EQ(o.exitCode, 2);
        EXPECT_EQ(o.err, "sweepwav-cli: " + c.message + "\nsweepwav-cli: " + c.detail + "\n");
        EXPECT_TRUE(fs::is_empty(dir));
    }
}

TEST_F(Cli, WhatATypistMeets) {
    const std::string d = dir.string();
    const auto write = [&](const std::string& name, const std::string& text) { std::ofstream(dir / name) << text; };
    ASSERT_EQ(Run({"--start-freq", "5", "--save-settings", d + "/five.sweep"}).exitCode, 0);
    const std::string five = ReadAll(dir / "five.sweep");
    write("bom.sweep", "\xEF\xBB\xBF" + five);
    std::string newer = five;
    newer.replace(newer.find("format = 1"), 10, "format = 99999999999");
    write("newer.sweep", newer);
    const std::string start5 = "Please check the sweep start frequency is is between 10 and 21609Hz";
    const struct {
        Args args;
        int exitCode;
        std::string err;                 // every line, without the program's prefix
        std::vector<std::string> added;  // the files in dir afterwards, besides the settings files above
    } cases[] = {
        // Saving settings never starts a run, --file or -o or not.
        {{"--file", "bench1", "--save-settings", d + "/b.sweep"}, 0, "", {"b.sweep"}},
        // A refused value says where it came from.
        {{"--settings", d + "/five.sweep", "--info"}, 2,
         start5 + "\n--start-freq \"5\" (from the settings file " + d + "/five.sweep) is outside 10 to 21609 Hz (at --rate 44100)",
         {}},
        {{"--settings", d + "/bom.sweep", "--start-freq", "20", "--steps", "0", "--info"}, 0, "", {}},
        {{"--settings", d + "/newer.sweep"}, 2,
         "Could not open the settings file " + d + "/newer.sweep: it was written in settings format 99999999999 by a "
         "newer sweepwav; this one reads format 2.", {}},
        {{"--settings", "a", "--settings", "b"}, 2, "--settings can be given once: the sweep starts from one settings file",
         {}},
        // Every refusal of a signal option says what to type.
        {{"--channels", "2", "--signal-channels", "3"}, 2,
         "Please check the signal channels are between 1 and 2\n--signal-channels \"3\" names channel 3, which a file of "
         "2 channels (--channels 2) does not have", {}},
        {{"--gap-ms", "1", "--ramp-ms", "100"}, 2,
         "Please check the ramps are at most half as long as the shortest tone (198.8ms)\n--ramp-ms \"100\" is longer "
         "than half the shortest tone it shapes: give a shorter --ramp-ms, or longer tones with --tone-ms or "
         "--tone-cycles", {}},
        {{"--steps", "1000", "--tone-ms", "5000", "--rate", "192000", "--bits", "24", "--channels", "8",
          "--gap-ms", "100", "--signal-channels", "each"}, 2,
         "The resulting file would be larger than 2 GB. Please reduce the number of steps, the tone duration, the "
         "sample rate, the word length or the number of channels.\nthe signal options count toward the 2 GB too: "
         "--gap-ms 100, --signal-channels each", {}},
        // Channel lists: blanks and tabs allowed, each channel once.
        {{"--signal-channels", "1,2,1"}, 2, "--signal-channels names channel 1 twice\n--signal-channels \"1,2,1\" must "
         "be all, each, or channel numbers from 1 to 8 separated by commas (1,3), each channel once", {}},
        {{"--signal-channels", " 1, 2 ", "--steps", "0", "--info"}, 0, "", {}},
        {{"--signal-channels", "\t1,\t2\t", "--steps", "0", "--info"}, 0, "", {}},
        // Names from other tools, and a folder that is not there.
        {{"--sample-rate", "48000"}, 2, "unknown option --sample-rate (did you mean --rate?)", {}},
        {{"--steps", "0", "-o", d + "/nope"}, 1,
         "Could not write the file " + d + "/nope/filename.wav: the folder " + d + "/nope/ does not exist", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        const Outcome o = Run(c.args);
        EXPECT_EQ(o.exitCode, c.exitCode);
        EXPECT_EQ(o.err, Said(c.err));
        std::vector<std::string> files;
        for (const auto& f : fs::directory_iterator(dir)) files.push_back(f.path().filename().string());
        std::erase_if(files, [](const std::string& f) { return f == "five.sweep" || f == "bom.sweep" || f == "newer.sweep"; });
        EXPECT_EQ(files, c.added);
        for (const std::string& f : c.added) fs::remove(dir / f);
    }
    // Settings to standard output, and a name with a newline shown on one line.
    const Outcome saved = Run({"--save-settings", "-"});
    EXPECT_EQ(saved.out.rfind("# sweepwav settings", 0), 0u);
    const Outcome named = Run({"--steps", "0", "--file", "a\nb"}, {.quiet = false});
    EXPECT_NE(named.err.find("wrote '" + d + "/a'$'\\n''b.wav' ("), std::string::npos) << named.err;
    EXPECT_TRUE(fs::exists(dir / "a\nb.wav"));
}

// Bands and lists on the command line: what does not count stands in no
// one's way, and every refusal has its second line.
TEST_F(Cli, BandsAndListsCheckWhatCountsAndSayWhy) {
    const std::string d = dir.string();
    ASSERT_EQ(Run({"--ramp-ms", "5", "--save-settings", d + "/ramp.sweep"}).exitCode, 0);
    std::string ramp = ReadAll(dir / "ramp.sweep");
    ramp.replace(ramp.find("ramp_ms = 5"), 11, "ramp_ms = 5000");
    std::ofstream(dir / "ramp.sweep") << ramp;
    const std::string bands24 = "Please check the frequencies: the standard gives no nominal frequencies for 1/24-octave bands";
    const struct {
        Args args;
        int exitCode;
        std::string err;  // every line, without the program's prefix
    } cases[] = {
        {{"--frequencies", "1000,2000", "--rate", "32000", "--info"}, 0, ""},
        {{"--bands", "3", "--steps", "abc", "--linear", "--info"}, 0, ""},
        {{"--freq", "20", "--end-freq", "20000", "--info"}, 2,
         "unknown option --freq (did you mean --start-freq or --end-freq?)"},
        {{"--nominal", "--info"}, 2,
         "--nominal is for bands, but no --bands is given\n--nominal: give --bands 1, 3, 6 or 12 with it, or leave it "
         "out (the tones now follow --start-freq, --end-freq and --steps)"},
        {{"--frequencies", "100", "--nominal", "--info"}, 2,
         "--nominal is for bands, but no --bands is given\n--nominal: give --bands 1, 3, 6 or 12 with it, or leave it "
         "out (the tones now follow --frequencies)"},
        {{"--bands", "24", "--nominal", "--info"}, 2,
         bands24 + "\n--bands \"24\" with --nominal: the standard gives nominal frequencies for --bands 1, 3, 6 and 12 "
                   "only; leave out --nominal for the exact mid-band frequencies"},
        {{"--bands", "24", "--start-freq", "10", "--end-freq", "94080", "--rate", "192000", "--bits", "24", "--channels",
          "8", "--tone-ms", "10000", "--info"},
         2,
         "The resulting file would be larger than 2 GB. Please reduce the number of bands, the tone duration, the "
         "sample rate, the word length or the number of channels.\n"
         "318 tones (--bands 24) of at least 10000 ms (--tone-ms) and 20 cycles (--tone-cycles) each at --rate 192000, "
         "--bits 24 and --channels 8 come to more than the 2 GB a WAV file can hold"},
        {{"--frequencies", "20,100", "--steps", "1000", "--tone-ms", "10000", "--gap-ms", "60000", "--lead-in-ms",
          "60000", "--tail-ms", "60000", "--rate", "192000", "--bits", "24", "--channels", "8",
          "--signal-channels", "each", "--info"},
         2,
         "The resulting file would be larger than 2 GB. Please reduce the number of frequencies in the list, the tone "
         "duration, the silences, the sample rate, the word length or the number of channels.\nthe signal options count "
         "toward the 2 GB too: --lead-in-ms 60000, --gap-ms 60000, --tail-ms 60000, --signal-channels each"},
        {{"--settings", d + "/ramp.sweep", "--info"}, 2,
         "Could not open the settings file " + d + "/ramp.sweep: line 28: ramp_ms must be a number from 0 to 1000.\n"
         "--ramp-ms \"5000\" (from the settings file " + d + "/ramp.sweep) must be a number of milliseconds from 0 to 1000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        const Outcome o = Run(c.args);
        EXPECT_EQ(o.exitCode, c.exitCode);
        EXPECT_EQ(o.err, Said(c.err));
    }
}

// Earlier 1/6-octave settings give the standard's mid-bands; a tone the
// shift mode moved says from where.
TEST_F(Cli, EarlierBandSettingsGiveTheStandardsMidBands) {
    const std::string d = dir.string();
    ASSERT_EQ(Run({"--bands", "6", "--start-freq", "900", "--end-freq", "1200", "--save-settings", d + "/six.sweep"})
                  .exitCode,
              0);
    EXPECT_NE(ReadAll(dir / "six.sweep").find("format = 2\n"), std::string::npos);
    const Outcome kept = Run({"--settings", d + "/six.sweep", "--info"});
    EXPECT_NE(kept.out.find("\n0:   944.061Hz at 0dBFS for 200.2ms\n1:   1059.254Hz"), std::string::npos) << kept.out;
    const Outcome six = Run({"--settings", d + "/six.sweep", "--shift-mode", "1", "--tone-ms", "100", "--info"});
    EXPECT_NE(six.out.find("\n0:   940Hz at 0dBFS for 100ms (shifted from 944.061Hz)\n1:   1060Hz at 0dBFS for 100ms "
                           "(shifted from 1059.254Hz)\n2:   1190Hz at 0dBFS for 100ms (shifted from 1188.502Hz)\n"),
              std::string::npos)
        << six.out;
}

TEST_F(Cli, BandCentresFromOptionsAndFromASettingsFileGiveTheSameFile) {
    const Args bands = {"--bands", "3", "--start-freq", "20", "--end-freq", "20000", "--tone-ms", "20",
                        "--tone-cycles", "0", "--seed", "9"};
    const Outcome info = Run(Cat(bands, {"--info"}));
    // The 20 Hz band's exact mid-band, 19.953 Hz, lies below the range.
    EXPECT_NE(info.out.find("with 29 steps / 30 tones"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\n29:   19952.623Hz at 0dBFS for"), std::string::npos);
    EXPECT_NE(info.out.find("Frequencies = third-octave bands, 30 tones\n"), std::string::npos);
    ASSERT_EQ(Run(Cat(bands, {"--file", "a"})).exitCode, 0);
    ASSERT_EQ(Run(Cat(bands, {"--save-settings", (dir / "b.sweep").string()})).exitCode, 0);
    ASSERT_EQ(Run({"--settings", (dir / "b.sweep").string(), "--seed", "9", "--file", "b"}).exitCode, 0);
    EXPECT_TRUE(ReadAll(dir / "a.wav") == ReadAll(dir / "b.wav"));
    EXPECT_EQ(Run({"--bands", "3", "--frequencies", "100"}).err,
              "sweepwav-cli: --bands and --frequencies cannot go together\n");
}

TEST_F(Cli, FailedWriteExitsWithOneAndKeepsTheOldFile) {
    const std::string old(300000, 'Q');
    std::ofstream(dir / "x.wav", std::ios::binary) << old;
    const Args tone = {"--steps", "0", "--tone-cycles", "0", "--shift-mode", "0", "--file", "x", "--tone-ms"};
    // Into a missing folder; then 176444 bytes against a 100000-byte limit.
    for (const auto& [folder, limit] : {std::pair{dir / "missing", -1L}, std::pair{dir, 100000L}}) {
        const Outcome o = Run(Cat(tone, {"1000", "--output-dir", folder.string()}), {.fileSizeLimit = limit});
        EXPECT_EQ(o.exitCode, 1);
        const std::string head = "sweepwav-cli: Could not write the file " + (folder / "x.wav").string() + ": ";
        EXPECT_EQ(o.err.rfind(head, 0), 0u) << o.err;
        EXPECT_GT(o.err.size(), head.size() + 1);  // the system's reason follows
        EXPECT_EQ(o.err.find('\n'), o.err.size() - 1);
        EXPECT_EQ(ReadAll(dir / "x.wav"), old);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);  // nothing else left behind
    }
    // A good write replaces the longer file whole.
    ASSERT_EQ(Run(Cat(tone, {"10"})).exitCode, 0);
    EXPECT_EQ(fs::file_size(dir / "x.wav"), 44u + 441 * 4);
}

TEST_F(Cli, InterruptAbortsAndStillWritesTheFile) {
    // 1001 tones of 200 ms at 192 kHz: long enough to interrupt once synthesis has begun.
    const Outcome o = Run({"--rate", "192000", "--channels", "1", "--steps", "1000", "--tone-ms", "200",
                           "--tone-cycles", "0", "--shift-mode", "0", "--no-dither", "--file", "long"},
                          {.quiet = false, .interruptAt = "Setting up calculations", .interruptInSynthesis = true});
    EXPECT_EQ(o.exitCode, 130) << o.err;
    // Counted as the status line counts: the step synthesis was at, of iSteps.
    int step = -1;
    char rest[64] = {};
    ASSERT_EQ(std::sscanf(o.err.c_str(), "sweepwav-cli: Setting up calculations\nsweepwav-cli: aborted at sweep step %d of "
                                         "1000; %63s",
                          &step, rest),
              2)
        << o.err;
    EXPECT_TRUE(step >= 0 && step < 1000) << step;
    EXPECT_NE(o.err.find("; " + (dir / "long.wav").string() + " written at full length, silent from there\n"),
              std::string::npos)
        << o.err;
    EXPECT_EQ(o.err.find("wrote"), std::string::npos);
    EXPECT_EQ(fs::file_size(dir / "long.wav"), 44u + 1001u * 38400 * 2);
}

TEST_F(Cli, FileNamesAreWrittenAsTyped) {
    const Args tone = {"--steps", "0", "--tone-ms", "1", "--tone-cycles", "0", "--shift-mode", "0", "--no-dither", "--file"};
    const struct {
        std::string typed, written;  // written empty: refused with the system's reason
    } cases[] = {
        {"my.sweep.wav", "my.sweep.wav"}, {"Take.WAV", "Take.wav"}, {"sweep.", "sweep.wav"},
        {"test.txt", "test.txt.wav"}, {"SW 20Hz to 1.5kHz at 0dBFS", "SW 20Hz to 1.5kHz at 0dBFS.wav"},
        {std::string(243, 'n'), std::string(243, 'n') + ".wav"},  // 247 bytes
        {std::string(244, 'n'), std::string(244, 'n') + ".wav"},  // 248 bytes
        {std::string(251, 'n'), std::string(251, 'n') + ".wav"},  // 255 bytes: the limit
        {std::string(252, 'n'), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.size());
        const Outcome o = Run(Cat(tone, {c.typed}));
        if (c.written.empty()) {
            EXPECT_EQ(o.exitCode, 1);
            EXPECT_NE(o.err.find(": File name too long\n"), std::string::npos) << o.err;
            EXPECT_TRUE(fs::is_empty(dir));
            continue;
        }
        EXPECT_EQ(o.exitCode, 0) << o.err;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);  // that file and nothing else
        EXPECT_EQ(fs::file_size(dir / c.written), 44u + 44 * 4);
        fs::remove(dir / c.written);
    }
}

// A folder under dir whose path is `length` bytes long, made of names of at
// most 200 bytes.
fs::path FolderOfLength(const fs::path& dir, std::size_t length) {
    std::string path = dir.string();
    while (path.size() < length) {
        const std::size_t room = length - path.size() - 1;
        std::size_t name = std::min<std::size_t>(200, room);
        if (room - name == 1) --name;  // no name of 0 bytes after the next "/"
        path.append(1, '/').append(name, 'd');
        fs::create_directory(path);
    }
    return path;
}

TEST_F(Cli, PathsLongerThanTheSystemAddressesAreRefused) {
    // Linux addresses a path of at most PATH_MAX - 1 = 4095 bytes, also the
    // temporary file's (".sweepwav-<process>-<8 letters>", 20 to 26 bytes),
    // and a name of at most 255 bytes. From -o and from the analyser's
    // folder: written at the limit, refused with nothing made beyond it.
    const Args tone = {"--steps", "0", "--tone-ms", "1", "--tone-cycles", "0", "--shift-mode", "0", "--no-dither",
                       "--file"};
    const std::string name36(36, 'n');  // name36.wav: 40 bytes
    const std::string wavetables = "/User Wavetables";
    const struct {
        const char* what;
        std::size_t folder;  // the length of the output folder's path
        std::string name;
        bool analyser;       // the folder from the analyser's settings, else from -o
        bool written;
    } cases[] = {
        {"at the limit", 4095 - 1 - 40, name36, false, true},
        {"a byte over", 4095 - 40, name36, false, false},
        {"over with the temporary file's name", 4095 - 1 - 5 - 12, "x", false, false},
        {"far over", 10000, name36, false, false},
        {"at the limit, in the analyser's folder", 4095 - 1 - 40, name36, true, true},
        {"a byte over, in the analyser's folder", 4095 - 40, name36, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path config = dir / "config";
        fs::create_directories(config / "Corvalis");
        fs::path folder = dir / std::string(c.folder - dir.string().size() - 1, 'f');  // far over: not made
        if (c.analyser) {
            const fs::path analyser = FolderOfLength(dir, c.folder - wavetables.size());
            std::ofstream(config / "Corvalis/Olvane.conf") << "[Paths]\nApplication%20directory=" << analyser.string() << "\n";
            folder = analyser.string() + wavetables;
            fs::create_directory(folder);
        } else if (c.folder <= 4095) {
            folder = FolderOfLength(dir, c.folder);
        }
        ASSERT_EQ(folder.string().size(), c.folder);
        const Outcome o = c.analyser ? Run(Cat(tone, {c.name}), {.intoDir = false, .configHome = config.string()})
                                     : Run(Cat(tone, {c.name, "-o", folder.string()}), {.intoDir = false});
        const std::string path = folder.string() + "/" + c.name + ".wav";
        if (c.written) {
            EXPECT_EQ(o.exitCode, 0) << o.err;
            EXPECT_EQ(fs::file_size(path), 44u + 44 * 4);
            EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);  // that file and nothing else
        } else {
            EXPECT_EQ(o.exitCode, 1);
            const std::string shown = path.size() <= 4096 ? path : path.substr(0, 160) + "... (10041 characters, shortened)";
            EXPECT_EQ(o.err.rfind("sweepwav-cli: Could not write the file " + shown +
                                      ": the path is too long: writing it takes a path of ", 0), 0u) << o.err;
            EXPECT_TRUE(o.err.ends_with(" bytes, and Linux addresses at most 4095\n")) << o.err;
            std::error_code error;  // a path Linux cannot address is not there
            EXPECT_TRUE(!fs::exists(folder, error) || fs::is_empty(folder));
        }
        for (const auto& made : fs::directory_iterator(dir)) fs::remove_all(made.path());
    }
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(Cli, ConventionsOfTheCommandLine) {
    const Args sweep = {"--steps", "100", "--tone-ms", "5", "--seed", "9", "--file", "s"};
    const Outcome help = Run({"-h"}), version = Run({"-V"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: sweepwav-cli [OPTION]...\n", 0), 0u);
    for (const char* placeholder : {" HZ ", " DB ", " MS ", " N ", " NAME ", " DIR ", "Examples:", "192000"}) {
        EXPECT_NE(help.out.find(placeholder), std::string::npos) << placeholder;
    }
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("sweepwav-cli 1.0.0\n", 0), 0u);
    EXPECT_EQ(help.err + version.err, "");

    // Not on a terminal: the first status line and the final line, not one per tone.
    const Outcome chatty = Run(sweep, {.quiet = false});
    EXPECT_EQ(chatty.exitCode, 0);
    EXPECT_EQ(chatty.err.rfind("sweepwav-cli: Setting up calculations\nsweepwav-cli: wrote " + (dir / "s.wav").string() +
                                   " (",
                               0),
              0u)
        << chatty.err;
    EXPECT_EQ(std::count(chatty.err.begin(), chatty.err.end(), '\n'), 2);

    // The WAV on standard output is the file, byte for byte; messages stay on stderr.
    const std::string file = ReadAll(dir / "s.wav");
    const Outcome piped = Run(Cat(sweep, {"--file", "-", "-q"}), {.quiet = false, .intoDir = false});
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_TRUE(piped.out == file);
    EXPECT_EQ(piped.err, "");

    // -q: nothing at all, not even the notice of a missing analyser; -o is --output-dir.
    const fs::path other = dir / "o";
    fs::create_directory(other);
    const Outcome quiet = Run(Cat(sweep, {"-q", "-o", other.string()}),
                              {.quiet = false, .intoDir = false, .configHome = (dir / "none").string()});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.out + quiet.err, "");
    EXPECT_TRUE(ReadAll(other / "s.wav") == file);
    // The analyser is looked up only for a file to write into its folder.
    const Outcome noNotice = Run({"--info", "--steps", "0"}, {.quiet = false, .intoDir = false,
                                                               .configHome = (dir / "none").string()});
    EXPECT_EQ(noNotice.err, "sweepwav-cli: Setting up calculations\n");
}

TEST_F(Cli, LimitsOfTheSystemGiveMessages) {
    const std::string old(300000, 'Q');
    std::ofstream(dir / "x.wav", std::ios::binary) << old;
    const Args big = {"--steps", "0", "--tone-cycles", "0", "--shift-mode", "0", "--file", "x", "--tone-ms", "1000"};
    const auto onlyTheOldFile = [&] {
        EXPECT_EQ(ReadAll(dir / "x.wav"), old);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
    };

    // A file-size limit with its signal left at the default: a message, not death by SIGXFSZ.
    const Outcome capped = Run(big, {.fileSizeLimit = 100000, .ignoreFileSizeSignal = false});
    EXPECT_EQ(capped.exitCode, 1);
    EXPECT_EQ(capped.err, "sweepwav-cli: Could not write the file " + (dir / "x.wav").string() + ": File too large\n");
    onlyTheOldFile();

    // Standard output that cannot be written.
    for (const Args& args : {Args{"--info"}, Args{"--plan", "-", "--info"}, Args{"--file", "-"}}) {
        const Outcome full = Run(Cat(args, {"--steps", "0"}), {.stdoutPath = "/dev/full"});
        EXPECT_EQ(full.exitCode, 1) << args[0];
        EXPECT_NE(full.err.find("Could not write to standard output: No space left on device\n"), std::string::npos)
            << full.err;
    }
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address space limits do not apply under AddressSanitizer";
#else
    // Short of memory: find the least address space in which --info of the
    // largest plan succeeds; a run needs more (its worker threads and
    // buffers) and must fail there with a message, keeping the old file.
    const Args largest = {"--steps", "45", "--tone-ms", "10000", "--rate", "192000", "--bits", "24",
                          "--channels", "8", "--tone-cycles", "0", "--shift-mode", "0", "--file", "x"};
    long low = 1 << 20, high = 1L << 31;
    ASSERT_EQ(Run(Cat(largest, {"--info"}), {.memoryLimit = high}).exitCode, 0);
    while (high - low > (1 << 18)) {
        const long mid = low + (high - low) / 2;
        (Run(Cat(largest, {"--info"}), {.memoryLimit = mid}).exitCode == 0 ? high : low) = mid;
    }
    const Outcome info = Run(Cat(largest, {"--info"}), {.memoryLimit = high});
    EXPECT_EQ(info.exitCode, 0);
    EXPECT_NE(info.out.find("(2119680044 bytes)"), std::string::npos) << info.out;
    const Outcome starved = Run(largest, {.memoryLimit = high});
    EXPECT_EQ(starved.exitCode, 1);
    EXPECT_EQ(starved.err, "sweepwav-cli: The run stopped: out of memory\n");
    onlyTheOldFile();
#endif
}

TEST_F(Cli, ToneMarkersFollowTheUnchangedData) {
    // Odd and even data sizes; the plan says where every tone starts.
    for (const char* channels : {"1", "2"}) {
        SCOPED_TRACE(channels);
        const Args sweep = {"--steps", "4", "--tone-ms", "3.33", "--tone-cycles", "30", "--bits", "24",
                            "--channels", channels, "--seed", "5"};
        ASSERT_EQ(Run(Cat(sweep, {"--file", "plain"})).exitCode, 0);
        const Outcome marked = Run(Cat(sweep, {"--file", "marked", "--markers", "--plan", "-"}));
        ASSERT_EQ(marked.exitCode, 0) << marked.err;
        const std::string plain = ReadAll(dir / "plain.wav"), file = ReadAll(dir / "marked.wav");

        // The header but for the RIFF size, the data chunk and its pad byte are the plain file's.
        ASSERT_GT(file.size(), plain.size());
        EXPECT_EQ(file.substr(0, 4), plain.substr(0, 4));
        EXPECT_EQ(file.substr(8, plain.size() - 8), plain.substr(8));
        std::uint32_t riff = 0;
        for (int j = 3; j >= 0; --j) riff = riff << 8 | static_cast<unsigned char>(file[4 + j]);
        EXPECT_EQ(riff, file.size() - 8);
        EXPECT_EQ(file.compare(plain.size(), 4, "cue "), 0);

        // libsndfile finds one cue point per tone, at the plan's first frames.
        std::vector<std::uint32_t> starts;
        std::istringstream plan(marked.out);
        std::string line;
        std::getline(plan, line);  // the header
        while (std::getline(plan, line)) starts.push_back(std::stoul(line.substr(line.find(',') + 1)));
        ASSERT_EQ(starts.size(), 5u);
        SF_INFO info{};
        SNDFILE* f = sf_open((dir / "marked.wav").c_str(), SFM_READ, &info);
        ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
        SF_CUES cues{};
        ASSERT_EQ(sf_command(f, SFC_GET_CUE, &cues, sizeof cues), SF_TRUE);
        sf_close(f);
        ASSERT_EQ(cues.cue_count, 5u);
        for (std::uint32_t i = 0; i < 5; ++i) {
            EXPECT_EQ(cues.cue_points[i].indx, static_cast<std::int32_t>(i + 1));
            EXPECT_EQ(cues.cue_points[i].sample_offset, starts[i]);
            // Every label is read, not only the first.
            EXPECT_EQ(std::string(cues.cue_points[i].name).rfind("Tone " + std::to_string(i) + ": ", 0), 0u)
                << cues.cue_points[i].name;
        }
    }
}

TEST_F(Cli, TheTwoGigabyteLimitCountsTheMarkers) {
    // 2147481856 bytes of audio fit a WAV file; with the markers of 871 tones they do not.
    const Args sweep = {"--rate", "32000", "--channels", "4", "--shift-mode", "0", "--steps", "870", "--tone-ms",
                        "9631", "--tone-cycles", "0", "--end-freq", "15000", "--file", "big"};
    const std::string refused =
        "sweepwav-cli: The resulting file would be larger than 2 GB. Please reduce the number of steps, the tone "
        "duration, the sample rate, the word length or the number of channels.\n"
        "sweepwav-cli: 871 tones (--steps 870) of 9631 ms (--tone-ms) each at --rate 32000, --bits 16 and --channels "
        "4 come to more than the 2 GB a WAV file can hold\n";
    const Outcome fits = Run(Cat(sweep, {"--info"}));
    EXPECT_EQ(fits.exitCode, 0) << fits.err;
    EXPECT_NE(fits.out.find("(2147481900 bytes)"), std::string::npos) << fits.out;
    for (const Args& more : {Args{"--markers", "--info"}, Args{"--markers"}}) {
        const Outcome o = Run(Cat(sweep, more));
        EXPECT_EQ(o.exitCode, 2) << more.back();
        EXPECT_EQ(o.out + o.err, refused);
    }
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(Cli, PathsAreAbsoluteAndTheSameOnSuccessAndFailure) {
    const Args tone = {"--steps", "0", "--tone-ms", "1", "--file", "x"};
    const std::string file = (dir / "x.wav").string(), missing = (dir / "missing" / "x.wav").string();
    const struct {
        Args more;
        int exitCode;
        std::string finalLine;  // after the first status line
    } cases[] = {
        {{"-o", dir.string() + "/./"}, 0, "wrote " + file + " ("},
        {{"-o", dir.string() + "//"}, 0, "wrote " + file + " ("},
        {{"-o", dir.string() + "/missing/../missing//."}, 1,
         "Could not write the file " + missing + ": the folder " + dir.string() + "/missing/ does not exist\n"},
        {{"-o", dir.string() + "/.", "--plan", dir.string() + "//missing/./p.csv"}, 1,
         "Could not write the file " + (dir / "missing" / "p.csv").string() + ": the folder " + dir.string() +
             "/missing/ does not exist\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.more.back());
        const Outcome o = Run(Cat(tone, c.more), {.quiet = false, .intoDir = false});
        EXPECT_EQ(o.exitCode, c.exitCode);
        const std::string first = "sweepwav-cli: Setting up calculations\n";
        ASSERT_EQ(o.err.rfind(first, 0), 0u) << o.err;
        const std::size_t last = o.err.rfind("sweepwav-cli: ");
        EXPECT_EQ(o.err.substr(last + 14, c.finalLine.size()), c.finalLine) << o.err;
        fs::remove(file);
    }
}

TEST_F(Cli, FindsTheAnalyserInItsWinePrefix) {
    // A prefix as Wine makes it: the registry in user.reg, drives as links.
    const fs::path prefix = dir / "prefix", wavetables = prefix / "drive_c" / "Analyser" / "User Wavetables";
    fs::create_directories(prefix / "dosdevices");
    fs::create_directories(wavetables);
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    const auto userReg = [&](const std::string& value) {
        std::ofstream(prefix / "user.reg") << "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\n\n"
                                           << "[Software\\\\Corvalis\\\\Olvane\\\\Paths] 1700000000\n#time=1\n"
                                           << value << "\n";
    };
    const Args tone = {"--steps", "0", "--tone-ms", "1", "--tone-cycles", "0", "--shift-mode", "0", "--file", "w"};
    const How wine = {.quiet = false, .intoDir = false, .configHome = (dir / "config").string(),
                      .winePrefix = prefix.string()};

    userReg("\"Application directory\"=\"C:\\\\Analyser\"");
    const Outcome found = Run(tone, wine);
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(found.err.find("Couldn't find"), std::string::npos) << found.err;
    EXPECT_EQ(fs::file_size(wavetables / "w.wav"), 44u + 44 * 4);

    // The settings file, where there is one, decides alone.
    fs::create_directories(dir / "config" / "Corvalis");
    std::ofstream(dir / "config" / "Corvalis" / "Olvane.conf") << "[Paths]\nApplication%20directory=" << dir.string()
                                                                << "\n";
    fs::create_directory(dir / "User Wavetables");
    EXPECT_EQ(Run(tone, wine).exitCode, 0);
    EXPECT_TRUE(fs::exists(dir / "User Wavetables" / "w.wav"));
    fs::remove_all(dir / "config");

    // A drive without a link, or no value: the analyser is not found (said
    // before the entries are checked, here refused).
    for (const std::string value : {"\"Application directory\"=\"Q:\\\\Analyser\"", "\"Other\"=\"C:\\\\x\""}) {
        userReg(value);
        EXPECT_EQ(Run({"--steps", "x"}, wine).err.rfind("sweepwav-cli: Couldn't find Olvane installation path\n", 0), 0u);
    }
}

}  // namespace

namespace {

TEST_F(Cli, SettingsFilesGiveTheSameFileAsTheEntriesTyped) {
    const Args typed = Cat(kExample, {"--bits", "24", "--channels", "1", "--seed", "5", "--markers"});
    ASSERT_EQ(Run(Cat(typed, {"--file", "typed"})).exitCode, 0);

    // Saved without a run, then opened with options that change some entries.
    const std::string sweep = (dir / "a.sweep").string();
    const Outcome saved = Run(Cat(kExample, {"--start-freq", "500", "--no-dither", "--save-settings", sweep}),
                              {.intoDir = false});
    EXPECT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_EQ(ReadAll(sweep).find("start_freq = \"500\""), ReadAll(sweep).find("start_freq"));
    EXPECT_FALSE(fs::exists(dir / "filename.wav"));
    const Outcome opened = Run({"--settings", sweep, "--start-freq", "1000", "--dither", "--bits", "24",
                                "--channels", "1", "--seed", "5", "--markers", "--file", "opened"});
    EXPECT_EQ(opened.exitCode, 0) << opened.err;
    EXPECT_EQ(ReadAll(dir / "opened.wav"), ReadAll(dir / "typed.wav"));

    // A file that cannot be used is refused like an entry, and nothing is written.
    std::ofstream(dir / "bad.sweep") << "[Paths]\n";
    const Outcome refused = Run({"--settings", (dir / "bad.sweep").string(), "--file", "x"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err, "sweepwav-cli: Could not open the settings file " + (dir / "bad.sweep").string() +
                               ": it is not a sweepwav settings file.\n");
    EXPECT_FALSE(fs::exists(dir / "x.wav"));
}

}  // namespace

namespace {

TEST_F(Cli, ASettingsFileCannotAimAtAnotherFile) {
    // A shared settings file whose name would cut off the ".wav" or reach
    // another folder: refused with its file and line, and nothing is written.
    const fs::path sweep = dir.string() + ".sweep";
    ASSERT_EQ(Run({"--save-settings", sweep.string()}, {.intoDir = false}).exitCode, 0);
    const std::string good = ReadAll(sweep);
    std::ofstream(dir / "victim.txt") << "keep me";
    const std::string notAName = "name must be a file name without control characters, \"/\" or \"\\\", and not \"..\"";
    const std::pair<std::string, std::string> names[] = {
        {"\"victim.txt\\x00\"", notAName},
        {std::string("\"victim.txt\0\"", 13), "holds a NUL byte: it is a binary file, not a settings file"},
        {"\"../victim.txt\"", notAName},
        {"\"..\"", notAName}};
    for (const auto& [name, problem] : names) {
        SCOPED_TRACE(name);
        std::string text = good;
        text.replace(text.find("\"filename.wav\""), 14, name);
        std::ofstream(sweep, std::ios::binary) << text;
        const Outcome o = Run({"--settings", sweep.string(), "-o", (dir / "sub").string()});
        EXPECT_EQ(o.exitCode, 2);
        EXPECT_EQ(o.err, "sweepwav-cli: Could not open the settings file " + sweep.string() + ": line 22" +
                             (problem == notAName ? ": " : " ") + problem + ".\n");
        EXPECT_EQ(ReadAll(dir / "victim.txt"), "keep me");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
    }
    fs::remove(sweep);
}

TEST_F(Cli, StandardOutputCarriesOneStream) {
    // With the WAV on standard output the plan goes to its own file (saving
    // settings writes no WAV); a file that is standard output itself counts
    // as one more stream there, and two are refused.
    const Args tone = {"--steps", "1", "--tone-ms", "5", "--seed", "3", "--file"};
    ASSERT_EQ(Run(Cat(tone, {"w"})).exitCode, 0);
    const std::string plan = (dir / "p.csv").string(), linked = (dir / "stdout.csv").string();
    fs::create_symlink("/dev/stdout", linked);
    const Outcome wav = Run(Cat(tone, {"-", "--plan", plan}), {.intoDir = false});
    EXPECT_EQ(wav.exitCode, 0) << wav.err;
    EXPECT_TRUE(wav.out == ReadAll(dir / "w.wav"));
    EXPECT_EQ(ReadAll(plan).rfind("index,first_frame,", 0), 0u);
    const Outcome settings = Run(Cat(tone, {"-", "--save-settings", "/proc/self/fd/1"}), {.intoDir = false});
    EXPECT_EQ(settings.exitCode, 0) << settings.err;
    EXPECT_EQ(settings.out.rfind("# sweepwav settings", 0), 0u);
    const std::pair<Args, std::string> refused[] = {
        {{"--file", "-", "--plan", linked}, "--plan " + linked + " and --file -"},
        {{"--file", "-", "--plan", plan}, "--plan " + plan + " and --file -"},  // where standard output goes
        {{"--file", "-", "--plan", "-"}, "--plan - and --file -"},
        {{"--info", "--plan", linked}, "--plan " + linked + " and --info"},
        {{"-o", dir.string(), "--plan", linked, "--save-settings", "/dev/stdout"},
         "--plan " + linked + " and --save-settings /dev/stdout"}};
    for (const auto& [more, both] : refused) {
        SCOPED_TRACE(both);
        fs::remove(plan);
        const std::string out = more.back() == plan ? plan : "";
        const Outcome o = Run(Cat(Cat(tone, {"x"}), more), {.intoDir = false, .stdoutPath = out});
        EXPECT_EQ(o.exitCode, 2);
        EXPECT_EQ(o.err, "sweepwav-cli: " + both + " cannot both use standard output\n");
        EXPECT_EQ(o.out + ReadAll(plan), "");
    }
}

TEST_F(Cli, NamesThatAreNotFilesAreNeverReplaced) {
    // For each file the command line writes (the kinds themselves are in the
    // safe writer's tests): a FIFO is written through, a link to a socket is
    // refused, and each stays what it was.
    const Args tone = {"--steps", "1", "--tone-ms", "5", "--seed", "3", "-o", dir.string(), "--file", "w"};
    ASSERT_EQ(Run(tone).exitCode, 0);
    const fs::path nodes = dir / "nodes";
    const struct {
        Args more;
        fs::path name;
        std::string start;  // what the file starts with (the WAV: all of it)
    } writers[] = {{{"-o", nodes.string(), "--file", "t"}, nodes / "t.wav", ReadAll(dir / "w.wav")},
                   {{"--plan", (nodes / "t.csv").string()}, nodes / "t.csv", "index,first_frame,"},
                   {{"--save-settings", (nodes / "t").string()}, nodes / "t", "# sweepwav settings"}};
    for (const auto& writer : writers) {
        for (const bool fifo : {true, false}) {
            SCOPED_TRACE(writer.name.filename().string() + (fifo ? " at a FIFO" : " at a link to a socket"));
            fs::create_directory(nodes);
            ASSERT_TRUE(fifo ? mkfifo(writer.name.c_str(), 0644) == 0
                             : sweepwav::testing::MakeSocket(nodes / "s") && symlink("s", writer.name.c_str()) == 0);
            std::optional<sweepwav::testing::FifoReader> reader;
            if (fifo) reader.emplace(writer.name);
            const Outcome o = Run(Cat(tone, writer.more), {.intoDir = false});
            EXPECT_EQ(sweepwav::testing::KindAt(writer.name), fifo ? "FIFO" : "link");
            EXPECT_EQ(o.exitCode, fifo ? 0 : 1) << o.err;
            EXPECT_TRUE(fifo ? reader->read().rfind(writer.start, 0) == 0 : o.err.ends_with(": it is a socket, not a file\n"))
                << o.err;
            fs::remove_all(nodes);
        }
    }
}

}  // namespace
