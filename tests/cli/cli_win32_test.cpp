// Runs sweepwav-cli.exe itself on Windows (or Wine): what it prints, its exit
// statuses, the files it writes and what a failed write leaves, all as on
// Linux; file names and arguments beyond the ANSI code page.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/final_line.h"
#include "sweepwav_version.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::wstring>;

struct Outcome {
    DWORD exitCode;
    std::string out, err;
};

using sweepwav::testing::Cat;
using sweepwav::testing::ReadAll;

std::string Utf8(const fs::path& p) {
    const std::u8string text = p.u8string();
    return {text.begin(), text.end()};
}

// One argument as the C library and CommandLineToArgvW read it back.
std::wstring Quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, L'\\');
    return out + L"\"";
}

// The example of the Linux tests: 1000 Hz to 3000 Hz linear at -20 dBFS, 200 ms, 48 kHz.
const Args kExample = {L"--linear", L"--shift-mode", L"0", L"--rate", L"48000", L"--start-freq", L"1000",
                       L"--end-freq", L"3000", L"--start-level", L"-20", L"--end-level", L"-20",
                       L"--steps", L"2", L"--tone-cycles", L"0"};
const std::string kExampleReport =
    "The current settings will result a sweep \nwith 2 steps / 3 tones as follows:\n\n"
    "0:   1000Hz at -20dBFS for 200ms\n1:   2000Hz at -20dBFS for 200ms\n"
    "2:   3000Hz at -20dBFS for 200ms\n\nNominal frequency step = 1000Hz\n"
    "Amplitude step size = 0dB\nTotal Duration = 0.6s\nFile size = 112.54KB (115244 bytes)\n";

class WindowsCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("sweepwav-cli-" + std::to_string(GetCurrentProcessId()));
        fs::remove_all(dir);
        fs::create_directory(dir);
    }
    void TearDown() override {
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        fs::remove_all(dir);
    }

    struct How {
        bool quiet = true;    // add --quiet
        bool intoDir = true;  // add --output-dir dir
        std::wstring stdoutPath = {};  // where standard output goes instead of a file read back
        std::string interruptAt = {};  // press Ctrl-C once stderr shows this
        bool andAudioWritten = false;  // and the file being written holds audio (synthesis has begun)
    };

    // Whether a file in dir (the temporary file of a run) holds more than a header.
    bool AudioBeingWritten() {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(dir, error)) {
            if (entry.is_regular_file(error) && entry.file_size(error) > (1u << 20)) return true;
        }
        return false;
    }

    // Runs the program (next to this test program), by default into dir with --quiet.
    Outcome Run(const Args& more, const How& how) {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        Args args = more;
        if (how.intoDir) args.insert(args.begin(), {L"--output-dir", dir.wstring()});
        if (how.quiet) args.insert(args.begin(), L"--quiet");
        std::wstring line = Quoted((fs::path(self).parent_path() / "sweepwav-cli.exe").wstring());
        for (const auto& a : args) line += L" " + Quoted(a);

        const fs::path outFile = dir.wstring() + L".out", errFile = dir.wstring() + L".err";
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const auto open = [&](const fs::path& p) {
            return CreateFileW(p.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        };
        const HANDLE out = open(how.stdoutPath.empty() ? outFile : fs::path(how.stdoutPath));
        const HANDLE err = open(errFile);
        STARTUPINFOW start{};
        start.cb = sizeof start;
        start.dwFlags = STARTF_USESTDHANDLES;
        start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        start.hStdOutput = out;
        start.hStdError = err;
        PROCESS_INFORMATION process{};
        const BOOL started =
            CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &process);
        CloseHandle(out);
        CloseHandle(err);
        Outcome o{DWORD(-1), "", ""};
        if (started) {
            for (int ms = 0; !how.interruptAt.empty() && ms < 60000; ms += 5) {
                if (ReadAll(errFile).find(how.interruptAt) != std::string::npos &&
                    (!how.andAudioWritten || AudioBeingWritten())) {
                    // Ctrl-C reaches every program on the console: this one looks
                    // away from now on (the programs it starts later inherit that).
                    SetConsoleCtrlHandler(nullptr, TRUE);
                    EXPECT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
                    break;
                }
                if (WaitForSingleObject(process.hProcess, 5) == WAIT_OBJECT_0) break;
            }
            WaitForSingleObject(process.hProcess, INFINITE);
            GetExitCodeProcess(process.hProcess, &o.exitCode);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        o.out = ReadAll(outFile);
        o.err = ReadAll(errFile);
        fs::remove(outFile);
        fs::remove(errFile);
        return o;
    }
    Outcome Run(const Args& more) { return Run(more, How{}); }

    std::size_t Entries() { return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {})); }

    fs::path dir;
};

