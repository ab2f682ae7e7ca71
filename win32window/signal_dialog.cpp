#include "win32window/signal_dialog.h"

#include <optional>
#include <string>

#include "commands/window_texts.h"
#include "platform/win32_io.h"
#include "settings/catalogue.h"
#include "settings/entry_values.h"
#include "win32window/control_ids.h"
#include "win32window/form_ids.h"
#include "win32window/form_window.h"

namespace sweepwav {

namespace {

// The positions of the channel choice's items: all, a list, each in turn.
enum ChannelMode { kAll, kList, kEach };

int FieldId(const Entry& e) { return SignalFieldId(e.control); }
int LabelId(const Entry& e) { return SignalLabelId(e.control); }

struct Editing {
    WindowOps& window;
    GeneratorState& state;
    EntryTexts shown;  // the values the dialog opened with, as typed
};

void Show(HWND dialog, Editing& editing) {
    SetWindowTextUtf8(dialog, kSignalOptionsTitle);
    editing.shown = ReadEntries(editing.window, editing.state);
    for (const Entry& e : Entries()) {
        if (e.place != Place::SignalDialog) continue;
        SetWindowTextUtf8(GetDlgItem(dialog, LabelId(e)), e.text);
        HWND field = GetDlgItem(dialog, FieldId(e));
        const std::string& value = editing.shown[e.control];
        if (e.kind != EntryKind::Channels) {
            SetWindowTextUtf8(field, value);
            continue;
        }
        for (const ListItem& item : e.items) {
            SendMessageW(field, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(item.text).c_str()));
        }
        const int mode = value == "each" ? kEach : value == "all" ? kAll : kList;
        SendMessageW(field, CB_SETCURSEL, static_cast<WPARAM>(mode), 0);
        if (mode == kList) SetWindowTextUtf8(GetDlgItem(dialog, IDC_SignalChannelList), value);
    }
}

void EnableList(HWND dialog) {
    const auto mode = SendDlgItemMessageW(dialog, IDC_SignalChannels, CB_GETCURSEL, 0, 0);
    EnableWindow(GetDlgItem(dialog, IDC_SignalChannelList), mode == kList);
}

// The channel choice as settings files write it; empty after refusing it.
std::optional<std::string> ChannelsValue(HWND dialog) {
    const auto mode = SendDlgItemMessageW(dialog, IDC_SignalChannels, CB_GETCURSEL, 0, 0);
    if (mode == kEach) return "each";
    if (mode == kAll) return "all";
    const std::string text = WindowText(GetDlgItem(dialog, IDC_SignalChannelList));
    const auto choice = ParseChannelChoice(text);
    if (choice && !choice->each && !choice->channels.empty()) return text;
    return std::nullopt;
}

// Puts the edited values into the state, as typed; a value that does not
// do names its problem in the dialog, and nothing changes. A field left as
// it was opened keeps its value to the last digit.
bool Take(HWND dialog, Editing& editing) {
    const auto refuse = [dialog](int field, std::string_view problem) {
        SetWindowTextUtf8(GetDlgItem(dialog, IDC_SignalProblem), problem);
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, field)), TRUE);
        return false;
    };
    EntryTexts edited;
    for (const Entry& e : Entries()) {
        if (e.place != Place::SignalDialog) continue;
        std::optional<std::string> value;
        if (e.kind == EntryKind::Channels) {
            value = ChannelsValue(dialog);
            if (!value) return refuse(IDC_SignalChannelList, kChannelListProblem);
        } else {
            value = WindowText(GetDlgItem(dialog, FieldId(e)));
            if (*value != editing.shown[e.control] && !CheckedValue(e, *value)) {
                return refuse(FieldId(e), LengthProblemText(e.control));
            }
        }
        if (*value != editing.shown[e.control]) edited[e.control] = *value;
    }
    FillEntries(editing.window, editing.state, edited);
    return true;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        Show(dialog, *reinterpret_cast<Editing*>(lParam));
        EnableList(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    auto* editing = reinterpret_cast<Editing*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (LOWORD(wParam) == IDC_SignalChannels && HIWORD(wParam) == CBN_SELCHANGE) EnableList(dialog);
    if (LOWORD(wParam) == IDOK && Take(dialog, *editing)) EndDialog(dialog, IDOK);
    if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
    return TRUE;
}

}  // namespace

bool AskSignalOptions(HINSTANCE instance, HWND owner, WindowOps& window, GeneratorState& state) {
    Editing editing{window, state, {}};
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SIGNAL_OPTIONS), owner, DialogProc,
                           reinterpret_cast<LPARAM>(&editing)) == IDOK;
}

}  // namespace sweepwav
