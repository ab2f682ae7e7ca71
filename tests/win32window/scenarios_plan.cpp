// View > Sweep plan and File > Export tone plan.
#include <windows.h>

#include <commctrl.h>
#include <objidl.h>

#include <algorithm>
#include <vector>
// GDI+'s headers want min and max, which NOMINMAX keeps out of windows.h.
using std::max;
using std::min;
#include <gdiplus.h>

#include "commands/window_texts.h"
#include "scenarios.h"

namespace sweepwav::driver {

namespace {

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindView(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (process == search->process && std::wstring(name) == L"sweepwavPlanView" && IsWindowVisible(window)) {
        search->found = window;
    }
    return TRUE;
}

// The headings the columns cut: each needs its text's width in the
// window's font and the header's margins of 3 edges on either side.
std::string CutHeadings(HWND table) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    std::string cut;
    int column = 0;
    for (const PlanColumn& c : PlanColumns()) {
        const std::wstring heading = Wide(std::string(c.heading));
        SIZE size{};
        GetTextExtentPoint32W(dc, heading.c_str(), static_cast<int>(heading.size()), &size);
        const auto width = SendMessageW(table, LVM_GETCOLUMNWIDTH, column++, 0);
        if (width < size.cx + 6 * GetSystemMetrics(SM_CXEDGE)) cut += std::string(c.heading) + " in " + std::to_string(width) + "; ";
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return cut;
}

// What a saved chart shows: its size; the grid lines across the plot (rows
// mostly of the grid's colour) and how many have a label on their left; the
// grid lines up it and how many have one below.
struct Chart {
    int width = 0, height = 0, across = 0, acrossLabelled = 0, up = 0, upLabelled = 0;
};

// The picture's pixels as 0xRRGGBB, row by row; none when it is not one.
std::vector<unsigned> Pixels(const std::string& path, Chart& chart) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    std::vector<unsigned> pixels;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return pixels;
    {
        Gdiplus::Bitmap picture(Wide(path).c_str());
        Gdiplus::BitmapData data{};
        const Gdiplus::Rect all(0, 0, static_cast<INT>(picture.GetWidth()), static_cast<INT>(picture.GetHeight()));
        if (picture.GetLastStatus() == Gdiplus::Ok &&
            picture.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &data) == Gdiplus::Ok) {
            chart.width = all.Width;
            chart.height = all.Height;
            for (int y = 0; y < all.Height; ++y) {
                const auto* row = reinterpret_cast<const unsigned*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
                for (int x = 0; x < all.Width; ++x) pixels.push_back(row[x] & 0xffffff);
            }
            picture.UnlockBits(&data);
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return pixels;
}

Chart ReadChart(const std::string& path) {
    Chart chart;
    const std::vector<unsigned> pixels = Pixels(path, chart);
    const auto at = [&](int x, int y) {
        return pixels[static_cast<std::size_t>(std::clamp(y, 0, chart.height - 1)) * chart.width +
                      static_cast<std::size_t>(std::clamp(x, 0, chart.width - 1))];
    };
    // Grid lines: rows and columns mostly of the grid's colour; the plot's
    // left and bottom edges are where they begin and end.
    std::vector<int> inRow(static_cast<std::size_t>(chart.height)), inColumn(static_cast<std::size_t>(chart.width));
    int left = chart.width, bottom = 0;
    for (int y = 0; y < chart.height; ++y) {
        for (int x = 0; x < chart.width; ++x) {
            if (at(x, y) != 0xdddddd) continue;
            ++inRow[static_cast<std::size_t>(y)];
            ++inColumn[static_cast<std::size_t>(x)];
            left = std::min(left, x);
            bottom = std::max(bottom, y);
        }
    }
    // Something dark in the box: a label. Labels end 7 pixels left of the
    // plot and begin 6 below it, past the tick marks; the time axis's name
    // comes below them.
    const auto dark = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                if ((at(x, y) & 0xff) + (at(x, y) >> 8 & 0xff) + (at(x, y) >> 16) < 500) return true;
            }
        }
        return false;
    };
    for (int y = 0; y < chart.height; ++y) {
        if (inRow[static_cast<std::size_t>(y)] < chart.width / 3) continue;
        ++chart.across;
        chart.acrossLabelled += dark(left - 20, y - 3, left - 9, y + 3);
    }
    for (int x = 0; x < chart.width; ++x) {
        if (inColumn[static_cast<std::size_t>(x)] < chart.height / 4) continue;
        ++chart.up;
        chart.upLabelled += dark(x - 3, bottom + 7, x + 3, bottom + 17);
    }
    return chart;
}

