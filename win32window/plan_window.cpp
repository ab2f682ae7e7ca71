#include "win32window/plan_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "commands/window_texts.h"
#include "numbers/number_text.h"
#include "platform/win32_io.h"

namespace sweepwav {

namespace {

constexpr const wchar_t* kViewClass = L"sweepwavPlanView";
constexpr const wchar_t* kChartClass = L"sweepwavPlanChart";
constexpr int kExportId = 1, kCloseId = 2;
constexpr COLORREF kFrequencyColour = RGB(0x2c, 0x5a, 0x85);
constexpr COLORREF kLevelColour = RGB(0xe5, 0x2b, 0x2b);

std::array<double, 9> RowValues(const PlanRow& r) {
    return {static_cast<double>(r.index), static_cast<double>(r.firstFrame), static_cast<double>(r.frames),
            r.startSeconds, r.durationSeconds, r.frequencyHz, r.levelDbfs, r.peakAmplitude, r.cycles};
}

void RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXW view{};
    view.cbSize = sizeof view;
    view.lpfnWndProc = DefWindowProcW;
    view.hInstance = instance;
    view.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    view.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    view.lpszClassName = kViewClass;
    WNDCLASSEXW chart = view;
    chart.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    chart.lpszClassName = kChartClass;
    RegisterClassExW(&view);
    RegisterClassExW(&chart);
}

// Maps plan values onto the chart's area; frequencies on a log scale for
// log steps.
struct Scale {
    RECT area;
    double end, lowFreq, highFreq, lowLevel, highLevel;
    bool log;

