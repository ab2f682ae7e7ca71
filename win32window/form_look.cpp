// The window's look: texts from the catalogue, fonts and colours, the
// bands behind the status line, the heading and the progress lines,
// tooltips, the menu bar, and the layout when the window is resized.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "commands/window_texts.h"
#include "core/window_look.h"
#include "platform/win32_io.h"
#include "settings/catalogue.h"
#include "win32window/control_ids.h"
#include "win32window/form_window.h"
#include "win32window/form_ids.h"

namespace sweepwav {

namespace {

constexpr COLORREF Ref(Rgb c) { return RGB(c.red, c.green, c.blue); }

// The bands, in dialog units from the top: the header box, the status
// band, the heading band and the progress band.
constexpr int kHeaderTop = 4, kHeaderBottom = 37;
constexpr int kStatusTop = 39, kStatusBottom = 55;
constexpr int kParamsTop = 160, kParamsBottom = 176;
constexpr int kProgressTop = 236, kProgressBottom = 256;

HFONT FontLike(HWND window, const wchar_t* face, int weight, double scale) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    font.lfHeight = static_cast<LONG>(font.lfHeight * scale);
    font.lfWeight = weight;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

// Paints a progress bar as a line from its left end to its position, the
// colour of the line in data, on the progress band.
LRESULT CALLBACK PaintLine(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (message == WM_ERASEBKGND) return 1;
    if (message != WM_PAINT) return DefSubclassProc(bar, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(bar, &paint);
    RECT area;
    GetClientRect(bar, &area);
    HBRUSH band = CreateSolidBrush(Ref(kProgressBandColour));
    FillRect(dc, &area, band);
    DeleteObject(band);
    const auto position = SendMessageW(bar, PBM_GETPOS, 0, 0);
    const int length = MulDiv(area.right, static_cast<int>(position), static_cast<int>(kLineSpan));
    if (length > 0) {
        const int thickness = std::max<int>(2, area.bottom / 2);
        const RECT line{0, (area.bottom - thickness) / 2, length, (area.bottom + thickness) / 2};
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(data));
        FillRect(dc, &line, brush);
        DeleteObject(brush);
    }
    EndPaint(bar, &paint);
    return 0;
}

// "Ctrl+Shift+E" as a key for the accelerator table.
ACCEL KeysOf(std::string_view keys, int id) {
    ACCEL key{FVIRTKEY, 0, static_cast<WORD>(id)};
    for (std::size_t plus; (plus = keys.find('+')) != std::string_view::npos; keys.remove_prefix(plus + 1)) {
        if (keys.substr(0, plus) == "Ctrl") key.fVirt |= FCONTROL;
        if (keys.substr(0, plus) == "Shift") key.fVirt |= FSHIFT;
        if (keys.substr(0, plus) == "Alt") key.fVirt |= FALT;
    }
    key.key = keys.empty() ? 0 : static_cast<WORD>(keys.front());
    return key;
}

}  // namespace

void FormWindow::apply_catalogue() {
    for (const FormLabel& label : FormLabels()) SetWindowTextUtf8(item(FormLabelId(label.name)), label.text);
    // The progress bars are named by their labels, and carry the name too.
    SetWindowTextUtf8(control(Control::Progress1), WindowText(item(IDC_NAME_Progress1)));
    SetWindowTextUtf8(control(Control::Progress2), WindowText(item(IDC_NAME_Progress2)));
    tooltips_ = CreateTooltips(window_);
    for (const Entry& e : Entries()) {
        if (e.place != Place::Form) continue;
        HWND field = control(e.control);
        add_tooltip(field, std::string(e.tooltip));
        if (e.kind == EntryKind::Button || e.kind == EntryKind::Tick) {
            SetWindowTextUtf8(field, e.text);
        } else {
            SetWindowTextUtf8(item(IDC_NAME_StartFreq + static_cast<int>(e.control)), e.caption);
        }
    }
    add_tooltip(item(IDC_OutputBar), std::string());
}

void FormWindow::add_tooltip(HWND control, const std::string& text) { AddTooltip(tooltips_, control, text); }

void FormWindow::set_tooltip(HWND control, const std::string& text) {
    std::wstring wide = WideText(text);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = wide.data();
    SendMessageW(tooltips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

HWND CreateTooltips(HWND owner) {
    HWND tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                    reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)), nullptr);
    SendMessageW(tooltips, TTM_SETMAXTIPWIDTH, 0, 600);
    return tooltips;
}

