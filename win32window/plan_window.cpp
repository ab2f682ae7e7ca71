#include "win32window/plan_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "commands/window_texts.h"
#include "core/window_look.h"
#include "platform/win32_io.h"
#include "win32window/png_picture.h"

namespace sweepwav {

namespace {

constexpr const wchar_t* kViewClass = L"sweepwavPlanView";
constexpr const wchar_t* kChartClass = L"sweepwavPlanChart";
constexpr int kExportId = 1, kCloseId = 2, kPictureId = 3;
constexpr COLORREF kFrequencyInk = RGB(kFrequencyColour.red, kFrequencyColour.green, kFrequencyColour.blue);
constexpr COLORREF kLevelInk = RGB(kLevelColour.red, kLevelColour.green, kLevelColour.blue);
constexpr COLORREF kTextColour = RGB(0x40, 0x40, 0x40);
constexpr COLORREF kAxisColour = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kGridColour = RGB(0xdd, 0xdd, 0xdd);
constexpr COLORREF kMinorGridColour = RGB(0xe8, 0xe8, 0xe8);

std::string CellText(const PlanRow& r, std::size_t column) {
    const std::array<double, 9> values = {static_cast<double>(r.index), static_cast<double>(r.firstFrame),
                                          static_cast<double>(r.frames), r.startSeconds, r.durationSeconds,
                                          r.frequencyHz, r.levelDbfs, r.peakAmplitude, r.cycles};
    return PlanCellText(values[column], PlanColumns()[column].decimals);
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

// Where an axis's values lie on the plot area: time across, frequency and
// level up.
int XOf(const ChartAxis& axis, const RECT& plot, double value) {
    return plot.left + static_cast<int>(std::lround((plot.right - 1 - plot.left) * axis.fraction(value)));
}
int YOf(const ChartAxis& axis, const RECT& plot, double value) {
    return plot.bottom - 1 - static_cast<int>(std::lround((plot.bottom - 1 - plot.top) * axis.fraction(value)));
}

void Line(HDC dc, COLORREF colour, int style, int width, POINT from, POINT to) {
    HPEN pen = CreatePen(style, width, colour);
    const HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
    SelectObject(dc, old);
    DeleteObject(pen);
}

SIZE TextSize(HDC dc, const std::string& text) {
    const std::wstring wide = WideText(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size;
}

void Text(HDC dc, int x, int y, const std::string& text, UINT align, COLORREF colour) {
    SetTextAlign(dc, align);
    SetTextColor(dc, colour);
    const std::wstring wide = WideText(text);
    TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

// The widest of an axis's labels.
int LabelWidth(HDC dc, const ChartAxis& axis) {
    int widest = 0;
    for (const ChartTick& tick : axis.ticks) widest = std::max(widest, static_cast<int>(TextSize(dc, tick.label).cx));
    return widest;
}

// Each tone is a level stretch; silence between tones breaks the line.
void DrawSteps(HDC dc, const PlanChart& axes, const RECT& plot, const std::vector<PlanRow>& rows, bool level) {
    HPEN pen = CreatePen(PS_SOLID, 2, level ? kLevelInk : kFrequencyInk);
    const HGDIOBJ old = SelectObject(dc, pen);
    std::int64_t nextFrame = -1;
    for (const PlanRow& r : rows) {
        const int y = level ? YOf(axes.level, plot, r.levelDbfs) : YOf(axes.frequency, plot, r.frequencyHz);
        const int left = XOf(axes.time, plot, r.startSeconds);
        if (r.firstFrame == nextFrame) {
            LineTo(dc, left, y);
        } else {
            MoveToEx(dc, left, y, nullptr);
        }
        LineTo(dc, XOf(axes.time, plot, r.startSeconds + r.durationSeconds), y);
        nextFrame = r.firstFrame + r.frames;
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

// The grid: a line across the plot at each tick of the frequency axis
// (dotted where it has no label) and up it at each tick of the time axis.
void DrawGrid(HDC dc, const PlanChart& axes, const RECT& plot) {
    for (const ChartTick& tick : axes.frequency.ticks) {
        const int y = YOf(axes.frequency, plot, tick.value);
        const bool labelled = !tick.label.empty();
        Line(dc, labelled ? kGridColour : kMinorGridColour, labelled ? PS_SOLID : PS_DOT, 1, {plot.left, y},
             {plot.right, y});
    }
    for (const ChartTick& tick : axes.time.ticks) {
        const int x = XOf(axes.time, plot, tick.value);
        Line(dc, kGridColour, PS_SOLID, 1, {x, plot.top}, {x, plot.bottom});
    }
}

// The labelled ticks of the three axes: a short mark outside the plot and
// the label beyond it, in the colour of the line the axis belongs to.
void DrawLabels(HDC dc, const PlanChart& axes, const RECT& plot, int line) {
    for (const ChartTick& tick : axes.frequency.ticks) {
        if (tick.label.empty()) continue;
        const int y = YOf(axes.frequency, plot, tick.value);
        Line(dc, kFrequencyInk, PS_SOLID, 1, {plot.left - 5, y}, {plot.left, y});
        Text(dc, plot.left - 7, y - line / 2, tick.label, TA_RIGHT | TA_TOP, kFrequencyInk);
    }
    for (const ChartTick& tick : axes.level.ticks) {
        if (tick.label.empty()) continue;
        const int y = YOf(axes.level, plot, tick.value);
        Line(dc, kLevelInk, PS_SOLID, 1, {plot.right, y}, {plot.right + 5, y});
        Text(dc, plot.right + 7, y - line / 2, tick.label, TA_LEFT | TA_TOP, kLevelInk);
    }
    for (const ChartTick& tick : axes.time.ticks) {
        if (tick.label.empty()) continue;
        const int x = XOf(axes.time, plot, tick.value);
        Line(dc, kAxisColour, PS_SOLID, 1, {x, plot.bottom}, {x, plot.bottom + 5});
        Text(dc, x, plot.bottom + 6, tick.label, TA_CENTER | TA_TOP, kTextColour);
    }
}

}  // namespace

PlanWindow::PlanWindow(const GeneratorState& s, Handler handler)
    : csv_(PlanFileText(s, PlanFormat::Csv)),
      json_(PlanFileText(s, PlanFormat::Json)),
      fileName_(s.sFileName),
      title_(PlanTitle(s)),
      rows_(PlanRows(s)),
      axes_(PlanChartAxes(rows_, s.bLogSteps)),
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
    LOGFONTW title = metrics.lfMessageFont;
    title.lfWeight = FW_BOLD;
    titleFont_ = CreateFontIndirectW(&title);
    title.lfEscapement = title.lfOrientation = 900;
    uprightFont_ = CreateFontIndirectW(&title);
    const auto child = [&](DWORD exStyle, const wchar_t* type, const std::string& text, DWORD style, int id) {
        return CreateWindowExW(exStyle, type, WideText(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                               window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    chart_ = child(WS_EX_CLIENTEDGE, kChartClass, title_, 0, 0);
    SetWindowLongPtrW(chart_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(chart_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChartProc));
    table_ = child(WS_EX_CLIENTEDGE, WC_LISTVIEWW, "", WS_TABSTOP | LVS_REPORT, 0);
    ListView_SetExtendedListViewStyle(table_, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_LABELTIP);
    const std::pair<std::string, int> buttons[] = {{std::string(MenuCommandNamed("ExportPlan").text), kExportId},
                                                   {std::string(kSavePictureButton), kPictureId},
                                                   {"Close", kCloseId}};
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        buttons_[i] = child(0, WC_BUTTONW, buttons[i].first, WS_TABSTOP | BS_PUSHBUTTON, buttons[i].second);
    }
    for (HWND c : {chart_, table_, buttons_[0], buttons_[1], buttons_[2]}) {
        SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    fill_table();
    size_columns();
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
        for (std::size_t c = 0; c < columns.size(); ++c) {
            std::wstring cell = WideText(CellText(rows_[r], c));
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
}

// Each column as wide as the widest of its heading and its numbers, with
// the room the header and the cells keep beside their texts; the window
// wide enough for all of them, as far as the screen allows.
void PlanWindow::size_columns() {
    HDC dc = GetDC(table_);
    const HGDIOBJ old = SelectObject(dc, font_);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    const int room = 6 * GetSystemMetrics(SM_CXEDGE) + metrics.tmAveCharWidth;
    const auto columns = PlanColumns();
    int total = GetSystemMetrics(SM_CXVSCROLL) + 4 * GetSystemMetrics(SM_CXEDGE) + 16;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        int widest = static_cast<int>(TextSize(dc, std::string(columns[c].heading)).cx);
        for (const PlanRow& r : rows_) widest = std::max(widest, static_cast<int>(TextSize(dc, CellText(r, c)).cx));
        ListView_SetColumnWidth(table_, static_cast<int>(c), widest + room);
        total += widest + room;
    }
    SelectObject(dc, old);
    ReleaseDC(table_, dc);
    RECT frame{0, 0, total, 720}, screen{};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    const int width = std::clamp<int>(frame.right - frame.left, 980, std::max<int>(980, std::min<int>(1240, screen.right - screen.left)));
    SetWindowPos(window_, nullptr, 0, 0, width, 720, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlanWindow::lay_out() {
    RECT client;
    GetClientRect(window_, &client);
    const int margin = 8, buttonHeight = 26, buttonWidth = 160;
    const int bottom = client.bottom - margin - buttonHeight;
    const int chartHeight = (bottom - 2 * margin) * 3 / 5;
    MoveWindow(chart_, margin, margin, client.right - 2 * margin, chartHeight, TRUE);
    MoveWindow(table_, margin, 2 * margin + chartHeight, client.right - 2 * margin, bottom - 3 * margin - chartHeight, TRUE);
    // Export and Save chart picture at the left, Close at the right.
    const int lefts[] = {margin, 2 * margin + buttonWidth, client.right - buttonWidth - margin};
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        MoveWindow(buttons_[i], lefts[i], bottom, buttonWidth, buttonHeight, TRUE);
    }
}

void PlanWindow::paint_chart(HDC dc, const RECT& area) const {
    const HGDIOBJ oldFont = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    const int line = metrics.tmHeight;
    // Room for the axes' names and labels: frequency left, level right, time below.
    const RECT plot{area.left + 2 * line + LabelWidth(dc, axes_.frequency), area.top + 2 * line,
                    area.right - 2 * line - LabelWidth(dc, axes_.level), area.bottom - 3 * line};
    Text(dc, (area.left + area.right) / 2, area.top + line / 2, title_, TA_CENTER | TA_TOP, kTextColour);
    DrawGrid(dc, axes_, plot);
    Line(dc, kFrequencyInk, PS_SOLID, 1, {plot.left, plot.top}, {plot.left, plot.bottom});
    Line(dc, kLevelInk, PS_SOLID, 1, {plot.right, plot.top}, {plot.right, plot.bottom});
    Line(dc, kAxisColour, PS_SOLID, 1, {plot.left, plot.bottom}, {plot.right + 1, plot.bottom});
    DrawSteps(dc, axes_, plot, rows_, false);
    DrawSteps(dc, axes_, plot, rows_, true);
    DrawLabels(dc, axes_, plot, line);
    // The axes' names, upwards beside the plot and centred under it.
    const int middle = (plot.top + plot.bottom) / 2;
    SelectObject(dc, uprightFont_);
    Text(dc, area.left + 2, middle, axes_.frequency.title, TA_CENTER | TA_TOP, kFrequencyInk);
    Text(dc, area.right - 2 - line, middle, axes_.level.title, TA_CENTER | TA_TOP, kLevelInk);
    SelectObject(dc, titleFont_);
    Text(dc, (plot.left + plot.right) / 2, plot.bottom + 6 + line, axes_.time.title, TA_CENTER | TA_TOP, kTextColour);
    SelectObject(dc, oldFont);
}

Result<std::vector<std::uint8_t>> PlanWindow::chart_png() const {
    RECT area;
    GetClientRect(chart_, &area);
    return PaintedPng(area.right, area.bottom, [this](HDC dc, const RECT& r) { paint_chart(dc, r); });
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
            if (LOWORD(wParam) == kPictureId) handler_(*this, Request::SavePicture);
            if (LOWORD(wParam) == kCloseId || LOWORD(wParam) == IDCANCEL) close();
            return 0;
        case WM_NCDESTROY: {
            const HWND window = window_;
            handler_(*this, Request::Closed);
            for (HFONT font : {font_, titleFont_, uprightFont_}) {
                if (font) DeleteObject(font);
            }
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

void PlanWindow::enable_commands(bool enabled) {
    EnableWindow(buttons_[0], enabled);
    EnableWindow(buttons_[1], enabled);
}

}  // namespace sweepwav
