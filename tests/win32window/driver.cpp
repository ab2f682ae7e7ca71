#include "driver.h"

#include <shlobj.h>

#include <thread>
#include <stdexcept>

#include "win32window/control_ids.h"
#include "win32window/form_ids.h"

namespace sweepwav::driver {

namespace {

constexpr int kBoxText = 0xffff;  // the message box's text
constexpr int kBoxIcon = 0x0440;  // its icon
constexpr int kFileName = 0x047c;   // a file dialog's name box
constexpr int kOldFileName = 0x0480;

struct Found {
    DWORD process;
    std::vector<HWND> windows;
};

BOOL CALLBACK Collect(HWND window, LPARAM data) {
    auto* found = reinterpret_cast<Found*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (process == found->process && std::wstring(name) == L"#32770") found->windows.push_back(window);
    return TRUE;
}

// Which icon a message box shows, by its colours on the screen: the
// exclamation icon is a yellow triangle, the information icon a blue disc,
// and a box without an icon has neither colour there.
// (The icon's handle belongs to the other process and cannot be compared.)
std::string IconKind(HWND icon) {
    RECT r;
    GetWindowRect(icon, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<RGBQUAD> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    GetDIBits(memory, picture, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    int yellow = 0, blue = 0;
    for (const RGBQUAD& p : pixels) {
        if (p.rgbRed > 180 && p.rgbGreen > 140 && p.rgbBlue < 100) ++yellow;
        if (p.rgbBlue > 150 && p.rgbBlue > p.rgbRed + 60) ++blue;
    }
    if (yellow > 20 && yellow > blue) return "exclamation";
    if (blue > 20) return "information";
    // Without an icon the place holds the start of the text, in black.
    return "none";
}

}  // namespace

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
    return text;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds wait) {
    const auto end = std::chrono::steady_clock::now() + wait;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

namespace {
constexpr const wchar_t* kWineDrivers = L"Software\\Wine\\Drivers";
}  // namespace

NoSoundOutput::NoSoundOutput() {
    std::wstring value(256, L'\0');
    DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, kWineDrivers, L"Audio", RRF_RT_REG_SZ, nullptr, value.data(), &bytes) ==
        ERROR_SUCCESS) {
        before_ = value.c_str();
    }
    RegSetKeyValueW(HKEY_CURRENT_USER, kWineDrivers, L"Audio", REG_SZ, L"", sizeof(wchar_t));
}

NoSoundOutput::~NoSoundOutput() {
    if (before_) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kWineDrivers, L"Audio", REG_SZ, before_->c_str(),
                        static_cast<DWORD>((before_->size() + 1) * sizeof(wchar_t)));
    } else {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kWineDrivers, L"Audio");
    }
}

Window::Window(const std::string& program, const std::string& arguments) {
    std::wstring command = L"\"" + Wide(program) + L"\" " + Wide(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_)) {
        throw std::runtime_error("cannot start " + program);
    }
    WaitForInputIdle(process_.hProcess, 10000);
    // Ready once shown, or once a start-up message is up: before that the
    // form's start-up values may still come.
    const bool found = WaitFor([this] {
        bool box = false;
        for (HWND w : dialogs()) {
            if (GetDlgItem(w, IDC_StartFreq)) form_ = w;
            if (IsWindowVisible(w) && GetDlgItem(w, 0xffff)) box = true;
        }
        return form_ != nullptr && (IsWindowVisible(form_) || box);
    }, std::chrono::seconds(30));
    if (!found) throw std::runtime_error("the form did not open");
}