void AddTooltip(HWND tooltips, HWND control, const std::string& text) {
    std::wstring wide = WideText(text);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = wide.data();
    SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FormWindow::apply_look() {
    titleFont_ = FontLike(window_, L"Arial Black", FW_BLACK, 1.7);
    boldFont_ = FontLike(window_, L"Arial", FW_BOLD, 1.15);
    SendMessageW(item(IDC_titletext), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);
    SendMessageW(control(Control::Status), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_), FALSE);
    SendMessageW(item(IDC_ParamsHeading), WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_), FALSE);
    bandBrush_ = CreateSolidBrush(Ref(kBandColour));
    progressBrush_ = CreateSolidBrush(Ref(kProgressBandColour));
    headerBrush_ = CreateSolidBrush(Ref(kHeaderColour));

    icon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_SWEEPWAV), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_SWEEPWAV), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    SendMessageW(item(IDC_Image1), STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);

    // The progress bars keep their value for screen readers, but are drawn
    // as the plain lines of the dark band.
    const std::pair<Control, COLORREF> lines[] = {{Control::Progress1, Ref(kProgress1Colour)},
                                                  {Control::Progress2, Ref(kProgress2Colour)}};
    for (const auto& [line, colour] : lines) {
        SendMessageW(control(line), PBM_SETRANGE32, 0, static_cast<LPARAM>(kLineSpan));
        SetWindowSubclass(control(line), PaintLine, 0, colour);
    }
}

