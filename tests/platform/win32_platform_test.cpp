// The Win32 services on a real Windows (or Wine): the registry read and the
// safe file writer, with the failures a user can meet.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/safe_file.h"
#include "platform/system_services.h"
#include "platform/temporary_files.h"

#include "support/files.h"

namespace {

namespace fs = std::filesystem;

// A key of the tests' own: the analyser's real key is never touched.
constexpr const wchar_t* kTestKey = L"Software\\sweepwav-tests\\Olvane\\Paths";
constexpr const char* kTestPath = "HKCU\\Software\\sweepwav-tests\\Olvane\\Paths\\";

TEST(Win32Registry, ReadsTextValuesOnly) {
    struct Case {
        const char* value;
        DWORD type;  // 0: no such value
        std::wstring data;
        std::string expected;  // the text; or the start of the failure
        bool ok = true;
        const char* stored = "";  // "odd": one byte more; "unended": without the final NUL
    };
    const std::wstring longPath = L"D:\\" + std::wstring(600, L'x');
    const Case cases[] = {
        {"text", REG_SZ, L"D:\\Analyser", "D:\\Analyser"},
        {"trailing backslash", REG_SZ, L"D:\\Analyser\\", "D:\\Analyser\\"},
        {"empty", REG_SZ, L"", ""},
        {"letters", REG_SZ, L"C:\\Gr\u00fc\u00dfe \u266a", "C:\\Gr\xC3\xBC\xC3\x9F" "e \xE2\x99\xAA"},
        {"long", REG_SZ, longPath, "D:\\" + std::string(600, 'x')},
        {"expandable", REG_EXPAND_SZ, L"%ProgramFiles%\\Olvane", "%ProgramFiles%\\Olvane"},
        {"number", REG_DWORD, L"", "Type mismatch", false},
        {"bytes", REG_BINARY, L"C:", "Type mismatch", false},
        {"list", REG_MULTI_SZ, L"C:\\A", "Type mismatch", false},
        {"missing", 0, L"", "Invalid", false},
        // As Wine stores such text in the prefix, and read as there: text
        // without its final NUL is text; an odd number of bytes or a NUL
        // within is not.
        {"unended", REG_SZ, L"D:\\A", "D:\\A", true, "unended"},
        {"odd", REG_SZ, L"D:\\A", "Type mismatch", false, "odd"},
        {"NUL within", REG_SZ, std::wstring(L"D:\\A\0B", 6), "Type mismatch", false},
        {"NUL within, expandable", REG_EXPAND_SZ, std::wstring(L"%A%\0B", 5), "Type mismatch", false},
    };
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const Case& c : cases) {
        const std::wstring name(c.value, c.value + std::strlen(c.value));
        if (c.type == REG_DWORD) {
            const DWORD number = 7;
            RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
        } else if (c.type != 0) {
            std::wstring data = c.data;
            if (std::strcmp(c.stored, "unended") != 0) data.push_back(L'\0');
            if (c.type == REG_MULTI_SZ) data.push_back(L'\0');
            const DWORD odd = std::strcmp(c.stored, "odd") == 0 ? 1 : 0;
            RegSetValueExW(key, name.c_str(), 0, c.type, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size() * sizeof(wchar_t)) + odd);
        }
    }
    RegCloseKey(key);

    sweepwav::SystemServices services;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const auto read = services.read_setting(kTestPath + std::string(c.value));
        ASSERT_EQ(read.ok(), c.ok) << read.reason();
        if (c.ok) {
            EXPECT_EQ(read.value(), c.expected);
        } else {
            EXPECT_EQ(read.reason().rfind(c.expected, 0), 0u) << read.reason();
        }
    }
    // A key that is not there at all is not found either.
    const auto noKey = services.read_setting("HKCU\\Software\\sweepwav-tests\\Nothing\\Application directory");
    EXPECT_EQ(noKey.reason().rfind("Invalid", 0), 0u) << noKey.reason();
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\sweepwav-tests");
}

using sweepwav::testing::ReadAll;

// Folders in the long form (\\?\...), which the C++ library does not reach
// past 260 characters.
std::wstring Long(const fs::path& p) { return L"\\\\?\\" + p.wstring(); }

