// The form's scenario table (tests/support/form_scenario.h) through the
// window from outside, and the window at its smallest with every option on.
#include <windows.h>

#include <cwchar>
#include <memory>
#include <optional>

#include "scenarios.h"
#include "support/form_scenario.h"
#include "platform/presets.h"
#include "win32window/control_ids.h"

namespace sweepwav::driver {

namespace {

using testing::FormAct;
using testing::FormStep;
using testing::SeenForm;

// The names of the recent settings files, as the registry keeps them.
std::vector<std::string> RecentNames() {
    std::vector<wchar_t> recent(8192, L'\0');
    DWORD bytes = static_cast<DWORD>(recent.size() * sizeof(wchar_t));
    std::vector<std::string> names;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\sweepwav", L"Recent settings", RRF_RT_REG_MULTI_SZ, nullptr,
                     recent.data(), &bytes) != ERROR_SUCCESS) {
        return names;
    }
    for (const wchar_t* at = recent.data(); *at; at += std::wcslen(at) + 1) {
        const std::string path = Utf8(at);
        names.push_back(path.substr(path.find_last_of("\\/") + 1));
    }
    return names;
}

struct TableRun {
    const Setup& setup;
    std::unique_ptr<Window> w;
    int boxes = 0;
    std::string suggested;
    bool closed = false;
    std::optional<NoSoundOutput> noSound;

    SeenForm seen() const {
        SeenForm s;
        s.closed = closed;
        if (closed) return s;
        HWND focus = w->focus();
        for (int c = 0; c < kFormControlCount; ++c) {
            if (focus == w->control(static_cast<Control>(c))) s.focus = static_cast<Control>(c);
        }
        wchar_t kind[16] = {};
        GetClassNameW(focus, kind, 16);
        const auto length = SendMessageW(focus, WM_GETTEXTLENGTH, 0, 0);
        const auto selection = static_cast<DWORD>(SendMessageW(focus, EM_GETSEL, 0, 0));
        s.selected = _wcsicmp(kind, L"Edit") == 0 && length > 0 && LOWORD(selection) == 0 && HIWORD(selection) == length;
        for (Control c : testing::kScenarioInputs) {
            if (!w->enabled(c)) s.grey.insert(c);
        }
        s.abortOn = w->enabled(Control::Abort);
        s.play = testing::PlayButton(w->enabled(Control::Play), w->text(Control::Play));
        s.bar = w->bar();
        s.options = w->text_of(w->item(IDC_SignalOptions));
        s.boxes = boxes;
        s.suggested = suggested;
        s.recent = RecentNames();
        s.fileName = w->text(Control::FileName);
        return s;
    }

    void take_boxes(int expected) {
        for (int i = 0; i < expected; ++i) boxes += w->take_box() ? 1 : 0;
        boxes += w->take_box(std::chrono::milliseconds(300)) ? 1 : 0;
    }

    void press(Control button, int expectedBoxes) {
        // A run that writes its file: until the bar names it and the form is idle.
        if (button == Control::OK && expectedBoxes == 0) {
            w->generate();
            return;
        }
        w->press(button);
        take_boxes(expectedBoxes);
        if (button == Control::Abort || button == Control::Play) w->wait_idle(std::chrono::seconds(60));
    }

    void set_options(std::string_view text) {
        for (const Place place : {Place::FrequenciesDialog, Place::SignalDialog}) {
            std::map<Control, std::string> values;
            for (const auto& [c, value] : testing::OptionValues(text)) {
                if (EntryOf(c).place == place) values[c] = value;
            }
            if (!values.empty()) SetOptions(*w, place, values);
        }
    }

    void save_settings(std::string_view names) {
        for (const std::string& name : testing::Words(names)) {
            const std::string path = setup.data + name + ".sweep";
            DeleteFileW(Wide(path).c_str());  // no question about replacing it
            w->menu("SaveSettings");
            HWND dialog = w->dialog("Save settings");
            if (!dialog) throw std::runtime_error("Save settings did not ask for a file");
            if (suggested.empty()) suggested = w->file_name(dialog).substr(w->file_name(dialog).find_last_of('\\') + 1);
            w->choose_file(dialog, path);
            WaitFor([&] { return !IsWindow(dialog) && !FileBytes(path).empty(); }, std::chrono::seconds(20));
        }
    }

    // "open 2.sweep", "recent 3.sweep", "drop 1.sweep 2.sweep", "preset octave-bands": the recent files as the
    // registry keeps them, the presets as the window finds them beside itself.
    void open(std::string_view how, int expectedBoxes) {
        const std::vector<std::string> words = testing::Words(how);
        std::vector<std::string> paths, names = RecentNames();
        for (std::size_t i = 1; i < words.size(); ++i) paths.push_back(setup.data + words[i]);
        if (words[0] == "drop") w->drop(paths);
        if (words[0] == "open") {
            w->menu("OpenSettings");
            HWND dialog = w->dialog("Open settings");
            if (dialog) w->choose_file(dialog, paths[0]);
        }
        if (words[0] == "preset") {
            names.clear();
            for (const Preset& p : FindPresets(PresetFolders(setup.program.substr(0, setup.program.rfind('\\'))))) {
                names.push_back(p.name);
            }
        }
        const int first = words[0] == "preset" ? IDM_PRESET_FIRST : IDM_RECENT_FIRST;
        for (std::size_t i = 0; (words[0] == "preset" || words[0] == "recent") && i < names.size(); ++i) {
            if (names[i] == words[1]) PostMessageW(w->form(), WM_COMMAND, MAKEWPARAM(first + static_cast<int>(i), 0), 0);
        }
        take_boxes(expectedBoxes);
    }

