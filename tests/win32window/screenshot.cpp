// A picture of the window as it opens, for the README: the screen under
// the window, saved as PNG by GDI+.
#include <windows.h>

#include <objidl.h>

#include <algorithm>
// GDI+'s headers want min and max, which NOMINMAX keeps out of windows.h.
using std::max;
using std::min;
#include <gdiplus.h>

#include "scenarios.h"

namespace sweepwav::driver {

namespace {

// GDI+'s PNG encoder.
constexpr CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

bool SavePng(HBITMAP picture, const std::string& path) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
    bool saved = false;
    {
        Gdiplus::Bitmap bitmap(picture, nullptr);
        saved = bitmap.Save(Wide(path).c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
    }
    Gdiplus::GdiplusShutdown(token);
    return saved;
}

}  // namespace

// The screen under a window, saved as a PNG file.
bool Shoot(HWND window, const std::string& path) {
    RECT r;
    GetWindowRect(window, &r);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top);
    const HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    const bool saved = SavePng(picture, path);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

void Screenshot(const Setup& setup, Checks& checks) {
    Window w(setup.program, "");
    WaitFor([&] { return IsWindowVisible(w.form()) != 0; }, std::chrono::seconds(20));
    Sleep(1500);  // settled and painted
    checks.check(Shoot(w.form(), setup.data + "window-windows.png"), "screenshot", "the picture is saved");
    // The Signal options dialog, laid out from the catalogue.
    w.menu("SignalOptions");
    if (HWND dialog = w.dialog("Signal options")) {
        Sleep(500);
        checks.check(Shoot(dialog, setup.data + "signal-options-windows.png"), "screenshot", "the dialog's picture is saved");
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        WaitFor([dialog] { return !IsWindow(dialog); }, std::chrono::seconds(10));
    }
    // The plan view of the start-up sweep, as the README shows it.
    HWND view = OpenPlanView(w);
    Sleep(1500);
    checks.check(view && Shoot(view, setup.data + "plan-windows.png"), "screenshot", "the plan view's picture is saved");
    w.close();
}

}  // namespace sweepwav::driver
