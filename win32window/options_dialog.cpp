#include "win32window/options_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32_io.h"
#include "win32window/control_ids.h"
#include "win32window/form_ids.h"
#include "win32window/form_window.h"

namespace sweepwav {

namespace {

// The rows, in dialog units: the margin, a row's height, a field's, the
// gap between columns, the unit's width and the buttons'.
constexpr int kMargin = 8, kRow = 16, kFieldHeight = 12, kGap = 4, kUnitWidth = 16;
constexpr int kButtonWidth = 50, kButtonHeight = 14, kProblemHeight = 18, kListHeight = 120;

struct Editing {
    OptionsForm form;
    EntryTexts edited;
    HWND firstField = nullptr;
    HWND tooltips = nullptr;
};

// Where the columns are, in pixels; a unit follows its field.
struct Columns {
    int label = 0, labelWidth = 0, field = 0, fieldWidth = 0, right = 0;
};

// Dialog units of this dialog in pixels.
int Across(HWND dialog, int units) {
    RECT r{0, 0, units, 0};
    MapDialogRect(dialog, &r);
    return r.right;
}

int Down(HWND dialog, int units) {
    RECT r{0, 0, 0, units};
    MapDialogRect(dialog, &r);
    return r.bottom;
}

// How wide an entry's field is, in dialog units.
int FieldUnits(const Entry& e) {
    if (e.kind == EntryKind::OptionNumber) return 60;
    if (e.kind == EntryKind::Channels) return 100;
    return 190;
}

std::string Shown(std::string_view text) {
    std::string shown(text);
    std::erase(shown, '&');
    return shown;
}

int TextWidth(HWND dialog, std::string_view text) {
    HDC dc = GetDC(dialog);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    const std::wstring wide = WideText(Shown(text));
    SIZE extent{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    return extent.cx;
}

HWND Add(HWND dialog, const wchar_t* kind, std::string_view text, DWORD style, int id, RECT r, DWORD exStyle = 0) {
    HWND control = CreateWindowExW(exStyle, kind, WideText(text).c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                   std::max<int>(r.right - r.left, 0), std::max<int>(r.bottom - r.top, 0), dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE)), nullptr);
    SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(SendMessageW(dialog, WM_GETFONT, 0, 0)), FALSE);
    return control;
}

Columns Measure(HWND dialog, const OptionsForm& form) {
    Columns c;
    int widest = 0;  // a field and its unit
    for (const OptionsForm::Field& f : form.fields()) {
        if (f.entry->kind != EntryKind::Tick) c.labelWidth = std::max(c.labelWidth, TextWidth(dialog, f.entry->text));
        c.fieldWidth = std::max(c.fieldWidth, Across(dialog, FieldUnits(*f.entry)));
        for (const ListItem& item : f.entry->items) {
            c.fieldWidth = std::max(c.fieldWidth, TextWidth(dialog, item.text) + Across(dialog, 20));
        }
        const int unit = f.unit.empty() ? 0 : Across(dialog, kGap + kUnitWidth);
        widest = std::max(widest, Across(dialog, FieldUnits(*f.entry)) + unit);
    }
    c.label = Across(dialog, kMargin);
    c.field = c.label + c.labelWidth + Across(dialog, kGap);
    c.right = c.field + std::max(c.fieldWidth, widest);
    return c;
}

// The channel list under the channel choice, named by the choice it
// belongs to ("These channels").
void AddChannelList(HWND dialog, HWND tooltips, const OptionsForm& form, const OptionsForm::Field& f, const Columns& c,
                    int top) {
    Add(dialog, L"STATIC", form.channel_list_name(), SS_NOPREFIX, IDC_NAME_SignalChannelList, {});
    HWND list = Add(dialog, L"EDIT", f.text, ES_AUTOHSCROLL | WS_TABSTOP, IDC_SignalChannelList,
                    {c.field, top, c.field + Across(dialog, FieldUnits(*f.entry)), top + Down(dialog, kFieldHeight)},
                    WS_EX_CLIENTEDGE);
    SendMessageW(list, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(WideText(kChannelListExample).c_str()));
    AddTooltip(tooltips, list, std::string(kChannelListTip));
}

