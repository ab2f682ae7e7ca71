#include "win32window/options_dialog.h"

#include <optional>
#include <string>

#include "commands/window_texts.h"
#include "platform/win32_io.h"
#include "settings/entry_values.h"
#include "win32window/control_ids.h"
#include "win32window/form_ids.h"
#include "win32window/form_window.h"

namespace sweepwav {

namespace {

// The positions of the channel choice's items: all, a list, each in turn.
enum ChannelMode { kAll, kList, kEach };

struct Editing {
    WindowOps& window;
    GeneratorState& state;
    Place place;
    EntryTexts shown;  // the values the dialog opened with, as typed
};

HWND Field(HWND dialog, const Entry& e) { return GetDlgItem(dialog, OptionsIdsOf(e.control).field); }

std::size_t Selected(HWND list) {
    const LRESULT position = SendMessageW(list, CB_GETCURSEL, 0, 0);
    return position > 0 ? static_cast<std::size_t>(position) : 0;
}

void AddItems(HWND list, const Entry& e) {
    for (const ListItem& item : e.items) {
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(item.text).c_str()));
    }
}

// The channel choice: its mode, and the list when it is one. The list is
// named by the choice it belongs to ("These channels").
void ShowChannels(HWND dialog, const Entry& e, const std::string& value) {
    const int mode = value == "each" ? kEach : value == "all" ? kAll : kList;
    SendMessageW(Field(dialog, e), CB_SETCURSEL, static_cast<WPARAM>(mode), 0);
    const std::string_view choice = e.items[kList].text;
    SetWindowTextUtf8(GetDlgItem(dialog, IDC_NAME_SignalChannelList), choice.substr(0, choice.find(':')));
    if (mode == kList) SetWindowTextUtf8(GetDlgItem(dialog, IDC_SignalChannelList), value);
}

// An entry's row: the label, the name screen readers hear (the entry's
// caption, as on the form) and the value in the field; a tick carries its
// text itself.
void ShowEntry(HWND dialog, const Entry& e, const std::string& value) {
    const OptionsIds ids = OptionsIdsOf(e.control);
    HWND field = GetDlgItem(dialog, ids.field);
    if (e.kind == EntryKind::Tick) {
        SetWindowTextUtf8(field, e.text);
        SendMessageW(field, BM_SETCHECK, value == "yes" ? BST_CHECKED : BST_UNCHECKED, 0);
        return;
    }
    SetWindowTextUtf8(GetDlgItem(dialog, ids.label), e.text);
    SetWindowTextUtf8(GetDlgItem(dialog, ids.name), e.caption);
    if (e.kind == EntryKind::List || e.kind == EntryKind::Channels) AddItems(field, e);
    if (e.kind == EntryKind::List) {
        SendMessageW(field, CB_SETCURSEL, static_cast<WPARAM>(ItemPosition(e, value).value_or(0)), 0);
    } else if (e.kind == EntryKind::Channels) {
        ShowChannels(dialog, e, value);
    } else {
        SetWindowTextUtf8(field, value);
    }
}

void Show(HWND dialog, Editing& editing) {
    SetWindowTextUtf8(dialog, editing.place == Place::FrequenciesDialog ? kFrequenciesTitle : kSignalOptionsTitle);
    editing.shown = ReadEntries(editing.window, editing.state);
    for (const Entry& e : Entries()) {
        if (e.place == editing.place) ShowEntry(dialog, e, editing.shown[e.control]);
    }
}

// Fields that count only for some choices of a list go grey otherwise: the
// channel numbers for "These channels:", the nominal tick for bands, the
// frequency list for "These frequencies:".
void FollowChoices(HWND dialog) {
    if (HWND channels = GetDlgItem(dialog, IDC_SignalChannels)) {
        EnableWindow(GetDlgItem(dialog, IDC_SignalChannelList), Selected(channels) == kList);
    }
    if (HWND spacing = GetDlgItem(dialog, IDC_Spacing)) {
        const std::string chosen = ItemNameAt(EntryOf(Control::Spacing), Selected(spacing));
        EnableWindow(GetDlgItem(dialog, IDC_NominalBands), chosen.starts_with("bands"));
        EnableWindow(GetDlgItem(dialog, IDC_FrequencyList), chosen == "list");
    }
}

// The channel choice as settings files write it; empty after refusing it.
std::optional<std::string> ChannelsValue(HWND dialog) {
    const std::size_t mode = Selected(GetDlgItem(dialog, IDC_SignalChannels));
    if (mode == kEach) return "each";
    if (mode == kAll) return "all";
    const std::string text = WindowText(GetDlgItem(dialog, IDC_SignalChannelList));
    const auto choice = ParseChannelChoice(text);
    if (choice && !choice->each && !choice->channels.empty()) return text;
    return std::nullopt;
}

// The value a field holds, as settings files write it; empty when it is
// not one the entry takes. A text left as it was opened is kept as it is.
std::optional<std::string> ValueOf(HWND dialog, const Entry& e, const std::string& shown) {
    HWND field = Field(dialog, e);
    switch (e.kind) {
        case EntryKind::Tick: return SendMessageW(field, BM_GETCHECK, 0, 0) == BST_CHECKED ? "yes" : "no";
        case EntryKind::List: return ItemNameAt(e, Selected(field));
        case EntryKind::Channels: return ChannelsValue(dialog);
        default: break;
    }
    const std::string text = WindowText(field);
    if (text != shown && !CheckedValue(e, text)) return std::nullopt;
    return text;
}

// Puts the edited values into the state, as typed; a value that does not
// do names its problem in the dialog, and nothing changes. A field left as
// it was opened keeps its value to the last digit.
bool Take(HWND dialog, Editing& editing) {
    EntryTexts edited;
    for (const Entry& e : Entries()) {
        if (e.place != editing.place) continue;
        const std::string& shown = editing.shown[e.control];
        const std::optional<std::string> value = ValueOf(dialog, e, shown);
        if (!value) {
            const bool channels = e.kind == EntryKind::Channels;
            SetWindowTextUtf8(GetDlgItem(dialog, IDC_OptionsProblem),
                              channels ? std::string(kChannelListProblem) : LengthProblemText(e.control));
            HWND refused = channels ? GetDlgItem(dialog, IDC_SignalChannelList) : Field(dialog, e);
            SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(refused), TRUE);
            return false;
        }
        if (*value != shown) edited[e.control] = *value;
    }
    FillEntries(editing.window, editing.state, edited);
    return true;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        Show(dialog, *reinterpret_cast<Editing*>(lParam));
        FollowChoices(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    auto* editing = reinterpret_cast<Editing*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (HIWORD(wParam) == CBN_SELCHANGE) FollowChoices(dialog);
    if (LOWORD(wParam) == IDOK && Take(dialog, *editing)) EndDialog(dialog, IDOK);
    if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
    return TRUE;
}

}  // namespace

bool AskOptions(HINSTANCE instance, HWND owner, WindowOps& window, GeneratorState& state, Place place) {
    Editing editing{window, state, place, {}};
    const int dialog = place == Place::FrequenciesDialog ? IDD_FREQUENCIES : IDD_SIGNAL_OPTIONS;
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(dialog), owner, DialogProc,
                           reinterpret_cast<LPARAM>(&editing)) == IDOK;
}

}  // namespace sweepwav
