// Safe replacement on Windows: the new content goes to a temporary file in
// the target's folder, which is moved over the name (with write-through)
// only once complete. Paths reach the system in their long form, so that
// neither the 260-character limit nor a name's trailing dots or blanks get
// in the way.
#include "platform/safe_file.h"

#include <random>

#include "platform/temporary_files.h"
#include "win32_io.h"

namespace sweepwav {

namespace {

Status Failed(DWORD error) { return SystemFailure(error); }

// Short, whatever the length of the target's name.
std::wstring TemporaryName() {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    static constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz0123456789";
    std::wstring name = L".sweepwav-";
    for (int i = 0; i < 8; ++i) name += kLetters[random() % (std::size(kLetters) - 1)];
    return name;
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
    SafeFile(std::string path, std::wstring target, std::wstring temporary, HANDLE handle, int slot)
        : path_(std::move(path)),
          target_(std::move(target)),
          temporary_(std::move(temporary)),
          handle_(handle),
          slot_(slot) {}

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
        if (!FlushFileBuffers(handle_)) return Failed(GetLastError());
        const BOOL closed = CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        if (!closed) return Failed(GetLastError());
        NoteFileTakingName(true);
        if (!MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
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
    bool committed_ = false;
};

}  // namespace

Result<std::unique_ptr<OutputFile>> CreateSafeFile(const std::string& path) {
    Result<std::wstring> target = LongPath(path);
    if (!target) return target.status();
    const std::wstring& full = target.value();
    const std::wstring folder = full.substr(0, full.rfind(L'\\') + 1);
    if (folder.size() == full.size()) return Failed(ERROR_INVALID_NAME);  // no name after the folder

    // What is at the name now. A folder there, or a file that may not be
    // written, would refuse the final move: refuse before any work is done,
    // with the reason that move would give.
    const DWORD attributes = GetFileAttributesW(full.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return Failed(ERROR_ACCESS_DENIED);
    } else if (const DWORD error = GetLastError(); error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
        return Failed(error);
    }

    // The temporary file may be removed while open (by a second Ctrl-C or
    // the console closing): FILE_SHARE_DELETE.
    for (int attempt = 0;; ++attempt) {
        std::wstring temporary = folder + TemporaryName();
        const HANDLE handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            const int slot = RememberTemporaryFile(Utf8Text(temporary).c_str());
            return std::unique_ptr<OutputFile>(
                std::make_unique<SafeFile>(path, full, std::move(temporary), handle, slot));
        }
        const DWORD error = GetLastError();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt > 100) return Failed(error);
    }
}

}  // namespace sweepwav