void FormWindow::build_menu_bar() {
    RECT client;
    GetClientRect(window_, &client);
    menu_ = CreateMenu();
    std::vector<ACCEL> keys;
    for (const Menu& m : MenuBar()) {
        HMENU popup = CreatePopupMenu();
        for (const MenuCommand& command : m.commands) {
            const int id = MenuCommandId(command.name);
            if (command.name.empty()) {
                AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            std::string text(MenuCommandNamed(command.name).text);
            if (!command.keys.empty()) {
                text += '\t';
                text += command.keys;
            }
            if (command.name == "RecentSettings" || command.name == "Presets") {
                HMENU& submenu = command.name == "Presets" ? presetsMenu_ : recentMenu_;
                submenu = CreatePopupMenu();
                AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), WideText(text).c_str());
                continue;
            }
            AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(id), WideText(text).c_str());
            if (!command.keys.empty()) keys.push_back(KeysOf(command.keys, id));
        }
        AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), WideText(m.title).c_str());
    }
    SetMenu(window_, menu_);
    keys_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
    // The menu bar takes its height from the window, not from the form.
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window_, GWL_EXSTYLE));
    AdjustWindowRectEx(&client, style, TRUE, exStyle);
    SetWindowPos(window_, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::fill_recent_menu(const std::vector<RecentFile>& files) {
    while (GetMenuItemCount(recentMenu_) > 0) DeleteMenu(recentMenu_, 0, MF_BYPOSITION);
    for (std::size_t i = 0; i < files.size(); ++i) {
        AppendMenuW(recentMenu_, MF_STRING, IDM_RECENT_FIRST + i,
                    WideText(RecentFileText(static_cast<int>(i), files[i].name, files[i].folder)).c_str());
    }
    recentShown_ = files;
}

void FormWindow::fill_presets_menu(const std::vector<PresetFile>& presets) {
    while (GetMenuItemCount(presetsMenu_) > 0) DeleteMenu(presetsMenu_, 0, MF_BYPOSITION);
    for (std::size_t i = 0; i < presets.size() && IDM_PRESET_FIRST + i < IDM_PRESET_END; ++i) {
        AppendMenuW(presetsMenu_, MF_STRING, IDM_PRESET_FIRST + i,
                    WideText(PresetMenuText(presets[i].name, presets[i].about)).c_str());
    }
    presetsShown_ = presets;
}

RECT FormWindow::band(int top, int bottom) const {
    RECT units{0, top, 0, bottom};
    MapDialogRect(window_, &units);
    RECT client;
    GetClientRect(window_, &client);
    return {0, units.top, client.right, units.bottom};
}

void FormWindow::paint_bands(HDC dc) {
    RECT header = band(kHeaderTop, kHeaderBottom);
    RECT inset{4, 0, 0, 0};
    MapDialogRect(window_, &inset);
    InflateRect(&header, -inset.left, 0);
    HPEN border = CreatePen(PS_SOLID, 1, Ref(kHeaderBorderColour));
    const HGDIOBJ oldPen = SelectObject(dc, border);
    const HGDIOBJ oldBrush = SelectObject(dc, headerBrush_);
    RoundRect(dc, header.left, header.top, header.right, header.bottom, 12, 12);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(border);
    const RECT status = band(kStatusTop, kStatusBottom);
    const RECT params = band(kParamsTop, kParamsBottom);
    const RECT progress = band(kProgressTop, kProgressBottom);
    FillRect(dc, &status, bandBrush_);
    FillRect(dc, &params, bandBrush_);
    FillRect(dc, &progress, progressBrush_);
}

INT_PTR FormWindow::colour_static(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    if (id == IDC_Status || id == IDC_ParamsHeading) {
        SetTextColor(dc, Ref(kBandTextColour));
        SetBkColor(dc, Ref(kBandColour));
        return reinterpret_cast<INT_PTR>(bandBrush_);
    }
    if (id == IDC_titletext || id == IDC_Label16 || id == IDC_Image1) {
        SetTextColor(dc, id == IDC_titletext ? Ref(kTitleColour) : Ref(kSubtitleColour));
        SetBkColor(dc, Ref(kHeaderColour));
        return reinterpret_cast<INT_PTR>(headerBrush_);
    }
    return FALSE;
}

void FormWindow::lay_out() {
    RECT client;
    GetClientRect(window_, &client);
    RECT units{6, 10, 4, 0};  // margin, bar height, gap
    MapDialogRect(window_, &units);
    const int width = client.right;
    const auto place = [this](int id, int x, int y, int w, int h) {
        SetWindowPos(item(id), nullptr, std::max(x, 0), y, std::max(w, 1), std::max(h, 1), SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const auto rectOf = [this](int id) {
        RECT r;
        GetWindowRect(item(id), &r);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    for (int id : {IDC_Status, IDC_ParamsHeading, IDC_titletext, IDC_Label16}) {
        const RECT r = rectOf(id);
        place(id, r.left, r.top, width - r.left - units.left, r.bottom - r.top);
    }
    // The lines start at X = 60 of the window's 4740 units and end at 4660.
    for (int id : {IDC_Progress1, IDC_Progress2}) {
        const RECT r = rectOf(id);
        const int left = MulDiv(width, static_cast<int>(kLineEmpty), 4740);
        place(id, left, r.top, MulDiv(width, static_cast<int>(kLineSpan), 4740), r.bottom - r.top);
    }
    // Under the form, each on a line of its own and as wide as the window:
    // where files go, then the options that are on. Both cut what does not
    // fit with an ellipsis, never at less than a character's room.
    const int lineWidth = std::max(width - 2 * units.left, units.top);
    const int optionsTop = client.bottom - units.top - units.right / 2;
    place(IDC_OutputBar, units.left, optionsTop - units.top, lineWidth, units.top);
    place(IDC_SignalOptions, units.left, optionsTop, lineWidth, units.top);
    InvalidateRect(window_, nullptr, TRUE);
}

}  // namespace sweepwav
