// The options dialogs' names, and Options > Frequencies in place of the
// form's steps (the files it makes are among the cases of "files").
#include "commands/window_texts.h"
#include "scenarios.h"
#include "win32window/control_ids.h"
#include "win32window/form_ids.h"

namespace sweepwav::driver {

namespace {

// Each field named by its caption through the label right before it, a
// tick by its text; then Cancel.
void CheckNames(Window& w, Place place, const char* command, const char* title, Checks& checks) {
    w.menu(command);
    HWND dialog = w.dialog(title);
    checks.check(dialog != nullptr, "frequencies", std::string(command) + " opens \"" + title + "\"");
    if (!dialog) return;
    for (const Entry& e : Entries()) {
        if (e.place != place) continue;
        HWND field = GetDlgItem(dialog, OptionsIdsOf(e.control).field);
        const bool tick = e.kind == EntryKind::Tick;
        checks.equal(w.text_of(tick ? field : GetWindow(field, GW_HWNDPREV)), std::string(tick ? e.text : e.caption),
                     "frequencies", std::string(control_name(e.control)) + "'s name");
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    WaitFor([dialog] { return !IsWindow(dialog); }, std::chrono::seconds(10));
}

}  // namespace

void Frequencies(const Setup& setup, Checks& checks) {
    Window w(setup.program, "");
    CheckNames(w, Place::SignalDialog, "SignalOptions", "Signal options", checks);
    CheckNames(w, Place::FrequenciesDialog, "Frequencies", "Frequencies", checks);
    // The nominal tick counts for bands, the list for "These frequencies:".
    w.menu("Frequencies");
    HWND dialog = w.dialog("Frequencies");
    const Entry& spacing = EntryOf(Control::Spacing);
    const int spacingId = OptionsIdsOf(Control::Spacing).field;
    for (std::size_t i = 0; dialog && i < spacing.items.size(); ++i) {
        SendMessageW(GetDlgItem(dialog, spacingId), CB_SETCURSEL, i, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(spacingId, CBN_SELCHANGE), 0);
        const std::string name = ItemNameAt(spacing, i);
        checks.check(IsWindowEnabled(GetDlgItem(dialog, OptionsIdsOf(Control::NominalBands).field)) == name.starts_with("bands") &&
                         IsWindowEnabled(GetDlgItem(dialog, OptionsIdsOf(Control::FrequencyList).field)) == (name == "list"),
                     "frequencies", "for " + name + " the tick and the list enabled as they count");
    }
    // "These frequencies:" without one is refused at OK, the focus on the list.
    HWND list = dialog ? GetDlgItem(dialog, OptionsIdsOf(Control::FrequencyList).field) : nullptr;
    if (dialog) SendMessageW(list, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L" "));  // "list" is chosen last above
    if (dialog) PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    checks.check(WaitFor([&] { return dialog && w.focus() == list; }, std::chrono::seconds(10)) &&
                     w.text_of(GetDlgItem(dialog, IDC_OptionsProblem)) == kFrequencyListProblem,
                 "frequencies", "an empty list refused, the focus on it");
    if (dialog) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    WaitFor([dialog] { return !IsWindow(dialog); }, std::chrono::seconds(10));

    // Bands in place of the steps: the line under the form says so, and
    // Steps and Log steps are grey, also after a run; the focus leaves them.
    const auto stepsOff = [&] { return !w.enabled(Control::Steps) && !w.enabled(Control::Logsteps); };
    SendMessageW(w.form(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(w.control(Control::Steps)), TRUE);
    // What does not count is not checked: rubbish in Steps, and with a list
    // an end frequency above the rate's limit.
    Apply(w, "--steps abc --bands 3 --tone-ms 20 --tone-cycles 0");
    checks.equal(w.text_of(w.item(IDC_SignalOptions)), "Frequencies: third-octave bands", "frequencies", "the line");
    checks.check(stepsOff(), "frequencies", "Steps and Log steps disabled for bands");
    checks.check(w.focus() != w.control(Control::Steps), "frequencies", "the focus leaves Steps");
    checks.check(w.generate() && stepsOff() && w.enabled(Control::ToneTime), "frequencies",
                 "Steps and Log steps still disabled after a run", w.bar());
    Apply(w, "--end-freq 30000 --frequencies 100,1000");
    checks.equal(w.text_of(w.item(IDC_SignalOptions)), "Frequencies: the listed frequencies", "frequencies",
                 "the line for a list");
    checks.check(w.generate(), "frequencies", "a list runs past an end frequency it does not use", w.bar());
    SetOptions(w, Place::FrequenciesDialog, {{Control::Spacing, "steps"}});
    checks.check(w.enabled(Control::Steps) && w.enabled(Control::Logsteps) && w.text_of(w.item(IDC_SignalOptions)).empty(),
                 "frequencies", "the form's steps back: Steps and Log steps enabled, the line empty");
    w.close();
}

}  // namespace sweepwav::driver
