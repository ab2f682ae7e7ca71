#include "win32_io.h"

#include <algorithm>

namespace sweepwav {

std::wstring WideText(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string Utf8Text(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

DWORD FullPathName(const std::wstring& path, std::wstring& full) {
    full.assign(MAX_PATH, L'\0');
    for (;;) {
        // Too small a buffer gives the size needed, with the final NUL.
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return GetLastError();
        const bool fits = length < full.size();
        full.resize(length);
        if (fits) return 0;
    }
}

Status SystemFailure(DWORD error) {
    FailureKind kind = FailureKind::Other;
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) kind = FailureKind::Missing;
    if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT) kind = FailureKind::Denied;
    if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) kind = FailureKind::NoSpace;
    return Status::Failure(kind, SystemReason(error));
}

std::string SystemReason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0) return "Windows error " + std::to_string(error);
    std::wstring reason(text, length);
    LocalFree(text);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' ')) {
        reason.pop_back();
    }
    return Utf8Text(reason);
}

Status WriteAll(HANDLE handle, std::span<const std::uint8_t> bytes) {
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(left, std::size_t(1) << 30));
        if (!WriteFile(handle, p, chunk, &written, nullptr)) return SystemFailure(GetLastError());
        if (written == 0) return SystemFailure(ERROR_WRITE_FAULT);  // no progress: give up
        p += written;
        left -= written;
    }
    return {};
}

}  // namespace sweepwav
