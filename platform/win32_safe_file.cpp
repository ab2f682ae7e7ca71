// Safe replacement on Windows: the new content goes to a temporary file in
// the target's folder, which is moved over the name (with write-through)
// only once complete. Paths reach the system in their long form, so that
// neither the 260-character limit nor a name's trailing dots or blanks get
// in the way.
#include "platform/safe_file.h"

#include <algorithm>
#include <optional>
#include <random>
#include <string_view>
#include <vector>

#include "platform/temporary_files.h"
#include "win32_io.h"

#include <aclapi.h>

#ifndef IO_REPARSE_TAG_AF_UNIX
#define IO_REPARSE_TAG_AF_UNIX 0x80000023L
#endif

namespace sweepwav {

namespace {

Status Failed(DWORD error) { return SystemFailure(error); }

// The longest path the system takes: its length in bytes must fit the
// 16 bits of its length fields.
constexpr std::size_t kLongestPath = 32767;

// Temporary names: ".sweepwav-" and 8 letters or digits, short whatever
// the length of the target's name.
constexpr std::wstring_view kTemporaryPrefix = L".sweepwav-";
constexpr std::wstring_view kLetters = L"abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kRandomLetters = 8;

std::wstring TemporaryName() {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    std::wstring name(kTemporaryPrefix);
    for (std::size_t i = 0; i < kRandomLetters; ++i) name += kLetters[random() % kLetters.size()];
    return name;
}

bool IsTemporaryName(std::wstring_view name) {
    return name.size() == kTemporaryPrefix.size() + kRandomLetters && name.starts_with(kTemporaryPrefix) &&
           name.find_first_not_of(kLetters, kTemporaryPrefix.size()) == std::wstring_view::npos;
}

// A leftover is not removed before nobody has written to it for this long
// (in the system's 100 ns units).
constexpr ULONGLONG kLeftoverAge = 600ULL * 10'000'000ULL;

ULONGLONG Ticks(const FILETIME& time) { return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

// The security identifier of the process's token of the kind asked for
// (TokenUser, TokenOwner), as a buffer that holds it.
std::vector<BYTE> TokenSid(TOKEN_INFORMATION_CLASS kind) {
    std::vector<BYTE> buffer;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return buffer;
    DWORD size = 0;
    GetTokenInformation(token, kind, nullptr, 0, &size);
    buffer.resize(size);
    if (size == 0 || !GetTokenInformation(token, kind, buffer.data(), size, &size)) buffer.clear();
    CloseHandle(token);
    return buffer;
}

// Whether the open file belongs to this user: its owner is the user, or the
// owner the user's new files get (the Administrators group, when elevated).
bool OwnedByThisUser(HANDLE file) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    const std::vector<BYTE> user = TokenSid(TokenUser), newFiles = TokenSid(TokenOwner);
    const bool mine = (!user.empty() && EqualSid(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid, owner)) ||
                      (!newFiles.empty() && EqualSid(reinterpret_cast<const TOKEN_OWNER*>(newFiles.data())->Owner, owner));
    LocalFree(descriptor);
    return mine;
}

// Removes the temporary files that runs of this user left in the folder
// when they had no chance to (a killed process, a power cut): once nothing
// has written to one for ten minutes and no process has it open, which the
// opening below, sharing nothing, tells.
void RemoveLeftovers(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileExW((folder + std::wstring(kTemporaryPrefix) + L"*").c_str(), FindExInfoBasic,
                                           &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    do {
        if (!IsTemporaryName(found.cFileName) ||
            (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
            Ticks(now) < Ticks(found.ftLastWriteTime) + kLeftoverAge) {
            continue;
        }
        const HANDLE file = CreateFileW((folder + found.cFileName).c_str(), DELETE | READ_CONTROL, 0, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;  // in use, or not ours to remove
        FILE_DISPOSITION_INFO gone{TRUE};  // removed once closed
        if (OwnedByThisUser(file)) SetFileInformationByHandle(file, FileDispositionInfo, &gone, sizeof gone);
        CloseHandle(file);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// What is at the name, where it is something other than a file or a
// folder (a device, a pipe, a socket, or a link to one), which is never
// replaced: the reason to refuse it; nothing otherwise.
std::optional<Status> NotAFile(const std::wstring& full, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_DEVICE) return Status::Failure(FailureKind::Unusable, "it is a device, not a file");
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileExW(full.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && found.dwReserved0 == IO_REPARSE_TAG_AF_UNIX) {
            return Status::Failure(FailureKind::Unusable, "it is a socket, not a file");
        }
    }
    // Where a link leads: opened for its attributes only, which waits for
    // nothing, and asked what kind of thing it is.
    const HANDLE handle = CreateFileW(full.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    const DWORD type = GetFileType(handle);
    CloseHandle(handle);
    if (type == FILE_TYPE_DISK) return std::nullopt;
    return Status::Failure(FailureKind::Unusable, "it is a device, not a file");
}

// The full path in the form without length limit: \\?\C:\... or
// \\?\UNC\server\share\... A name the system takes for a device (CON, NUL,
// COM1...) is refused: writing there would lose the file.
Result<std::wstring> LongPath(const std::string& path) {
    std::wstring full;
    if (const DWORD error = FullPathName(WideText(path), full); error != 0) return Failed(error);
    if (full.starts_with(L"\\\\?\\")) return full;
    if (full.starts_with(L"\\\\.\\")) return Failed(ERROR_INVALID_NAME);
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

class SafeFile : public OutputFile {
public:
    SafeFile(std::string path, std::wstring target, std::wstring temporary, HANDLE handle, int slot, bool replacing)
        : path_(std::move(path)),
          target_(std::move(target)),
          temporary_(std::move(temporary)),
          handle_(handle),
          slot_(slot),
          replacing_(replacing) {}

    ~SafeFile() override {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        if (!committed_) DeleteFileW(temporary_.c_str());
        ForgetTemporaryFile(slot_);
    }

    Status write(std::span<const std::uint8_t> bytes) override { return WriteAll(handle_, bytes); }

    Status write_zeros(std::uint64_t count) override {
        // The file grows without writing: the new region reads as zeros.
        LARGE_INTEGER end{};
        if (!SetFilePointerEx(handle_, LARGE_INTEGER{}, &end, FILE_END)) return Failed(GetLastError());
        end.QuadPart += static_cast<LONGLONG>(count);
        if (!SetFilePointerEx(handle_, end, nullptr, FILE_BEGIN) || !SetEndOfFile(handle_)) {
            return Failed(GetLastError());
        }
        return {};
    }

    Status commit() override {
        // A file that replaces another is on the disk before it takes its
        // name, and so is the new name, so that a power cut leaves the old
        // file or the new one. A new file puts nothing at risk: it is not
        // flushed, as on Linux, where that would make a run about 1.6 times
        // as long.
        if (replacing_ && !FlushFileBuffers(handle_)) return Failed(GetLastError());
        const BOOL closed = CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        if (!closed) return Failed(GetLastError());
        NoteFileTakingName(true);
        const DWORD through = replacing_ ? MOVEFILE_WRITE_THROUGH : 0;
        if (!MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | through)) {
            const DWORD error = GetLastError();
            NoteFileTakingName(false);
            return Failed(error);
        }
        committed_ = true;
        ForgetTemporaryFile(slot_);  // the name is the target's now
        slot_ = -1;
        return {};
    }

    std::string description() const override { return FileDestination(path_); }

private:
    std::string path_;
    std::wstring target_, temporary_;
    HANDLE handle_;
    int slot_;
    bool replacing_;
    bool committed_ = false;
};

}  // namespace

Result<std::unique_ptr<OutputFile>> CreateSafeFile(const std::string& path) {
    // No file name holds a NUL: the system would read the path only up to it.
    if (path.find('\0') != std::string::npos) return Failed(ERROR_INVALID_NAME);
    Result<std::wstring> target = LongPath(path);
    if (!target) return target.status();
    const std::wstring& full = target.value();
    const std::wstring folder = full.substr(0, full.rfind(L'\\') + 1);
    if (folder.size() == full.size()) return Failed(ERROR_INVALID_NAME);  // no name after the folder
    const std::size_t needed = std::max(full.size(), folder.size() + TemporaryName().size());
    if (needed > kLongestPath) return PathTooLong(needed, kLongestPath, "characters", "Windows");

    // What is at the name now. A folder there, or a file that may not be
    // written, would refuse the final move: refuse before any work is done,
    // with the reason that move would give.
    const DWORD attributes = GetFileAttributesW(full.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return Failed(ERROR_ACCESS_DENIED);
        if (std::optional<Status> refused = NotAFile(full, attributes)) return *refused;
    } else if (const DWORD error = GetLastError(); error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
        return Failed(error);
    }
    RemoveLeftovers(folder);

    // The temporary file may be removed while open (by a second Ctrl-C or
    // the console closing): FILE_SHARE_DELETE.
    for (int attempt = 0;; ++attempt) {
        std::wstring temporary = folder + TemporaryName();
        const HANDLE handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            const int slot = RememberTemporaryFile(Utf8Text(temporary).c_str());
            return std::unique_ptr<OutputFile>(
                std::make_unique<SafeFile>(path, full, std::move(temporary), handle, slot,
                                           attributes != INVALID_FILE_ATTRIBUTES));
        }
        const DWORD error = GetLastError();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt > 100) return Failed(error);
    }
}

}  // namespace sweepwav