    void act(const FormStep& step) {
        boxes = 0;
        switch (step.act) {
            case FormAct::Start: {
                closed = false;
                // Wine's sound drivers are looked up at the first Play.
                noSound.reset();
                if (testing::WithoutSound(step)) noSound.emplace();
                // Started on a settings file, as Explorer's Open does.
                const std::string_view file = testing::StartedOn(step);
                w = std::make_unique<Window>(setup.program, file.empty() ? "" : "\"" + setup.data + std::string(file) + "\"");
                WaitFor([&] { return IsWindowVisible(w->form()) != 0; }, std::chrono::seconds(20));
                break;
            }
            case FormAct::Open: open(step.text, step.boxes); break;
            case FormAct::Reset: w->menu("Reset"); break;
            case FormAct::Type: w->type(step.control, std::string(step.text)); break;
            case FormAct::Press: press(step.control, step.boxes); break;
            case FormAct::Options: set_options(step.text); break;
            case FormAct::SaveSettings: save_settings(step.text); break;
            case FormAct::RunWatched:
                // Until the first tone is under way (for Play, heard) and the
                // button that stops it is on: Abort, or Play reading Stop.
                w->press(step.control);
                WaitFor([&] {
                    return w->caption(w->control(Control::Status)).find(" sweep step ") != std::string::npos &&
                           (step.control == Control::OK ? w->enabled(Control::Abort) : w->text(Control::Play) == "&Stop");
                }, std::chrono::seconds(60));
                break;
            case FormAct::Close:
                w->close();
                closed = !w->alive();
                break;
        }
    }
};

RECT ClientRect(const Window& w, int id) {
    RECT r;
    GetWindowRect(w.item(id), &r);
    MapWindowPoints(nullptr, w.form(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " to " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

}  // namespace

void FormTable(const Setup& setup, Checks& checks) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\sweepwav", L"Recent settings");
    TableRun run{setup, nullptr, 0, {}, false, std::nullopt};
    for (std::size_t i = 0; i < std::size(testing::kFormScenario); ++i) {
        const FormStep& step = testing::kFormScenario[i];
        run.act(step);
        // The window answers in its own time: what it shows once it settles.
        SeenForm seen;
        WaitFor([&] { return testing::Differences(step, seen = run.seen()).empty(); }, std::chrono::seconds(10));
        std::string differences;
        for (const std::string& difference : testing::Differences(step, seen)) differences += difference + "; ";
        checks.check(differences.empty(), "form table", "step " + std::to_string(i), differences);
    }
}

void SmallestWindow(const Setup& setup, Checks& checks) {
    Window w(setup.program, "");
    WaitFor([&] { return IsWindowVisible(w.form()) != 0; }, std::chrono::seconds(20));
    RECT opened, smallest;
    GetWindowRect(w.form(), &opened);
    // Widened, the boxes beside "to" stay where they were.
    const auto gap = [&] { return ClientRect(w, IDC_EndFreq).left - ClientRect(w, IDC_StartFreq).right; };
    const int openedGap = gap();
    SetWindowPos(w.form(), nullptr, 0, 0, opened.right - opened.left + 400, opened.bottom - opened.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    checks.check(gap() == openedGap, "smallest", "the boxes beside \"to\" in a wide window", std::to_string(gap()));
    SetWindowPos(w.form(), nullptr, 0, 0, 40, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(w.form(), &smallest);
    checks.check(smallest.right - smallest.left == opened.right - opened.left &&
                     smallest.bottom - smallest.top == opened.bottom - opened.top,
                 "smallest", "the window goes no smaller than it opens", RectText(smallest));
    Apply(w, "--bands 3 --lead-in-ms 50 --gap-ms 20 --tail-ms 30 --ramp-ms 2 --signal-channels 1,3");
    checks.equal(w.text_of(w.item(IDC_SignalOptions)),
                 "Frequencies: third-octave bands; Signal: lead-in 50 ms, gap 20 ms, tail 30 ms, ramps 2 ms, channels 1,3",
                 "smallest", "the options line");
    // Each on a line of its own, within the window: the bar, then the options.
    RECT client;
    GetClientRect(w.form(), &client);
    const RECT bar = ClientRect(w, IDC_OutputBar), options = ClientRect(w, IDC_SignalOptions);
    checks.check(bar.left >= 0 && bar.right > bar.left && bar.right <= client.right && options.left >= 0 &&
                     options.right > options.left && options.right <= client.right && options.top >= bar.bottom &&
                     options.bottom <= client.bottom,
                 "smallest", "the bar and the options line within the window", RectText(bar) + " and " + RectText(options));
    // The commands at that size: a stereo file has no channel 3.
    for (Control button : {Control::OK, Control::ShowInfo}) {
        w.press(button);
        const auto box = w.take_box();
        checks.check(box && box->text.starts_with("Please check the signal channels are between 1 and 2"), "smallest",
                     std::string(control_name(button)) + " answers with its message", box ? box->text : "no box");
        // The form stays locked until the box has gone; the next button waits for that.
        w.wait_idle(std::chrono::seconds(10));
    }
    w.press(Control::AutoName);
    checks.check(WaitFor([&] { return w.text(Control::FileName).starts_with("SW "); }, std::chrono::seconds(10)),
                 "smallest", "Make file name names the sweep", w.text(Control::FileName));
    checks.check(w.alive(), "smallest", "the window is still there");
    // Every option on: the file is written.
    Apply(w, "--channels 4 --markers --file smallest");
    checks.check(w.generate(), "smallest", "the run writes its file", w.bar());
    Shoot(w.form(), setup.data + "window-smallest.png");
    checks.check(w.close() == 0, "smallest", "the window closes and the program ends with 0");
}

}  // namespace sweepwav::driver