TEST_F(WindowsCli, PrintsAndExitsAsOnLinux) {
    struct Case {
        Args args;
        DWORD exitCode;
        std::string out, err;
    };
    const Case cases[] = {
        {{L"--info"}, 0, kExampleReport, ""},
        {{L"--auto-name", L"--info"}, 0, "SW 1kHz to 3kHz at -20dBFS.wav\n" + kExampleReport, ""},
        {{L"--steps", L"1001"}, 2, "",
         "sweepwav-cli: Please check the number of steps is between 0 and 1000\n"
         "sweepwav-cli: --steps \"1001\" is outside 0 to 1000\n"},
        {{L"--file", L"a/b"}, 2, "",
         "sweepwav-cli: The file name cannot contain path information.\n"
         "sweepwav-cli: --file \"a/b\" holds a folder: give the folder with -o DIR and only the name with --file\n"},
        {{L"--file", L"a\\b"}, 2, "",
         "sweepwav-cli: The file name cannot contain path information.\n"
         "sweepwav-cli: --file \"a\\b\" holds a folder: give the folder with -o DIR and only the name with --file\n"},
        {{L"--rate", L"44000"}, 2, "",
         "sweepwav-cli: --rate must be 32000, 44100, 48000, 96000 or 192000, not \"44000\"\n"},
        {{L"--info", L"--start-freq", L"abc"}, 2, "",
         "sweepwav-cli: Please check the start frequency is a valid number.\n"
         "sweepwav-cli: --start-freq \"abc\" is not a number: write it with a \".\" as decimal point and no units, as in 20, 1000 or 1e3\n"},
        {{L"--bogus"}, 2, "", "sweepwav-cli: unknown option --bogus (see --help)\n"},
        // The argument reaches the program whole, beyond the ANSI code page.
        {{L"--start-freq", L"\u266a\u00e9"}, 2, "",
         "sweepwav-cli: Please check the start frequency is a valid number.\n"
         "sweepwav-cli: --start-freq \"\xE2\x99\xAA\xC3\xA9\" is not a number: write it with a \".\" as decimal point and no units, as in 20, 1000 or 1e3\n"},
        {{L"stray \u266a"}, 2, "", "sweepwav-cli: unexpected argument \"stray \xE2\x99\xAA\" (see --help)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args.back().size()) + " " + std::to_string(c.exitCode));
        const Outcome o = Run(Cat(kExample, c.args));
        EXPECT_EQ(o.exitCode, c.exitCode);
        EXPECT_EQ(o.out, c.out);
        EXPECT_EQ(o.err, c.err);
        EXPECT_EQ(Entries(), 0u);
    }
    const Outcome help = Run({L"--help"}, {.quiet = false, .intoDir = false});
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_EQ(help.out.rfind("Usage: sweepwav-cli [OPTION]...\n", 0), 0u);
    EXPECT_EQ(help.out.find('\r'), std::string::npos);  // line ends as on Linux
    EXPECT_EQ(Run({L"-V"}, {.quiet = false, .intoDir = false}).out.rfind("sweepwav-cli 1.0.0\n", 0), 0u);
}

TEST_F(WindowsCli, WritesTheFileAndStandardOutputByteForByte) {
    const Args sweep = {L"--steps", L"100", L"--tone-ms", L"5", L"--seed", L"9", L"--file", L"s"};
    const Outcome chatty = Run(sweep, {.quiet = false});
    EXPECT_EQ(chatty.exitCode, 0u);
    // The final line names the file in the system's own form.
    const std::string head = "sweepwav-cli: Setting up calculations\nsweepwav-cli: wrote " + Utf8(dir / "s.wav") + " (";
    EXPECT_EQ(chatty.err.rfind(head, 0), 0u) << chatty.err;
    EXPECT_EQ(chatty.err.find('\r'), std::string::npos);
    const std::string file = ReadAll(dir / "s.wav");
    ASSERT_GT(file.size(), 10000u);
    EXPECT_EQ(file.compare(0, 4, "RIFF"), 0);

    // Standard output in binary: every 0x0A byte of the WAV stays alone.
    const fs::path piped = dir / "piped";
    const Outcome o = Run(Cat(sweep, {L"--file", L"-"}), {.intoDir = false, .stdoutPath = piped.wstring()});
    EXPECT_EQ(o.exitCode, 0u) << o.err;
    EXPECT_TRUE(ReadAll(piped) == file);
    // NUL is no terminal: the WAV goes there without a refusal.
    EXPECT_EQ(Run(Cat(sweep, {L"--file", L"-"}), {.intoDir = false, .stdoutPath = L"NUL"}).exitCode, 0u);

    // Names and folders beyond the ANSI code page.
    const fs::path folder = dir / u8"\u00dcbung \u266a";
    fs::create_directory(folder);
    const Outcome named = Run(Cat(sweep, {L"--file", L"Gr\u00fc\u00dfe \u266a", L"-o", folder.wstring()}),
                              {.quiet = false, .intoDir = false});
    EXPECT_EQ(named.exitCode, 0u) << named.err;
    const fs::path written = folder / u8"Gr\u00fc\u00dfe \u266a.wav";
    EXPECT_TRUE(ReadAll(written) == file);
    EXPECT_NE(named.err.find("sweepwav-cli: wrote " + Utf8(written) + " ("), std::string::npos) << named.err;
}

TEST_F(WindowsCli, FailedWritesExitWithOneAndKeepTheOldFile) {
    const std::string old(300000, 'Q');
    std::ofstream(dir / "x.wav", std::ios::binary) << old;
    std::ofstream(dir / "locked.wav", std::ios::binary) << old;
    SetFileAttributesW((dir / "locked.wav").c_str(), FILE_ATTRIBUTE_READONLY);
    fs::create_directory(dir / "folder.wav");
    const Args tone = {L"--steps", L"0", L"--tone-cycles", L"0", L"--shift-mode", L"0", L"--tone-ms", L"100"};
    const struct {
        fs::path folder;
        std::wstring name;
    } cases[] = {
        {dir / "missing", L"x"},
        {dir, L"locked"},
        {dir, L"folder"},
        {dir, std::wstring(252, L'n')},
        {dir, L"con"},  // a device, not a file
    };
    const std::size_t before = Entries();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.substr(0, 10));
        const Outcome o = Run(Cat(tone, {L"--file", c.name, L"--output-dir", c.folder.wstring()}));
        EXPECT_EQ(o.exitCode, 1u);
        const std::string head =
            "sweepwav-cli: Could not write the file " + Utf8(c.folder / (c.name + L".wav")) + ": ";
        EXPECT_EQ(o.err.rfind(head, 0), 0u) << o.err;
        EXPECT_GT(o.err.size(), head.size() + 5);  // the system's reason follows, on the same line
        EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << o.err;
        EXPECT_EQ(Entries(), before);  // no temporary file left behind
    }
    EXPECT_EQ(ReadAll(dir / "x.wav"), old);
    EXPECT_EQ(ReadAll(dir / "locked.wav"), old);

    // A good write replaces the longer file whole.
    ASSERT_EQ(Run(Cat(tone, {L"--file", L"x", L"--tone-ms", L"10"})).exitCode, 0u);
    EXPECT_EQ(fs::file_size(dir / "x.wav"), 44u + 441 * 4);
}

