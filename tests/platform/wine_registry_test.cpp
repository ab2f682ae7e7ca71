// The analyser's value in a Wine prefix: user.reg files as Wine writes them,
// and Windows paths through the prefix's drive links.
#include "platform/wine_registry.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <cstring>
#include <string>

namespace {

namespace fs = std::filesystem;
using sweepwav::FindUserRegistryText;

constexpr const char* kKey = "Software\\Corvalis\\Olvane\\Paths";
constexpr const char* kValue = "Application directory";

// A user.reg around the lines given for the analyser's key, with the
// neighbours Wine writes: a parent key holding a value of the same name, a
// sub-key, and long data split over lines.
std::string UserReg(const std::string& keyLines, const std::string& header = "WINE REGISTRY Version 2") {
    return header +
           "\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n\n"
           "[Software\\\\Corvalis\\\\Olvane] 1700000000\n#time=1da0\n\"Application directory\"=\"C:\\\\Parent\"\n\n" +
           keyLines +
           "\n[Software\\\\Corvalis\\\\Olvane\\\\Paths\\\\Old] 1700000000\n"
           "\"Application directory\"=\"C:\\\\Old\"\n\n"
           "[Software\\\\Wine\\\\Fonts] 1700000000\n\"Cache\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,\\\n"
           "  0e,0f,10\n";
}

std::string Crlf(std::string text) {
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) text.insert(at, 1, '\r');
    return text;
}

std::string PathsKey(const std::string& values) {
    return "[Software\\\\Corvalis\\\\Olvane\\\\Paths] 1700000000\n#time=1da0\n\"Other\"=dword:00000001\n"
           "@=\"the default\"\n" + values;
}

TEST(WineRegistry, FindsTheValueAsWineWritesIt) {
    struct Case {
        const char* what;
        std::string content;
        std::string found;  // the text; or the start of the failure
        bool ok = true;
    };
    const Case cases[] = {
        {"found", UserReg(PathsKey("\"Application directory\"=\"C:\\\\Program Files\\\\Olvane\"\n")),
         "C:\\Program Files\\Olvane"},
        {"names in another case",
         UserReg("[software\\\\CORVALIS\\\\olvane\\\\pATHS] 1\n\"APPLICATION Directory\"=\"D:\\\\A\"\n"), "D:\\A"},
        {"empty value", UserReg(PathsKey("\"Application directory\"=\"\"\n")), ""},
        {"expandable string", UserReg(PathsKey("\"Application directory\"=str(2):\"%ProgramFiles%\\\\O\"\n")),
         "%ProgramFiles%\\O"},
        {"CR LF", Crlf(UserReg(PathsKey("\"Application directory\"=\"C:\\\\Crlf\"\n"))), "C:\\Crlf"},
        {"escapes",
         UserReg(PathsKey("\"Application directory\"=\"C:\\\\\\xe4\\\"q\\\"\\t\\101\\q\\x00e9f\\xd83c\\xdfb5\\xd83c\"\n")),
         "C:\\\xC3\xA4\"q\"\tAq\xC3\xA9" "f\xF0\x9F\x8E\xB5\xEF\xBF\xBD"},
        {"escaped quote in the name", UserReg(PathsKey("\"Application \\\"directory\\\"\"=\"no\"\n"
                                                       "\"Application directory\"=\"yes\"\n")), "yes"},
        {"written twice: the later holds", UserReg(PathsKey("\"Application directory\"=\"C:\\\\One\"\n") +
                                                   "\n" + PathsKey("\"Application directory\"=\"C:\\\\Two\"\n")),
         "C:\\Two"},
        {"no such key", UserReg(""), "Invalid", false},
        {"no such value", UserReg(PathsKey("\"Application folder\"=\"C:\\\\X\"\n")), "Invalid", false},
        {"a number", UserReg(PathsKey("\"Application directory\"=dword:00000010\n")), "Type mismatch", false},
        {"bytes", UserReg(PathsKey("\"Application directory\"=hex:43,00,3a,00\n")), "Type mismatch", false},
        {"not a registry file", UserReg(PathsKey("\"Application directory\"=\"C:\\\\X\"\n"), "REGEDIT4"),
         "Invalid", false},
        {"unterminated text", UserReg(PathsKey("\"Application directory\"=\"C:\\\\X\n")), "Invalid", false},
        {"unterminated key", UserReg("[Software\\\\Corvalis\\\\Olvane\\\\Paths 1\n\"Application directory\"=\"X\""),
         "Invalid", false},
        {"empty file", "", "Invalid", false},
        // Text Wine could not write as a string: without its final NUL, or of
        // an odd length; and NUL characters, which no folder holds.
        {"text written as bytes", UserReg(PathsKey("\"Application directory\"=hex(1):43,00,3a,00,5c,00,41,00,00,00\n")),
         "C:\\A"},
        {"text without its final NUL", UserReg(PathsKey("\"Application directory\"=hex(2):43,00,3a,00,3c,d8,b5,df\n")),
         "C:\xF0\x9F\x8E\xB5"},
        {"bytes split over lines", UserReg(PathsKey("\"Application directory\"=hex(1):43,00,\\\n  3a,00,00,00\n")), "C:"},
        {"an odd number of bytes", UserReg(PathsKey("\"Application directory\"=hex(1):43,00,3a\n")), "Type mismatch",
         false},
        {"a NUL among the bytes", UserReg(PathsKey("\"Application directory\"=hex(1):43,00,00,00,41,00,00,00\n")),
         "Type mismatch", false},
        {"an escaped NUL", UserReg(PathsKey("\"Application directory\"=\"C:\\\\Olvane\\0\\\\x\"\n")), "Type mismatch",
         false},
        {"a NUL byte", UserReg(PathsKey("\"Application directory\"=\"C:\\\\Olvane" + std::string(1, '\0') + "x\"\n")),
         "Type mismatch", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = FindUserRegistryText(c.content, kKey, kValue);
        ASSERT_EQ(result.ok(), c.ok) << result.reason();
        if (c.ok) {
            EXPECT_EQ(result.value(), c.found);
        } else {
            EXPECT_EQ(result.reason().rfind(c.found, 0), 0u) << result.reason();
        }
    }
}

class WinePrefix : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "sweepwav-wine-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        prefix = pattern;
        fs::create_directories(prefix / "dosdevices");
        fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
        fs::create_directory_symlink("/", prefix / "dosdevices" / "z:");
        fs::create_directory_symlink("/mnt/data/", prefix / "dosdevices" / "d:");
    }
    void TearDown() override { fs::remove_all(prefix); }

    fs::path prefix;
};