// Save chart picture: the name it suggests, the picture it writes, and the
// message for a folder it cannot write into.
void SavePicture(Window& w, HWND view, const Setup& setup, Checks& checks) {
    HWND button = FindWindowExW(view, nullptr, WC_BUTTONW, Wide(std::string(kSavePictureButton)).c_str());
    const std::string picture = setup.data + "chart.png";
    for (const std::string& path : {picture, std::string("C:\\Unwritable\\chart.png")}) {
        PostMessageW(button, BM_CLICK, 0, 0);
        HWND dialog = w.dialog("Save chart picture");
        checks.check(dialog != nullptr, "plan", "Save chart picture asks for a file");
        if (!dialog) return;
        checks.equal(w.file_name(dialog), "filename.png", "plan", "the picture's suggested name");
        w.choose_file(dialog, path);
        WaitFor([&] { return !IsWindow(dialog); }, std::chrono::seconds(20));
    }
    const std::optional<Box> box = w.take_box();
    checks.check(box && box->text.rfind("Could not write the file C:\\Unwritable\\chart.png: ", 0) == 0, "plan",
                 "a folder it cannot write into gives the message", box ? box->text : "no message");
    RECT area{};
    GetClientRect(FindWindowExW(view, nullptr, L"sweepwavPlanChart", nullptr), &area);
    const Chart chart = ReadChart(picture);
    // Whole: from the signature to the closing chunk.
    const std::string bytes = FileBytes(picture);
    checks.check(bytes.starts_with("\x89PNG\r\n\x1a\n") && bytes.ends_with("IEND\xae\x42\x60\x82") &&
                     chart.width == area.right && chart.height == area.bottom,
                 "plan", "the picture is a whole PNG of the chart",
                 std::to_string(bytes.size()) + " bytes, " + std::to_string(chart.width) + "x" + std::to_string(chart.height));
    checks.check(chart.across >= 3 && chart.acrossLabelled == chart.across && chart.up >= 3 &&
                     chart.upLabelled == chart.up,
                 "plan", "the chart's grid lines are labelled",
                 std::to_string(chart.acrossLabelled) + " of " + std::to_string(chart.across) + " across, " +
                     std::to_string(chart.upLabelled) + " of " + std::to_string(chart.up) + " up");
}

}  // namespace

HWND OpenPlanView(Window& w) {
    w.menu("SweepPlan");
    Search search{w.process_id(), nullptr};
    WaitFor([&] {
        EnumWindows(FindView, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, std::chrono::seconds(20));
    return search.found;
}

void PlanView(const Setup& setup, Checks& checks) {
    Window w(setup.program, "");
    Apply(w, Trimmed(FileBytes(setup.data + "plan.options")));
    HWND view = OpenPlanView(w);
    checks.check(view != nullptr, "plan", "View > Sweep plan opens the plan view");
    if (view) {
        checks.equal(w.text_of(view), "Sweep plan - filename.wav", "plan", "the view's title");
        HWND table = FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr);
        checks.check(SendMessageW(table, LVM_GETITEMCOUNT, 0, 0) == 6, "plan", "a row per tone (6)");
        const std::string cut = CutHeadings(table);
        checks.check(cut.empty(), "plan", "no heading is cut", cut);
        SavePicture(w, view, setup, checks);
        PostMessageW(view, WM_CLOSE, 0, 0);
        checks.check(WaitFor([&] { return !IsWindow(view); }, std::chrono::seconds(10)), "plan", "the view closes");
    }
    const std::string plan = setup.data + "plan.json";
    DeleteFileW(Wide(plan).c_str());
    w.menu("ExportPlan");
    HWND dialog = w.dialog("Export tone plan");
    checks.check(dialog != nullptr, "plan", "Export tone plan asks for a file");
    if (dialog) w.choose_file(dialog, plan);
    checks.check(WaitFor([&] { return !FileBytes(plan).empty() && !IsWindow(dialog); }, std::chrono::seconds(20)),
                 "plan", "the plan is written (the shell compares it)");
    w.close();
}

}  // namespace sweepwav::driver