    int x(double seconds) const {
        return area.left + static_cast<int>((area.right - area.left) * (end > 0 ? seconds / end : 0));
    }
    int y(double value, double low, double high, bool logScale) const {
        const double f = logScale ? (std::log10(value) - std::log10(low)) / (std::log10(high) - std::log10(low))
                                  : (value - low) / (high - low);
        return area.bottom - static_cast<int>((area.bottom - area.top) * f);
    }
    int freq(double hz) const { return y(hz, lowFreq, highFreq, log); }
    int level(double db) const { return y(db, lowLevel, highLevel, false); }
};

Scale ScaleOf(const std::vector<PlanRow>& rows, const RECT& area, bool log) {
    Scale s{area, 1e-3, 1000, 1000, 0, 0, log};
    if (rows.empty()) return s;
    s.lowFreq = s.highFreq = rows.front().frequencyHz;
    s.lowLevel = s.highLevel = rows.front().levelDbfs;
    for (const PlanRow& r : rows) {
        s.end = std::max(s.end, r.startSeconds + r.durationSeconds);
        s.lowFreq = std::min(s.lowFreq, r.frequencyHz);
        s.highFreq = std::max(s.highFreq, r.frequencyHz);
        s.lowLevel = std::min(s.lowLevel, r.levelDbfs);
        s.highLevel = std::max(s.highLevel, r.levelDbfs);
    }
    // Some room either side; a single value gets room of its own.
    if (log) {
        s.lowFreq /= 1.2;
        s.highFreq *= 1.2;
    } else {
        const double room = std::max((s.highFreq - s.lowFreq) * 0.05, 1.0);
        s.lowFreq -= room;
        s.highFreq += room;
    }
    const double span = std::max(s.highLevel - s.lowLevel, 1.0);
    s.lowLevel = s.highLevel - span * 1.04;
    s.highLevel += span * 0.02;
    return s;
}

// Each tone is a level stretch; silence between tones breaks the line.
void DrawSteps(HDC dc, const std::vector<PlanRow>& rows, COLORREF colour, const std::function<int(const PlanRow&)>& y,
               const Scale& s) {
    HPEN pen = CreatePen(PS_SOLID, 2, colour);
    const HGDIOBJ old = SelectObject(dc, pen);
    std::int64_t nextFrame = -1;
    for (const PlanRow& r : rows) {
        const int left = s.x(r.startSeconds), right = s.x(r.startSeconds + r.durationSeconds);
        if (r.firstFrame == nextFrame) {
            LineTo(dc, left, y(r));
        } else {
            MoveToEx(dc, left, y(r), nullptr);
        }
        LineTo(dc, right, y(r));
        nextFrame = r.firstFrame + r.frames;
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

void Text(HDC dc, int x, int y, const std::string& text, UINT align, COLORREF colour) {
    SetTextAlign(dc, align);
    SetTextColor(dc, colour);
    const std::wstring wide = WideText(text);
    TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

}  // namespace

PlanWindow::PlanWindow(const GeneratorState& s, Handler handler)
    : csv_(PlanFileText(s, PlanFormat::Csv)),
      json_(PlanFileText(s, PlanFormat::Json)),
      fileName_(s.sFileName),
      title_(PlanTitle(s)),
      rows_(PlanRows(s)),
      logSteps_(s.bLogSteps),
      handler_(std::move(handler)) {}

PlanWindow* PlanWindow::Open(HINSTANCE instance, HWND owner, const GeneratorState& s, Handler handler) {
    RegisterClasses(instance);
    auto* view = new PlanWindow(s, std::move(handler));
    view->window_ = CreateWindowExW(0, kViewClass, WideText(PlanViewTitle(view->fileName_)).c_str(),
                                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, 980, 720,
                                    owner, nullptr, instance, nullptr);
    if (!view->window_) {
        delete view;
        return nullptr;
    }
    SetWindowLongPtrW(view->window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    SetWindowLongPtrW(view->window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc));
    view->build(instance);
    ShowWindow(view->window_, SW_SHOWNORMAL);
    return view;
}

void PlanWindow::build(HINSTANCE instance) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);
    chart_ = CreateWindowExW(WS_EX_CLIENTEDGE, kChartClass, WideText(title_).c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 0,
                             0, window_, nullptr, instance, nullptr);
    SetWindowLongPtrW(chart_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(chart_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChartProc));
    table_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT,
                             0, 0, 0, 0, window_, nullptr, instance, nullptr);
    ListView_SetExtendedListViewStyle(table_, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_LABELTIP);
    export_ = CreateWindowExW(0, WC_BUTTONW, WideText(MenuCommandNamed("ExportPlan").text).c_str(),
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, window_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kExportId)), instance, nullptr);
    close_ = CreateWindowExW(0, WC_BUTTONW, L"Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                             window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCloseId)), instance, nullptr);
    for (HWND child : {chart_, table_, export_, close_}) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    fill_table();
    lay_out();
}

void PlanWindow::fill_table() {
    const auto columns = PlanColumns();
    for (std::size_t c = 0; c < columns.size(); ++c) {
        std::wstring heading = WideText(columns[c].heading);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        column.fmt = LVCFMT_RIGHT;
        column.cx = 100;
        column.pszText = heading.data();
        ListView_InsertColumn(table_, static_cast<int>(c), &column);
    }
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        const auto values = RowValues(rows_[r]);
        for (std::size_t c = 0; c < values.size(); ++c) {
            std::wstring cell = WideText(PlanCellText(values[c], columns[c].decimals));
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            item.iSubItem = static_cast<int>(c);
            item.pszText = cell.data();
            if (c == 0) {
                ListView_InsertItem(table_, &item);
            } else {
                ListView_SetItem(table_, &item);
            }
        }
    }
    for (std::size_t c = 0; c < columns.size(); ++c) ListView_SetColumnWidth(table_, static_cast<int>(c), LVSCW_AUTOSIZE_USEHEADER);
}

