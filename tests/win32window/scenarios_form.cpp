// The form itself: what it shows at start-up, the keyboard, refused entries,
// Make file name, and the start without the analyser.
#include <array>

#include "commands/window_texts.h"
#include "core/controls.h"
#include "scenarios.h"
#include "settings/catalogue.h"
#include "win32window/control_ids.h"
#include "win32window/form_ids.h"

namespace sweepwav::driver {

namespace {

const std::string kTitle = "Sweep WAV generation";

// The 17 input controls and Play enabled, Abort disabled: the idle form.
bool Unlocked(const Window& w) {
    for (Control c : kInputControls) {
        if (!w.enabled(c)) return false;
    }
    return w.enabled(Control::Play) && !w.enabled(Control::Abort);
}

void CheckEntries(Window& w, Checks& checks) {
    for (const Entry& e : Entries()) {
        if (e.place != Place::Form) continue;
        const std::string name(control_name(e.control));
        if (e.kind == EntryKind::Button || e.kind == EntryKind::Tick) {
            checks.equal(w.text(e.control), std::string(e.text), "start-up", name + "'s text");
        } else {
            // Screen readers name a box or a list by the label right before it.
            HWND label = GetWindow(w.control(e.control), GW_HWNDPREV);
            checks.equal(w.text_of(label), std::string(e.caption), "start-up", name + "'s name");
        }
        if (e.kind == EntryKind::Number || e.kind == EntryKind::Name) {
            checks.equal(w.text(e.control), std::string(e.startup), "start-up", name + "'s start-up text");
        }
        if (e.kind == EntryKind::Tick) checks.check(w.ticked(e.control) == (e.startup == "yes"), "start-up", name + " ticked as at start-up");
        if (e.kind != EntryKind::List) continue;
        std::vector<std::string> items;
        for (const ListItem& item : e.items) items.emplace_back(item.text);
        checks.check(w.items(e.control) == items, "start-up", name + "'s items are the catalogue's");
        checks.check(w.chosen(e.control) == ItemPosition(e, e.startup).value_or(-2), "start-up", name + " on its start-up item");
    }
}

}  // namespace

void StartUp(const Setup& setup, Checks& checks) {
    Window w(setup.program, "");
    checks.equal(w.text_of(w.form()), kTitle, "start-up", "the caption");
    for (const FormLabel& label : FormLabels()) {
        checks.equal(w.text_of(w.item(FormLabelId(label.name))), std::string(label.text), "start-up",
                     "label " + std::string(label.name));
    }
    CheckEntries(w, checks);
    checks.check(Unlocked(w), "start-up", "every input enabled, Abort disabled");
    checks.check(w.focus() == w.control(Control::StartFreq), "start-up", "the focus in StartFreq");
    checks.equal(w.text_of(w.item(IDC_OutputBar)), "Output folder: " + setup.folder + " (analyser folder)",
                 "start-up", "the output bar");
    checks.check(w.close() == 0, "start-up", "the window closes and the program ends with 0");
}

void Keyboard(const Setup& setup, Checks& checks) {
    Window w(setup.program, "");
    // Tab walks the input controls and Play in the focus order (Abort is
    // disabled) and comes back round to the first.
    std::vector<Control> order(kInputControls.begin(), kInputControls.end());
    order.push_back(Control::Play);
    bool inOrder = true;
    std::string walked;
    for (std::size_t i = 1; i <= order.size(); ++i) {
        w.key(VK_TAB);
        const Control want = order[i % order.size()];
        inOrder = WaitFor([&] { return w.focus() == w.control(want); }, std::chrono::seconds(5)) && inOrder;
        walked += " " + std::to_string(GetDlgCtrlID(w.focus()) - IDC_StartFreq);
    }
    checks.check(inOrder, "keyboard", "Tab follows the focus order", walked);
    // Return presses the button that has the focus; in a box it does nothing.
    w.type(Control::FileName, "kept.wav");
    w.key(VK_RETURN);
    checks.check(!w.take_box(std::chrono::milliseconds(1500)), "keyboard", "Return in a box shows nothing");
    SendMessageW(w.form(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(w.control(Control::AutoName)), TRUE);
    w.key(VK_RETURN);
    checks.check(WaitFor([&] { return w.text(Control::FileName) == "SW 20Hz to 20kHz at 0dBFS.wav"; }, std::chrono::seconds(10)),
                 "keyboard", "Return on Make file name makes the name", w.text(Control::FileName));
    // Alt and a button's letter press it from anywhere.
    SendMessageW(w.form(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(w.control(Control::Steps)), TRUE);
    w.type(Control::Steps, "2");
    w.alt_key(L'i');
    const auto box = w.take_box();
    checks.check(box && box->title == kTitle + " - file info", "keyboard", "Alt+I presses Show Info",
                 box ? box->title : "no box");
    w.close();
}

void Refusals(const Setup& setup, Checks& checks) {
    struct Refusal {
        Control box;
        const char* text;
        const char* message;
    };
    const Refusal table[] = {
        {Control::EndFreq, "", "Please check the End frequency is a valid number."},
        {Control::StartFreq, "2O", "Please check the start frequency is a valid number."},
        {Control::EndLevel, "-", "Please check the end amplitude is a valid number"},
        {Control::ToneCycles, "many", "Please check the number of cycles is a valid number."},
        {Control::FileName, "a\\b", "The file name cannot contain path information."},
        {Control::FileName, "a/b", "The file name cannot contain path information."},
        {Control::StartFreq, "5", "Please check the sweep start frequency is is between 10 and 21609Hz"},
        {Control::EndLevel, "0.001", "Please check sweep end amplitude is between 0 and -200dBFS"},
        {Control::Steps, "1001", "Please check the number of steps is between 0 and 1000"},
        {Control::ToneTime, "10000.5", "Please check the tone duration is between 0 and 10000ms"},
    };
    Window w(setup.program, "");
    for (const Refusal& r : table) {
        const std::string name = std::string(control_name(r.box)) + " \"" + r.text + "\"";
        const std::string before = w.text(r.box);
        w.type(r.box, r.text);
        w.press(Control::OK);
        const auto box = w.take_box();
        checks.check(box.has_value(), "refused", name + " shows a message");
        if (box) {
            checks.equal(box->text, r.message, "refused", name + ": the message");
            checks.equal(box->title, kTitle, "refused", name + ": the title");
            checks.equal(box->icon, "exclamation", "refused", name + ": the icon");
        }
        checks.check(w.wait_idle(std::chrono::seconds(10)) && Unlocked(w), "refused", name + ": the form unlocked after it");
        w.type(r.box, before);
    }
    w.close();
}

void MakeFileName(const Setup& setup, Checks& checks) {
    Window w(setup.program, "");
    Apply(w, "--start-freq 20 --end-freq 20000 --start-level -20 --end-level -20");
    w.press(Control::AutoName);
    checks.check(WaitFor([&] { return w.text(Control::FileName) == "SW 20Hz to 20kHz at -20dBFS.wav"; }, std::chrono::seconds(10)),
                 "make file name", "the name of the sweep", w.text(Control::FileName));
    w.type(Control::EndFreq, "x");
    w.type(Control::FileName, "mine.wav");
    w.press(Control::AutoName);
    const auto box = w.take_box();
    checks.check(box && box->text == "Please check the end frequency is a valid number.", "make file name",
                 "its own message for a bad end frequency", box ? box->text : "no box");
    checks.equal(w.text(Control::FileName), "mine.wav", "make file name", "the name after a refusal");
    w.close();
}

void NoAnalyser(const Setup& setup, Checks& checks) {
    Window w(setup.program, "");
    // The message comes before the window is first shown.
    checks.check(!IsWindowVisible(w.form()), "no analyser", "the window not shown before the message");
    const auto box = w.take_box();
    checks.check(box.has_value(), "no analyser", "a message at start-up");
    if (box) {
        checks.equal(box->text, "Couldn't find Olvane installation path", "no analyser", "the message");
        checks.equal(box->title, std::string(kApplicationName), "no analyser", "the title (the program's name)");
        checks.equal(box->icon, "none", "no analyser", "the icon");
    }
    checks.check(WaitFor([&] { return IsWindowVisible(w.form()) != 0; }, std::chrono::seconds(10)), "no analyser",
                 "the window shown after it");
    checks.check(WaitFor([&] { return w.focus() == w.control(Control::StartFreq); }, std::chrono::seconds(10)),
                 "no analyser", "the focus in StartFreq after the message");
    checks.equal(w.text_of(w.item(IDC_OutputBar)), "Output folder: C:\\ (drive root: analyser not found)",
                 "no analyser", "the output bar");
    Apply(w, "--steps 0 --tone-ms 10 --file rooted");
    checks.check(w.generate() && !FileBytes("C:\\rooted.wav").empty(), "no analyser", "the file goes to C:\\");
    DeleteFileW(L"C:\\rooted.wav");
    // Where C:\ does not take the file: the failure, then how to choose a folder.
    CreateDirectoryW(L"C:\\refused.wav", nullptr);
    Apply(w, "--file refused");
    w.press(Control::OK);
    const auto failure = w.take_box(), advice = w.take_box();
    RemoveDirectoryW(L"C:\\refused.wav");
    checks.check(failure && failure->text.find("refused.wav") != std::string::npos, "no analyser", "the failed write",
                 failure ? failure->text : "no message");
    checks.check(advice && advice->text.starts_with("The analyser's folder was not found, so files go into C:\\. ") &&
                     advice->text.find("reg add \"HKCU\\Software\\Corvalis\\Olvane\\Paths\"") != std::string::npos,
                 "no analyser", "then how to choose a folder", advice ? advice->text : "no message");
    w.close();
}

}  // namespace sweepwav::driver