std::size_t Entries(const fs::path& folder) {
    std::size_t count = 0;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((Long(folder) + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        count += std::wcscmp(found.cFileName, L".") != 0 && std::wcscmp(found.cFileName, L"..") != 0;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

void RemoveTree(const fs::path& folder) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((Long(folder) + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (std::wcscmp(found.cFileName, L".") == 0 || std::wcscmp(found.cFileName, L"..") == 0) continue;
            const fs::path entry = folder / found.cFileName;
            SetFileAttributesW(Long(entry).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(entry);
            } else {
                DeleteFileW(Long(entry).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(Long(folder).c_str());
}

class Win32SafeFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("sweepwav-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64()));
        fs::create_directory(dir);
    }
    void TearDown() override { RemoveTree(dir); }

    // Writes text through the safe writer and commits it, as a run does.
    sweepwav::Status Write(const fs::path& path, const std::string& text) {
        auto file = sweepwav::CreateSafeFile(reinterpret_cast<const char*>(path.u8string().c_str()));
        if (!file) return file.status();
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
        if (auto written = file.value()->write({bytes, text.size()}); !written) return written;
        return file.value()->commit();
    }

    std::size_t Entries() { return ::Entries(dir); }

    fs::path dir;
};

// Refusals (no folder, a folder or a read-only file at the name, too long a
// name) are checked through the program itself, in the command line's tests.
TEST_F(Win32SafeFile, AnUnfinishedFileLeavesTheOldOneAsItWas) {
    const fs::path old = dir / "old.wav";
    std::ofstream(old, std::ios::binary) << "old";
    const std::size_t before = Entries();

    // Given up before commit, or the temporary file removed from outside (a
    // second Ctrl-C, the console closing): the old file stays as it was.
    const std::uint8_t bytes[] = {'n', 'e', 'w'};
    for (const bool removed : {false, true}) {
        auto file = sweepwav::CreateSafeFile(old.string());
        ASSERT_TRUE(file.ok()) << file.reason();
        ASSERT_TRUE(file.value()->write(bytes).ok());
        EXPECT_EQ(Entries(), before + 1);  // the temporary file
        if (removed) {
            // Gone from under the open file (at once, or once it is closed):
            // there is nothing left to put in place.
            sweepwav::RemoveTemporaryFiles();
            EXPECT_FALSE(file.value()->commit().ok());
        }
    }
    EXPECT_EQ(ReadAll(old), "old");
    EXPECT_EQ(Entries(), before);
}

TEST_F(Win32SafeFile, PathsLongerThanWindowsAddressesAreRefused) {
    // A path in the long form takes at most 32767 characters, the temporary
    // file's (the folder and 18 characters) included; beyond, its length
    // would wrap and name another file: dir\victim.txt for a file 32768
    // characters past it. Each is refused before anything is made, and
    // dir\victim.txt stays as it was.
    std::ofstream(dir / "victim.txt") << "keep me";
    const std::size_t longDir = Long(dir).size() + 1;  // \\?\ + dir + "\"
    const struct {
        const char* what;
        std::size_t letters;  // after dir\victim.txt, before \out.wav
        std::size_t needed;   // 0: within the limit
    } cases[] = {
        {"at the limit", 32767 - 18 - 1 - longDir - 10, 0},
        {"a character over", 32768 - 18 - 1 - longDir - 10, 32768},
        {"over onto dir\\victim.txt", 32760, longDir + 10 + 32760 + 1 + 18},
        {"far over", 100000, longDir + 10 + 100000 + 1 + 18},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path path = dir / (L"victim.txt" + std::wstring(c.letters, L'a')) / "out.wav";
        const sweepwav::Status written = Write(path, "RIFF new");
        EXPECT_FALSE(written.ok());
        const std::string refusal = "the path is too long: writing it takes a path of " + std::to_string(c.needed) +
                                    " characters, and Windows addresses at most 32767";
        if (c.needed == 0) {
            EXPECT_EQ(written.reason().find("too long"), std::string::npos) << written.reason();
        } else {
            EXPECT_EQ(written.reason(), refusal);
        }
        EXPECT_EQ(ReadAll(dir / "victim.txt"), "keep me");
        EXPECT_EQ(Entries(), 1u);
    }
}

TEST_F(Win32SafeFile, WritesAndReplacesWholeFiles) {
    const struct {
        fs::path path;
        std::string old;  // empty: no file there before
    } cases[] = {
        {dir / "new.wav", ""},
        {dir / "replaced.wav", std::string(100000, 'Q')},
        {dir / u8"Gr\u00fc\u00dfe \u266a.wav", ""},
        // Past the 260 characters of a plain path.
        {dir / std::string(200, 'a') / std::string(200, 'b') / "deep.wav", "old"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.filename().wstring().size());
        for (fs::path folder = dir; const fs::path& part : c.path.parent_path().lexically_relative(dir)) {
            folder /= part;
            CreateDirectoryW(Long(folder).c_str(), nullptr);
        }
        const fs::path wide = Long(c.path);
        if (!c.old.empty()) std::ofstream(wide, std::ios::binary) << c.old;
        ASSERT_TRUE(Write(c.path, "RIFF new").ok());
        EXPECT_EQ(ReadAll(wide), "RIFF new");
        EXPECT_EQ(::Entries(c.path.parent_path()), 1u);
        DeleteFileW(wide.c_str());
    }

    // Zeros at the end without writing them.
    auto file = sweepwav::CreateSafeFile((dir / "zeros.wav").string());
    ASSERT_TRUE(file.ok());
    const std::uint8_t head[] = {1, 2, 3};
    ASSERT_TRUE(file.value()->write(head).ok());
    ASSERT_TRUE(file.value()->write_zeros(5).ok());
    ASSERT_TRUE(file.value()->commit().ok());
    EXPECT_EQ(ReadAll(dir / "zeros.wav"), std::string("\1\2\3\0\0\0\0\0", 8));
}

TEST_F(Win32SafeFile, LeftoversOfEndedRunsAreRemoved) {
    // A temporary file that a run left (killed, or by a power cut) is
    // removed by the next write into its folder, once nobody has written to
    // it for ten minutes and no process has it open; nothing else is.
    const struct {
        const wchar_t* name;
        int minutesOld;
        bool heldOpen;  // by a process still running (this one)
        bool folder;
        bool removed;
    } cases[] = {
        {L".sweepwav-abcd1234", 11, false, false, true},
        {L".sweepwav-abcd1234", 9, false, false, false},
        {L".sweepwav-abcd1234", 11, true, false, false},
        {L".sweepwav-abcd1234", 11, false, true, false},
        {L".sweepwav-abcd123", 11, false, false, false},
        {L".sweepwav-abcd12345", 11, false, false, false},
        {L".sweepwav-abcd-234", 11, false, false, false},
        {L"sweepwav-abcd1234", 11, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << fs::path(c.name).string() << " " << c.minutesOld << " min"
                                          << (c.heldOpen ? ", open" : "") << (c.folder ? ", a folder" : ""));
        RemoveTree(dir);
        fs::create_directory(dir);
        const fs::path leftover = dir / c.name;
        if (c.folder) {
            fs::create_directory(leftover);
        } else {
            std::ofstream(leftover, std::ios::binary) << "leftover";
        }
        // Opened as a run holds its temporary file.
        const HANDLE handle = CreateFileW(leftover.c_str(), c.folder ? FILE_WRITE_ATTRIBUTES : GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        FILETIME now{};
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER then{{now.dwLowDateTime, now.dwHighDateTime}};
        then.QuadPart -= ULONGLONG(c.minutesOld) * 60 * 10'000'000;
        const FILETIME old{then.LowPart, then.HighPart};
        ASSERT_TRUE(SetFileTime(handle, nullptr, nullptr, &old));
        if (!c.heldOpen) CloseHandle(handle);
        EXPECT_TRUE(Write(dir / "t.wav", "new").ok());
        if (c.heldOpen) CloseHandle(handle);
        EXPECT_EQ(fs::exists(leftover), !c.removed);
        EXPECT_EQ(ReadAll(dir / "t.wav"), "new");
    }
}

}  // namespace