TEST(WinePrefixFolder, FromTheEnvironment) {
    const struct {
        const char *prefix, *home, *folder;  // nullptr: not set
    } cases[] = {
        {"/p", "/h", "/p"},
        {nullptr, "/h", "/h/.wine"},
        {"", "/h", "/h/.wine"},  // empty is not set
        {"", "", ""},
        {nullptr, nullptr, ""},
    };
    const auto set = [](const char* name, const char* value) {
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    };
    const std::string home = getenv("HOME") ? getenv("HOME") : "";
    for (const auto& c : cases) {
        set("WINEPREFIX", c.prefix);
        set("HOME", c.home);
        EXPECT_EQ(sweepwav::WinePrefix(), c.folder) << (c.prefix ? c.prefix : "(unset)");
    }
    unsetenv("WINEPREFIX");
    setenv("HOME", home.c_str(), 1);
}

TEST_F(WinePrefix, MapsWindowsPathsThroughTheDriveLinks) {
    const std::string p = prefix.string();
    fs::create_directories(prefix / "drive_c" / "Olvane" / "User Wavetables");
    const struct {
        const char* windows;
        std::string linux;  // empty: no such path in the prefix
    } cases[] = {
        {"C:\\Program Files\\Olvane", p + "/drive_c/Program Files/Olvane"},
        {"c:/Mixed\\Separators", p + "/drive_c/Mixed/Separators"},
        {"C:", p + "/drive_c"},
        {"C:Relative", p + "/drive_c/Relative"},
        {"D:\\Analyser\\", "/mnt/data/Analyser/"},  // the trailing separator stays
        {"Z:\\home\\me", "/home/me"},
        {"Z:\\", "/"},
        // As Wine finds them: never above the drive's root, and in any
        // letter case down to the first part that is not there.
        {"C:\\..\\..\\..\\tmp\\x", p + "/drive_c/tmp/x"},
        {"C:\\a\\.\\\\b\\..\\c", p + "/drive_c/a/c"},
        {"Z:\\..\\home\\me", "/home/me"},
        {"c:\\olvane\\user wavetables", p + "/drive_c/Olvane/User Wavetables"},
        {"C:\\OLVANE\\New\\user wavetables", p + "/drive_c/Olvane/New/user wavetables"},
        {"C:\\Olvane\\..\\OLVANE\\", p + "/drive_c/Olvane/"},
        {"E:\\No link", ""},
        {"\\\\server\\share", ""},
        {"Analyser", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.windows);
        const auto mapped = sweepwav::LinuxPathInPrefix(p, c.windows);
        if (c.linux.empty()) {
            ASSERT_FALSE(mapped.ok()) << mapped.value();
            EXPECT_EQ(mapped.reason().rfind("Invalid", 0), 0u) << mapped.reason();
        } else {
            ASSERT_TRUE(mapped.ok()) << mapped.reason();
            EXPECT_EQ(mapped.value(), c.linux);
        }
    }
}