// A console of the test's own, as a person would run the program in, and
// what it shows, read back character by character: row after row, each the
// console's width (so a line that wrapped reads on). None where Wine gives
// no console that can be read (without a display).
class ConsoleScreen {
public:
    ConsoleScreen() {
        FreeConsole();
        if (!AllocConsole()) return;
        screen_ = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
        CONSOLE_SCREEN_BUFFER_INFO info{};
        if (GetConsoleScreenBufferInfo(screen_, &info)) width_ = info.dwSize.X;
    }
    ~ConsoleScreen() {
        if (screen_ != INVALID_HANDLE_VALUE) CloseHandle(screen_);
        FreeConsole();
    }
    std::size_t width() const { return width_; }
    std::wstring text() const {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        GetConsoleScreenBufferInfo(screen_, &info);
        std::wstring rows(width_ * (info.dwCursorPosition.Y + 1u), L' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen_, rows.data(), static_cast<DWORD>(rows.size()), COORD{0, 0}, &read);
        return rows;
    }

private:
    HANDLE screen_ = INVALID_HANDLE_VALUE;
    std::size_t width_ = 0;
};

// The console shows what the program means, whatever it takes: names as
// typed, the progress bar redrawn in place without a cursor sequence shown
// as text, and no old text after the run's last status.
TEST_F(WindowsCli, TheConsoleShowsNamesAsTypedAndTheBarWithoutLeftOvers) {
    const ConsoleScreen console;
    if (console.width() == 0) GTEST_SKIP() << "no console to read back";
    const struct {
        Args args;
        std::wstring shown;
    } cases[] = {
        {{L"--steps", L"40", L"--tone-ms", L"20", L"--file", L"Gr\u00fc\u00dfe \u266a", L"-o", dir.wstring()},
         L"sweepwav-cli: wrote " + (dir / L"Gr\u00fc\u00dfe \u266a.wav").wstring() + L" ("},
        {{L"--start-freq", L"\u266a\u00e9", L"--info"},
         L"sweepwav-cli: --start-freq \"\u266a\u00e9\" is not a number"},
    };
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    for (const auto& c : cases) {
        std::wstring line = Quoted((fs::path(self).parent_path() / "sweepwav-cli.exe").wstring());
        for (const auto& a : c.args) line += L" " + Quoted(a);
        STARTUPINFOW start{};
        start.cb = sizeof start;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process));
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        EXPECT_NE(console.text().find(c.shown), std::wstring::npos) << Utf8(console.text());
    }
    const std::wstring shown = console.text();
    EXPECT_EQ(shown.find(L'\x1b'), std::wstring::npos) << Utf8(shown);
    EXPECT_EQ(shown.find(L"[K"), std::wstring::npos) << Utf8(shown);
    // The bar's last status, and blanks to the end of its row.
    const std::size_t done = shown.find(L"] Done in ");
    ASSERT_NE(done, std::wstring::npos) << Utf8(shown);
    const std::size_t end = shown.find(L" seconds", done) + 8, rowEnd = (done / console.width() + 1) * console.width();
    EXPECT_EQ(shown.find_first_not_of(L' ', end), rowEnd) << Utf8(shown.substr(done, rowEnd - done));
}