// An entry's row: its label, the name screen readers hear (the entry's
// caption, as on the form), the field and its unit; a tick carries its
// text itself. Returns the field.
HWND AddRow(HWND dialog, const OptionsForm::Field& f, const Columns& c, int top) {
    const Entry& e = *f.entry;
    const OptionsIds ids = OptionsIdsOf(e.control);
    const int height = Down(dialog, kFieldHeight), textTop = top + Down(dialog, 2);
    const int fieldRight = e.kind == EntryKind::Tick ? c.field + c.fieldWidth : c.field + Across(dialog, FieldUnits(e));
    if (e.kind == EntryKind::Tick) {
        HWND tick = Add(dialog, L"BUTTON", e.text, BS_AUTOCHECKBOX | WS_TABSTOP, ids.field, {c.field, top, fieldRight, top + height});
        SendMessageW(tick, BM_SETCHECK, f.ticked ? BST_CHECKED : BST_UNCHECKED, 0);
        return tick;
    }
    Add(dialog, L"STATIC", e.text, 0, ids.label, {c.label, textTop, c.label + c.labelWidth, textTop + Down(dialog, 9)});
    Add(dialog, L"STATIC", e.caption, SS_NOPREFIX, ids.name, {});
    HWND field = nullptr;
    if (e.kind == EntryKind::List || e.kind == EntryKind::Channels) {
        field = Add(dialog, L"COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, ids.field,
                    {c.field, top, fieldRight, top + Down(dialog, kListHeight)});
        for (const ListItem& item : e.items) {
            SendMessageW(field, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(item.text).c_str()));
        }
        SendMessageW(field, CB_SETCURSEL, static_cast<WPARAM>(f.position), 0);
    } else {
        field = Add(dialog, L"EDIT", f.text, ES_AUTOHSCROLL | WS_TABSTOP, ids.field, {c.field, top, fieldRight, top + height},
                    WS_EX_CLIENTEDGE);
    }
    if (!f.unit.empty()) {
        const int unit = fieldRight + Across(dialog, kGap);
        Add(dialog, L"STATIC", f.unit, SS_NOPREFIX, ids.unit, {unit, textTop, unit + Across(dialog, kUnitWidth), textTop + Down(dialog, 9)});
    }
    return field;
}