TEST_F(WinePrefix, ReadsTheValueFromUserReg) {
    const std::string full = "HKCU\\Software\\Corvalis\\Olvane\\Paths\\Application directory";
    const auto read = [&](const std::string& content) {
        std::ofstream(prefix / "user.reg", std::ios::binary) << content;
        return sweepwav::ReadWineSetting(prefix.string(), full);
    };
    const auto value = read(UserReg(PathsKey("\"Application directory\"=\"C:\\\\Analyser\"\n")));
    ASSERT_TRUE(value && value->ok());
    EXPECT_EQ(value->value(), prefix.string() + "/drive_c/Analyser");

    // Not text: the value is there, and says so.
    const auto number = read(UserReg(PathsKey("\"Application directory\"=dword:00000001\n")));
    ASSERT_TRUE(number);
    EXPECT_EQ(number->reason().rfind("Type mismatch", 0), 0u);

    // Nothing: no value, a drive without a link, no user.reg, no prefix.
    EXPECT_FALSE(read(UserReg("")));
    EXPECT_FALSE(read(UserReg(PathsKey("\"Application directory\"=\"Q:\\\\Analyser\"\n"))));
    fs::remove(prefix / "user.reg");
    EXPECT_FALSE(sweepwav::ReadWineSetting(prefix.string(), full));
    EXPECT_FALSE(sweepwav::ReadWineSetting((prefix / "missing").string(), full));
    EXPECT_FALSE(sweepwav::ReadWineSetting("", full));
}

TEST_F(WinePrefix, UserRegIsLookedAtBeforeItIsRead) {
    // Each read runs in a process of its own that must answer within ten
    // seconds: a wait for ever, a crash or an exception fails the case.
    const std::string full = "HKCU\\Software\\Corvalis\\Olvane\\Paths\\Application directory";
    const std::string good = UserReg(PathsKey("\"Application directory\"=\"C:\\\\Analyser\"\n"));
    const fs::path reg = prefix / "user.reg";
    const auto fill = [&](std::uintmax_t size) {
        std::ofstream(reg, std::ios::binary) << good;
        fs::resize_file(reg, size);  // sparse: the rest reads as NUL bytes
    };
    const struct {
        const char* what;
        std::function<void()> plant;
        const char* outcome;  // "found", "nothing"
    } cases[] = {
        {"a regular file", [&] { std::ofstream(reg, std::ios::binary) << good; }, "found"},
        {"as large as is read", [&] { fill(sweepwav::kLargestUserReg); }, "found"},
        {"a million empty lines", [&] { std::ofstream(reg, std::ios::binary) << good << std::string(1 << 20, '\n'); },
         "found"},
        {"a FIFO", [&] { mkfifo(reg.c_str(), 0644); }, "nothing"},
        {"a link to a FIFO", [&] { mkfifo((prefix / "f").c_str(), 0644), fs::create_symlink("f", reg); }, "nothing"},
        {"/dev/zero", [&] { fs::create_symlink("/dev/zero", reg); }, "nothing"},
        {"/dev/urandom", [&] { fs::create_symlink("/dev/urandom", reg); }, "nothing"},
        {"a folder", [&] { fs::create_directory(reg); }, "nothing"},
        {"one byte too large", [&] { fill(sweepwav::kLargestUserReg + 1); }, "nothing"},
        {"a 3 GB sparse file", [&] { fill(std::uintmax_t(3) << 30); }, "nothing"},
        {"one line of 30 MB", [&] { std::ofstream(reg, std::ios::binary) << std::string(30 << 20, 'x'); }, "nothing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(reg), fs::remove(prefix / "f");
        c.plant();
        int answer[2];
        ASSERT_EQ(pipe(answer), 0);
        const pid_t pid = fork();
        if (pid == 0) {
            alarm(10);
            const auto read = sweepwav::ReadWineSetting(prefix.string(), full);
            const char* said = !read ? "nothing" : read->ok() ? "found" : "not text";
            _exit(write(answer[1], said, std::strlen(said)) > 0 ? 0 : 3);
        }
        close(answer[1]);
        char said[16] = {};
        const ssize_t n = read(answer[0], said, sizeof said - 1);
        close(answer[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        EXPECT_EQ(std::string(said, n > 0 ? static_cast<std::size_t>(n) : 0), c.outcome);
    }
}

}  // namespace