// Explorer's Properties and the system read the program's version and its
// manifest: the UTF-8 code page and paths beyond 260 characters.
TEST(WindowsProgram, CarriesItsVersionAndManifest) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring program = (fs::path(self).parent_path() / "sweepwav-cli.exe").wstring();
    DWORD handle = 0;
    std::vector<char> info(GetFileVersionInfoSizeW(program.c_str(), &handle));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    wchar_t* version = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\FileVersion",
                               reinterpret_cast<void**>(&version), &length));
    EXPECT_EQ(Utf8(version), SWEEPWAV_VERSION);

    const HMODULE image = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    const HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(image, found))),
                               SizeofResource(image, found));
    FreeLibrary(image);
    EXPECT_NE(manifest.find(">UTF-8</activeCodePage>"), std::string::npos) << manifest;
    EXPECT_NE(manifest.find(">true</longPathAware>"), std::string::npos) << manifest;
}

// Also end to end, from the registry, in tools/windows-checks.sh.
TEST(WindowsPaths, NetworkAndLongFoldersAreKeptAsGiven) {
    const fs::path here = fs::current_path();
    const std::string drive = Utf8(here.root_name());  // "C:" or "Z:"
    const struct {
        std::string given, folder;
    } cases[] = {
        {"\\\\server\\share\\Olvane\\User Wavetables", "\\\\server\\share\\Olvane\\User Wavetables\\"},
        {"\\\\localhost\\C$\\Olvane\\", "\\\\localhost\\C$\\Olvane\\"},
        {"//server/share/Olvane", "\\\\server\\share\\Olvane\\"},
        {"\\\\?\\C:\\Olvane", "\\\\?\\C:\\Olvane\\"},
        {"\\\\?\\UNC\\server\\share\\Olvane", "\\\\?\\UNC\\server\\share\\Olvane\\"},
        // Others are made absolute and tidy, as before.
        {"C:\\a\\..\\b\\.\\", "C:\\b\\"},
        {"\\Olvane", drive + "\\Olvane\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sweepwav::AbsoluteNormalFolder(c.given), c.folder) << c.given;
    }
    EXPECT_EQ(sweepwav::AbsoluteNormalFile("\\\\server\\share\\p.csv"), "\\\\server\\share\\p.csv");
}

TEST_F(WindowsCli, CtrlCAbortsAndStillWritesTheFile) {
    // Wine gives a program started without a terminal no console to press keys on.
    if (GetConsoleWindow() == nullptr) GTEST_SKIP() << "no console";
    // 1001 tones of 200 ms at 192 kHz: long enough to interrupt once synthesis
    // has begun (before it, Ctrl-C ends the run with nothing written).
    const Outcome o = Run({L"--rate", L"192000", L"--channels", L"1", L"--steps", L"1000", L"--tone-ms", L"200",
                           L"--tone-cycles", L"0", L"--shift-mode", L"0", L"--no-dither", L"--file", L"long"},
                          {.quiet = false, .interruptAt = "Setting up calculations", .andAudioWritten = true});
    EXPECT_EQ(o.exitCode, 130u) << o.err;
    EXPECT_NE(o.err.find("sweepwav-cli: aborted at sweep step "), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("long.wav written at full length, silent from there\n"), std::string::npos) << o.err;
    EXPECT_EQ(fs::file_size(dir / "long.wav"), 44u + 1001u * 38400 * 2);
}

}  // namespace