Window::~Window() {
    if (!ended_) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

std::vector<HWND> Window::dialogs() const {
    Found found{process_.dwProcessId, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

HWND Window::control(Control c) const { return item(IDC_StartFreq + static_cast<int>(c)); }

std::string Window::text_of(HWND window) const {
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto got = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return Utf8(text);
}

std::string Window::caption(HWND window) const {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return Utf8(text);
}

std::string Window::text(Control c) const { return text_of(control(c)); }

void Window::type(Control box, const std::string& text) {
    const std::wstring wide = Wide(text);
    SendMessageW(control(box), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void Window::tick(Control box, bool on) { SendMessageW(control(box), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

bool Window::ticked(Control box) const { return SendMessageW(control(box), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Window::choose(Control list, int position) {
    SendMessageW(control(list), CB_SETCURSEL, static_cast<WPARAM>(position), 0);
    PostMessageW(form_, WM_COMMAND, MAKEWPARAM(IDC_StartFreq + static_cast<int>(list), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control(list)));
}

int Window::chosen(Control list) const { return static_cast<int>(SendMessageW(control(list), CB_GETCURSEL, 0, 0)); }

std::vector<std::string> Window::items(Control list) const {
    std::vector<std::string> texts;
    const auto count = SendMessageW(control(list), CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(control(list), CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            SendMessageW(control(list), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        texts.push_back(Utf8(text));
    }
    return texts;
}

void Window::press(Control button) {
    // A disabled button raises no click.
    if (!enabled(button)) return;
    PostMessageW(form_, WM_COMMAND, MAKEWPARAM(IDC_StartFreq + static_cast<int>(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(control(button)));
}

void Window::menu(std::string_view name) {
    PostMessageW(form_, WM_COMMAND, MAKEWPARAM(MenuCommandId(name), 0), 0);
}

HWND Window::focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(process_.dwThreadId, &info);
    return info.hwndFocus;
}

void Window::key(WPARAM virtualKey) {
    HWND target = focus();
    PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(target, WM_KEYUP, virtualKey, 0xC0000001);
}

void Window::alt_key(wchar_t letter) {
    HWND target = focus();
    constexpr LPARAM kAltDown = 1 | (1 << 29);
    PostMessageW(target, WM_SYSKEYDOWN, VkKeyScanW(letter) & 0xff, kAltDown);
    PostMessageW(target, WM_SYSCHAR, letter, kAltDown);
    PostMessageW(target, WM_SYSKEYUP, VkKeyScanW(letter) & 0xff, kAltDown | 0xC0000000);
}

std::optional<Box> Window::take_box(std::chrono::milliseconds wait) {
    HWND box = nullptr;
    WaitFor([&] {
        for (HWND w : dialogs()) {
            if (w != form_ && IsWindowVisible(w) && GetDlgItem(w, kBoxText)) box = w;
        }
        return box != nullptr;
    }, wait);
    if (!box) return std::nullopt;
    Box read{text_of(GetDlgItem(box, kBoxText)), text_of(box), "none"};
    HWND icon = GetDlgItem(box, kBoxIcon);
    // Read once the box has been drawn.
    if (icon && IsWindowVisible(icon)) {
        WaitFor([&] { return (read.icon = IconKind(icon)) != "none"; }, std::chrono::seconds(10));
    }
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    WaitFor([box] { return !IsWindow(box); }, std::chrono::seconds(10));
    return read;
}

HWND Window::dialog(const std::string& title, std::chrono::milliseconds wait) {
    HWND found = nullptr;
    WaitFor([&] {
        for (HWND w : dialogs()) {
            if (w != form_ && IsWindowVisible(w) && text_of(w) == title) found = w;
        }
        return found != nullptr;
    }, wait);
    return found;
}

void Window::drop(const std::vector<std::string>& paths) {
    // A file manager drops files only on a window that takes them.
    if ((GetWindowLongPtrW(form_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) == 0) return;
    DROPFILES header{sizeof(DROPFILES), {10, 10}, FALSE, TRUE};
    std::vector<char> block(reinterpret_cast<const char*>(&header), reinterpret_cast<const char*>(&header + 1));
    for (const std::string& path : paths) {
        const std::wstring wide = Wide(path);
        block.insert(block.end(), reinterpret_cast<const char*>(wide.c_str()),
                     reinterpret_cast<const char*>(wide.c_str() + wide.size() + 1));
    }
    block.insert(block.end(), {0, 0});
    void* remote = VirtualAllocEx(process_.hProcess, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote || !WriteProcessMemory(process_.hProcess, remote, block.data(), block.size(), nullptr)) {
        throw std::runtime_error("cannot give the window the dropped files");
    }
    PostMessageW(form_, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

static HWND NameBox(HWND dialog) {
    HWND name = GetDlgItem(dialog, kFileName);
    return name ? name : GetDlgItem(dialog, kOldFileName);
}

std::string Window::file_name(HWND dialog) const { return text_of(NameBox(dialog)); }

void Window::choose_file(HWND dialog, const std::string& path) {
    HWND name = NameBox(dialog);
    const std::wstring wide = Wide(path);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

bool Window::wait_idle(std::chrono::milliseconds wait) {
    return WaitFor([this] {
        return enabled(Control::OK) && !enabled(Control::Abort) && text(Control::Status) == "Sweep Configuration";
    }, wait);
}

std::string Window::bar() const { return text_of(item(IDC_OutputBar)); }

bool Window::generate(std::chrono::milliseconds wait) {
    // The bar is emptied first, so that only this run's "Wrote" counts.
    SendMessageW(item(IDC_OutputBar), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    press(Control::OK);
    return WaitFor([this] { return bar().rfind("Wrote ", 0) == 0; }, wait) && wait_idle(wait);
}

DWORD Window::close() {
    PostMessageW(form_, WM_CLOSE, 0, 0);
    DWORD status = 259;
    if (WaitForSingleObject(process_.hProcess, 20000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process_.hProcess, &status);
        ended_ = true;
    }
    return status;
}

}  // namespace sweepwav::driver