void PlanWindow::lay_out() {
    RECT client;
    GetClientRect(window_, &client);
    const int margin = 8, buttonHeight = 26, buttonWidth = 160;
    const int bottom = client.bottom - margin - buttonHeight;
    const int chartHeight = (bottom - 2 * margin) * 3 / 5;
    MoveWindow(chart_, margin, margin, client.right - 2 * margin, chartHeight, TRUE);
    MoveWindow(table_, margin, 2 * margin + chartHeight, client.right - 2 * margin, bottom - 3 * margin - chartHeight, TRUE);
    MoveWindow(export_, client.right - 2 * (buttonWidth + margin), bottom, buttonWidth, buttonHeight, TRUE);
    MoveWindow(close_, client.right - buttonWidth - margin, bottom, buttonWidth, buttonHeight, TRUE);
}

void PlanWindow::paint_chart(HDC dc, const RECT& area) const {
    const HGDIOBJ oldFont = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    const int line = metrics.tmHeight;
    const RECT plot{area.left + 7 * line, area.top + 2 * line, area.right - 6 * line, area.bottom - 3 * line};
    Text(dc, (area.left + area.right) / 2, area.top + line / 2, title_, TA_CENTER | TA_TOP, RGB(0, 0, 0));
    const Scale s = ScaleOf(rows_, plot, logSteps_);
    FrameRect(dc, &plot, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    DrawSteps(dc, rows_, kFrequencyColour, [&s](const PlanRow& r) { return s.freq(r.frequencyHz); }, s);
    DrawSteps(dc, rows_, kLevelColour, [&s](const PlanRow& r) { return s.level(r.levelDbfs); }, s);
    // The axes' ends and names: frequency left, level right, time below.
    Text(dc, plot.left - 4, plot.top, NumberText(RoundDecimals(s.highFreq, 1)), TA_RIGHT | TA_TOP, kFrequencyColour);
    Text(dc, plot.left - 4, plot.bottom - line, NumberText(RoundDecimals(s.lowFreq, 1)), TA_RIGHT | TA_TOP, kFrequencyColour);
    Text(dc, plot.left - 4, (plot.top + plot.bottom) / 2, "Frequency (Hz)", TA_RIGHT | TA_TOP, kFrequencyColour);
    Text(dc, plot.right + 4, plot.top, NumberText(RoundDecimals(s.highLevel, 2)), TA_LEFT | TA_TOP, kLevelColour);
    Text(dc, plot.right + 4, plot.bottom - line, NumberText(RoundDecimals(s.lowLevel, 2)), TA_LEFT | TA_TOP, kLevelColour);
    Text(dc, plot.right + 4, (plot.top + plot.bottom) / 2, "Level (dBFS)", TA_LEFT | TA_TOP, kLevelColour);
    Text(dc, plot.left, plot.bottom + 2, "0", TA_LEFT | TA_TOP, RGB(0, 0, 0));
    Text(dc, plot.right, plot.bottom + 2, NumberText(RoundDecimals(s.end, 3)), TA_RIGHT | TA_TOP, RGB(0, 0, 0));
    Text(dc, (plot.left + plot.right) / 2, plot.bottom + 2, "Time (s)", TA_CENTER | TA_TOP, RGB(0, 0, 0));
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK PlanWindow::ChartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* view = reinterpret_cast<PlanWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_PAINT && view) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        view->paint_chart(dc, area);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_SIZE) InvalidateRect(window, nullptr, TRUE);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK PlanWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = reinterpret_cast<PlanWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return view ? view->handle_message(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT PlanWindow::handle_message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: lay_out(); return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kExportId) handler_(*this, Request::Export);
            if (LOWORD(wParam) == kCloseId || LOWORD(wParam) == IDCANCEL) close();
            return 0;
        case WM_NCDESTROY: {
            const HWND window = window_;
            handler_(*this, Request::Closed);
            if (font_) DeleteObject(font_);
            delete this;
            return DefWindowProcW(window, message, wParam, lParam);
        }
        default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

bool PlanWindow::translate(MSG& message) {
    return window_ && IsWindow(window_) && IsDialogMessageW(window_, &message);
}

void PlanWindow::close() { DestroyWindow(window_); }

void PlanWindow::enable_commands(bool enabled) { EnableWindow(export_, enabled); }

}  // namespace sweepwav
