#include "win32window/signal_dialog.h"

#include <optional>
#include <string>

#include "commands/window_texts.h"
#include "numbers/number_text.h"
#include "platform/win32_io.h"
#include "settings/catalogue.h"
#include "settings/entry_values.h"
#include "win32window/control_ids.h"
#include "win32window/form_window.h"

namespace sweepwav {

namespace {

// The positions of the channel choice's items: all, a list, each in turn.
enum ChannelMode { kAll, kList, kEach };

int FieldId(const Entry& e) { return IDC_SIGNAL_FIELD_BASE + static_cast<int>(e.control); }
int LabelId(const Entry& e) { return IDC_SIGNAL_LABEL_BASE + static_cast<int>(e.control); }

void Show(HWND dialog, const SignalOptions& options) {
    SetWindowTextUtf8(dialog, kSignalOptionsTitle);
    for (const Entry& e : Entries()) {
        if (e.place != Place::SignalDialog) continue;
        SetWindowTextUtf8(GetDlgItem(dialog, LabelId(e)), e.text);
        HWND field = GetDlgItem(dialog, FieldId(e));
        if (e.kind == EntryKind::Milliseconds) SetWindowTextUtf8(field, NumberText(MsValue(options, e)));
        if (e.kind != EntryKind::Channels) continue;
        for (const ListItem& item : e.items) SendMessageW(field, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideText(item.text).c_str()));
        const ChannelChoice& choice = options.channels;
        SendMessageW(field, CB_SETCURSEL, choice.each ? kEach : choice.channels.empty() ? kAll : kList, 0);
        if (!choice.channels.empty()) SetWindowTextUtf8(GetDlgItem(dialog, IDC_SignalChannelList), ChannelChoiceText(choice));
    }
}

void EnableList(HWND dialog) {
    const auto mode = SendDlgItemMessageW(dialog, IDC_SignalChannels, CB_GETCURSEL, 0, 0);
    EnableWindow(GetDlgItem(dialog, IDC_SignalChannelList), mode == kList);
}

// Takes the dialog's values into options; a value that does not do names
// its problem in the dialog, and nothing changes.
bool Take(HWND dialog, SignalOptions& options) {
    SignalOptions edited = options;
    const auto refuse = [dialog](int field, std::string_view problem) {
        SetWindowTextUtf8(GetDlgItem(dialog, IDC_SignalProblem), problem);
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, field)), TRUE);
        return false;
    };
    for (const Entry& e : Entries()) {
        if (e.place != Place::SignalDialog || e.kind != EntryKind::Milliseconds) continue;
        const std::optional<double> value = ParseNumber(WindowText(GetDlgItem(dialog, FieldId(e))));
        if (!value || *value < e.low || *value > e.high) return refuse(FieldId(e), LengthProblemText(e.control));
        MsValue(edited, e) = RoundDecimals(*value, 3);  // as the Qt dialog's boxes hold them
    }
    ChannelChoice choice;
    const auto mode = SendDlgItemMessageW(dialog, IDC_SignalChannels, CB_GETCURSEL, 0, 0);
    if (mode == kEach) choice.each = true;
    if (mode == kList) {
        std::string text = WindowText(GetDlgItem(dialog, IDC_SignalChannelList));
        std::erase(text, ' ');
        const auto list = ParseChannelChoice(text);
        if (!list || list->each || list->channels.empty()) return refuse(IDC_SignalChannelList, kChannelListProblem);
        choice = *list;
    }
    edited.channels = choice;
    options = edited;
    return true;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        Show(dialog, *reinterpret_cast<SignalOptions*>(lParam));
        EnableList(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    auto* options = reinterpret_cast<SignalOptions*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (LOWORD(wParam) == IDC_SignalChannels && HIWORD(wParam) == CBN_SELCHANGE) EnableList(dialog);
    if (LOWORD(wParam) == IDOK && Take(dialog, *options)) EndDialog(dialog, IDOK);
    if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDCANCEL);
    return TRUE;
}

}  // namespace

bool AskSignalOptions(HINSTANCE instance, HWND owner, SignalOptions& options) {
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SIGNAL_OPTIONS), owner, DialogProc,
                           reinterpret_cast<LPARAM>(&options)) == IDOK;
}

}  // namespace sweepwav