// The dialog as wide and high as its rows, over the middle of its owner.
void Fit(HWND dialog, int width, int height) {
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    RECT owner{};
    GetWindowRect(GetWindow(dialog, GW_OWNER), &owner);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    SetWindowPos(dialog, nullptr, std::max<int>(owner.left + (owner.right - owner.left - w) / 2, 0),
                 std::max<int>(owner.top + (owner.bottom - owner.top - h) / 2, 0), w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Build(HWND dialog, Editing& editing) {
    SetWindowTextUtf8(dialog, editing.form.title());
    editing.tooltips = CreateTooltips(dialog);
    const Columns c = Measure(dialog, editing.form);
    int top = Down(dialog, kMargin);
    for (const OptionsForm::Field& f : editing.form.fields()) {
        HWND field = AddRow(dialog, f, c, top);
        AddTooltip(editing.tooltips, field, std::string(f.entry->tooltip));
        if (!editing.firstField) editing.firstField = field;
        top += Down(dialog, kRow);
        if (f.entry->kind != EntryKind::Channels) continue;
        AddChannelList(dialog, editing.tooltips, editing.form, f, c, top);
        top += Down(dialog, kRow);
    }
    Add(dialog, L"STATIC", "", SS_NOPREFIX, IDC_OptionsProblem, {c.label, top, c.right, top + Down(dialog, kProblemHeight)});
    top += Down(dialog, kProblemHeight + kGap);
    const int button = Across(dialog, kButtonWidth), gap = Across(dialog, kGap), bottom = top + Down(dialog, kButtonHeight);
    Add(dialog, L"BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, {c.right - 2 * button - gap, top, c.right - button - gap, bottom});
    Add(dialog, L"BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, {c.right - button, top, c.right, bottom});
    Fit(dialog, c.right + Across(dialog, kMargin), bottom + Down(dialog, kMargin));
}

// What the fields hold now, into the form.
void TakeFields(HWND dialog, OptionsForm& form) {
    for (const OptionsForm::Field& f : form.fields()) {
        const Control c = f.entry->control;
        HWND field = GetDlgItem(dialog, OptionsIdsOf(c).field);
        switch (f.entry->kind) {
            case EntryKind::Tick: form.set_ticked(c, SendMessageW(field, BM_GETCHECK, 0, 0) == BST_CHECKED); break;
            case EntryKind::List:
            case EntryKind::Channels:
                form.choose(c, static_cast<int>(SendMessageW(field, CB_GETCURSEL, 0, 0)));
                if (f.entry->kind == EntryKind::Channels) form.set_text(c, WindowText(GetDlgItem(dialog, IDC_SignalChannelList)));
                break;
            default: form.set_text(c, WindowText(field)); break;
        }
    }
}

// Fields that count only for some choices of a list go grey otherwise.
void FollowChoices(HWND dialog, OptionsForm& form) {
    TakeFields(dialog, form);
    for (const OptionsForm::Field& f : form.fields()) {
        EnableWindow(GetDlgItem(dialog, OptionsIdsOf(f.entry->control).field), form.counts(f.entry->control));
    }
    if (HWND list = GetDlgItem(dialog, IDC_SignalChannelList)) EnableWindow(list, form.channel_list_counts());
}

// OK: the edited values, or the refusal's problem in the dialog and the
// focus on the field it is about.
bool Take(HWND dialog, Editing& editing) {
    TakeFields(dialog, editing.form);
    const std::optional<EntryTexts> edited = editing.form.accept();
    if (edited) {
        editing.edited = *edited;
        return true;
    }
    const OptionsForm::Refusal& refusal = editing.form.refusal();
    SetWindowTextUtf8(GetDlgItem(dialog, IDC_OptionsProblem), refusal.problem);
    HWND refused = GetDlgItem(dialog, refusal.channelList ? IDC_SignalChannelList : OptionsIdsOf(refusal.field).field);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(refused), TRUE);
    return false;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto& editing = *reinterpret_cast<Editing*>(lParam);
        Build(dialog, editing);
        FollowChoices(dialog, editing.form);
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(editing.firstField), TRUE);
        return FALSE;  // the focus is set
    }
    if (message != WM_COMMAND) return FALSE;
    auto& editing = *reinterpret_cast<Editing*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (HIWORD(wParam) == CBN_SELCHANGE) FollowChoices(dialog, editing.form);
    if (LOWORD(wParam) == IDOK && Take(dialog, editing)) EndDialog(dialog, IDOK);
    if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
    return TRUE;
}

// An empty dialog in the form's font, filled when it opens.
std::vector<WORD> EmptyTemplate() {
    DLGTEMPLATE header{};
    header.style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    std::vector<WORD> words((sizeof header + 1) / 2, 0);
    std::memcpy(words.data(), &header, sizeof header);
    words.insert(words.end(), {0, 0, 0, 8});  // no menu, the dialog class, no title; 8 points
    for (const wchar_t c : std::wstring_view(L"MS Shell Dlg 2")) words.push_back(static_cast<WORD>(c));
    words.push_back(0);
    return words;
}

}  // namespace

std::optional<EntryTexts> AskOptions(HINSTANCE instance, HWND owner, OptionsForm form) {
    Editing editing{std::move(form), {}, nullptr, nullptr};
    const std::vector<WORD> dialog = EmptyTemplate();
    const INT_PTR chosen = DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), owner,
                                                   DialogProc, reinterpret_cast<LPARAM>(&editing));
    if (chosen != IDOK) return std::nullopt;
    return editing.edited;
}

}  // namespace sweepwav
